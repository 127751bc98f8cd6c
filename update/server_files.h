#pragma once

#include "minisign_format.h"
#include "trusted_comment.h"
#include "update_download.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <set>
#include <stop_token>
#include <string>

class TContinuationWait;
class TIdHTTP;
class TServerList;

/// True for a server's refusal that sends the request on to the next server: 403, 404 and 5xx.
bool IsPassedOver(int status);

/// What a caller makes of an authentic signature's trusted comment.
enum class TSignatureJudgement {
    Accepted, ///< the release it signs is wanted: fetch it
    Refused,  ///< another file's, or a release that may not be installed: ask the next server
    Settled,  ///< what is installed is as new or newer: ask no further server
};

/// A signature fetched for one file and accepted: its parts, its text (kept once the release is
/// installed), its trusted comment and the server that served it.
struct TAcceptedSignature {
    verify::MinisignPublicKey Key;
    verify::MinisignSignature Signature;
    std::string Text;
    verify::TrustedComment Comment;
    std::size_t Server = 0;
};

/// Fetches `path` + ".minisig" (past caches, quietly: no progress events) from each server of
/// `servers` in turn until one serves a signature by `keyText` whose trusted comment reads and
/// `accept` judges `Accepted` or `Settled`. A server that cannot be connected to, answers 5xx, 403 or 404, or serves a
/// signature that is refused (malformed, another key's, or not accepted) is passed over; one that
/// could not be connected to is marked unreachable. The servers whose signature was refused are
/// added to `refused` when given: they serve another release, so the file itself is not asked
/// from them.
///
/// `Replaced` with `accepted` filled in; `UpToDate` for a `Settled` one; `Cancelled` on a stop; otherwise the most telling
/// failure met: `NotAuthentic` when some server served a refused signature or no signature (410
/// and other refusals outside the ones passed over), `ServerRejected` for a 407, a 5xx or a body
/// that was not whole, else `ConnectionFailed`. `stop` must cancel `http`. `log` hears which
/// server's signature was accepted or refused.
TUpdateOutcome FetchAcceptedSignature(TIdHTTP &http, TServerList &servers, const std::string &path,
                                      const std::string &keyText,
                                      const std::function<TSignatureJudgement(
                                          const verify::TrustedComment &)> &accept,
                                      const std::stop_token &stop, TAcceptedSignature &accepted,
                                      std::set<std::size_t> *refused = nullptr,
                                      const TUpdateLog &log = {});

/// Downloads `path` whole into `temporary` (which must exist, empty) from the servers in turn,
/// skipping `skip`: first the server a partial download of `partialOwner` came from ("<owner>.part",
/// continued there, see partial_download.h), then the others in order. With `key` and `signature`
/// the bytes are verified as they arrive (null: nothing is verified). A server that fails with a
/// connection failure, a 5xx, 403 or 404, or serves bytes that do not verify is passed over. A
/// transfer that breaks after bytes arrived is continued on its server by `continuation` (null:
/// not at all) and, when that is exhausted, ends the call with `ConnectionFailed`, its bytes kept
/// as the partial download of `partialOwner` for the next call. Progress events are those of
/// `http`, one bracket per transfer.
///
/// `Replaced`: `temporary` holds the complete (and authentic) file. Otherwise the most telling
/// failure, as for signatures, or `ReplaceFailed` when the file could not be written. `stop`
/// must cancel `http`; a transfer it cancels is `Cancelled` and, with `keepWhenStopped`, keeps
/// its bytes as the partial download of `partialOwner` as a broken one does (a download that
/// must end on time but should continue later), otherwise nothing. `log` hears each server's
/// verdict: the bytes and time of the complete file, bytes that do not verify, an unusable
/// reply, or why the file could not be written.
TUpdateOutcome DownloadFromServers(TIdHTTP &http, TServerList &servers, const std::string &path,
                                   const std::filesystem::path &temporary,
                                   const std::filesystem::path &partialOwner,
                                   const verify::MinisignPublicKey *key,
                                   const verify::MinisignSignature *signature,
                                   TContinuationWait *continuation, const std::stop_token &stop,
                                   const std::set<std::size_t> &skip = {},
                                   const TUpdateLog &log = {}, bool keepWhenStopped = false);
