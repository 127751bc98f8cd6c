#pragma once

#include "installed_client.h"
#include "minisign_format.h"

#include <filesystem>
#include <stop_token>
#include <string>

class TIdHTTP;

/// How the attempt to build the new client from a patch ended.
enum class TPatchOutcome {
    Built,      ///< the new client is complete in the temporary file: checked, and authentic
                ///< when a signature was given
    NotOffered, ///< there is no patch to apply: the installed client is too large to be a
                ///< reference, or the server has no patch from it (a reply outside 2xx)
    Unreachable, ///< the server could not be connected to: nothing arrived
    Failed,     ///< a patch began to arrive but did not make a checked client (a broken
                ///< connection, a corrupt patch, one for another client, a wrong result)
    Cancelled,  ///< the stop token was triggered
};

/// Where a patch from the client with SHA-256 `sha256` (64 lowercase hex digits) to the client
/// at `url` is published: `url` + ".from-" + `sha256` + ".zst".
std::string PatchUrl(const std::string &url, const std::string &sha256);

/// Asks for the patch from `installed` to the client at `url` and applies it with the installed
/// client as reference, streaming the result into `temporary` (which must not exist) as a full
/// download would: the progress events count the patch's bytes against its length, and with
/// `key` and `signature` the result is verified as it is written.
///
/// The installed client is mapped into memory once a patch reply begins (never read whole).
/// Every outcome but `Built` removes `temporary`; on `NotOffered` and `Failed` alike the caller
/// falls back to the full download. Ends and replaces nothing. Blocks for the transfer; `stop`
/// must cancel `http`.
TPatchOutcome
UpdateByPatch(TIdHTTP &http, const std::string &url, const TInstalledClient &installed,
              const std::filesystem::path &temporary, const verify::MinisignPublicKey *key,
              const verify::MinisignSignature *signature, const std::stop_token &stop);
