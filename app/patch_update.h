#pragma once

#include "installed_client.h"
#include "minisign_format.h"

#include <filesystem>
#include <stop_token>
#include <string>

class TIdHTTP;

/// How the attempt to build the new client from a patch ended.
enum class TPatchOutcome {
    Built,       ///< the new client is complete in the temporary file: checked, and authentic
                 ///< when a signature was given
    Unavailable, ///< no patch, or one that failed in any way: nothing is left behind
    Cancelled,   ///< the stop token was triggered
};

/// Where a patch from the client with SHA-256 `sha256` (64 lowercase hex digits) to the client
/// at `url` is published: `url` + ".from-" + `sha256` + ".zst".
std::string PatchUrl(const std::string &url, const std::string &sha256);

/// Asks for the patch from `installed` to the client at `url` and applies it with the installed
/// client as reference, streaming the result into `temporary` (which must not exist) as a full
/// download would: the progress events count the patch's bytes against its length, and with
/// `key` and `signature` the result is verified as it is written.
///
/// Any failure (a reply outside 2xx, a broken connection, a patch that is corrupt, over a bound
/// or made for another client, a result whose size, checksum or signature is wrong) gives
/// `Unavailable` and removes `temporary`, so the caller falls back to the full download. Ends
/// and replaces nothing. Blocks for the transfer; `stop` must cancel `http`.
TPatchOutcome
UpdateByPatch(TIdHTTP &http, const std::string &url, const TInstalledClient &installed,
              const std::filesystem::path &temporary, const verify::MinisignPublicKey *key,
              const verify::MinisignSignature *signature, const std::stop_token &stop);
