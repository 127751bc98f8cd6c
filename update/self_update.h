#pragma once

#include "release_version.h"
#include "update_log.h"

#include <filesystem>
#include <stop_token>
#include <string>

class TContinuationWait;
class TIdHTTP;
class TServerList;

/// How an attempt of the updater to replace its own file ended.
enum class TSelfUpdateOutcome {
    Replaced,  ///< the newer updater is in place; the running one is now "<own file>.old"
    NotNewer,  ///< the published updater is this version or an older one: nothing was fetched
    Failed,    ///< no key, no acceptable signature, a failed download or swap: nothing changed
    Cancelled, ///< `stop` came first: nothing changed
};

/// Replaces the running updater's file `ownFile` with a newer one the publisher signed.
///
/// Asks the servers in turn for "/program_download/<serverFileName>.minisig" (no progress
/// events) until one serves a signature by `keyText` whose trusted comment names `serverFileName`
/// in `file:` and a `version:X.Y.Z` above `ownVersion`; a signature without a readable version is
/// refused like a foreign one. `NotNewer`, with no further server asked, as soon as an authentic
/// signature of this file names this version or an older one. The taken signature's file is downloaded beside `ownFile` from the same servers (not from
/// those that served a refused signature), verified as it streams, continued by `continuation`
/// after a break, and swapped in (see `platform::SwapInNewProgram`). A transfer that broke off or
/// was stopped keeps what arrived as the partial download of `ownFile` for the next attempt.
///
/// Without a key nothing is asked and nothing replaced. On every outcome but `Replaced`
/// `ownFile` is untouched and no temporary file is left beside it. `stop` cancels the transfer
/// and skips the swap when it comes later. `log` hears each server's verdict and how the attempt
/// ended. Never throws.
TSelfUpdateOutcome UpdateSelf(TIdHTTP &http, TServerList &servers,
                              const std::filesystem::path &ownFile,
                              const std::string &serverFileName,
                              const verify::ReleaseVersion &ownVersion, const std::string &keyText,
                              TContinuationWait *continuation, const std::stop_token &stop,
                              const TUpdateLog &log = {});
