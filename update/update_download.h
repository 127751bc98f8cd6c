#pragma once

#include "update_log.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>

class TContinuationWait;
class TIdHTTP;
class TServerList;

/// The largest file the updater downloads or installs (512 MiB): a longer reply is refused before
/// its body is read, and a body that grows past it fails there.
inline constexpr std::int64_t kMaxDownloadSize = std::int64_t{512} << 20;

/// How one download-and-replace ended.
enum class TUpdateOutcome {
    Replaced,         ///< the new client is in place
    ConnectionFailed, ///< cannot resolve or connect, connection lost, body cut short, stalled
    ServerRejected,   ///< a reply outside 2xx, an empty body or an HTML page
    ReplaceFailed,    ///< the file could not be written or replaced
    Cancelled,        ///< the stop token was triggered (the window is closing)
    NotAuthentic,     ///< signature missing, malformed, of another key, or not for these bytes
    UpToDate,         ///< the installed client already is the signed newest: nothing was fetched
};

/// How an update is to be made beyond its address and target.
struct TUpdateSettings {
    /// The publisher's minisign public key text (one line); empty verifies nothing.
    std::string PublisherKey;
    /// The updater's own state folder, where the release floor is kept beside the signature
    /// kept with the client (see release_floor.h); empty keeps only the latter.
    std::filesystem::path StateFolder;
    /// The pauses of automatic continuations; null: a broken download is not continued.
    TContinuationWait *Continuation = nullptr;
    /// The player's clock in unix seconds, for signatures that expire; empty: the system's.
    std::function<std::int64_t()> Now;
    /// The support log's lines of the engine's steps; empty: none.
    TUpdateLog Log;
    /// Installs the new client through an elevated copy of the updater (see staged_install.h),
    /// which finds it staged in `StateFolder`, and says how that ended. Used only when the
    /// client's folder refuses this user's writes: the download then works in `StateFolder`.
    /// Empty (or no state folder): such a folder ends the update in `ReplaceFailed`.
    std::function<TUpdateOutcome()> InstallElevated;
};

/// True for the outcomes that end a press as an update does: the success box, the client
/// started, the exit.
inline bool UpdateSucceeded(TUpdateOutcome outcome) {
    return outcome == TUpdateOutcome::Replaced || outcome == TUpdateOutcome::UpToDate;
}

/// Downloads the client at `path` ("/program_download/...") from `servers` with `http` into a
/// temporary file beside `target` and, once the whole body is on disk (and found authentic when a
/// key is given), runs `beforeReplace` (which ends the running client) and atomically puts the
/// file in the place of `target`, made executable.
///
/// Servers: every file (the signature, a patch, the client) is asked from the first server (the
/// publisher's) and then from each next one, whenever a server cannot be connected to, answers
/// 5xx, 403 or 404, serves a signature that is refused, or bytes that do not match the accepted
/// signature (see server_files.h). A server whose signature was refused is not asked for the
/// client or a patch; one that could not be connected to is not asked again by this list. When
/// every server fails, the most telling failure is returned.
///
/// With a publisher key the signature `path` + ".minisig" is fetched first (past caches), the
/// body is verified as it streams, and anything short of a signature by that key of exactly
/// these bytes ends in `NotAuthentic`. So does a signature whose trusted comment names another
/// file, is older than the release floor, undated while a floor exists, expired, or dates the
/// floor's own release while other bytes are installed. A 407 or 5xx to the signature request
/// is `ServerRejected`. After `Replaced` or `UpToDate` the accepted signature is kept as the new
/// floor. An empty key verifies nothing.
///
/// Patches: first the installed client is read (streamed, on the calling thread). With a key,
/// when the signature already verifies it, `beforeReplace` runs and the outcome is `UpToDate`:
/// nothing is downloaded or written. Otherwise the patch from it (see patch_update.h) is asked
/// for and applied; when there is none, or it fails in any way, the whole file is downloaded in
/// the same call.
///
/// Resuming: a transfer that broke off for a connection-type reason after a reply with a
/// validator and a length leaves its bytes as "<target>.part" (see partial_download.h), naming
/// the address they came from; the next call asks that server first, only for the rest, and
/// restarts from zero whenever the server does not continue exactly there. Every other outcome
/// removes the partial file. With a `Continuation`, a transfer that broke off so after bytes
/// arrived continues by itself on its server, after the continuation's pauses, up to its number
/// of times within this call; only the last failure is returned (a stop during a pause returns
/// `ConnectionFailed` and keeps the partial file).
///
/// The temporary file is made anew beside `target` (see own_files.h); temporary files a killed
/// run left there are removed first. The new client takes the old one's permissions. When the
/// folder refuses this user's writes and `InstallElevated` is given, the temporary and partial
/// files are made in the state folder instead, and the complete new client is staged there for
/// `InstallElevated` (which ends the running client itself) rather than installed here; the staged
/// files are removed afterwards unless the wait for the elevated copy was cut short.
///
/// On every outcome but `Replaced` and `UpToDate` the temporary file is gone (or kept as the
/// partial file), `target` is untouched and `beforeReplace` has not run. `stop` cancels the
/// transfer (through `TIdHTTP::Cancel`) and skips the replace when it comes later. Never throws.
TUpdateOutcome DownloadAndReplace(TIdHTTP &http, TServerList &servers, const std::string &path,
                                  const std::filesystem::path &target,
                                  const std::function<void()> &beforeReplace, std::stop_token stop,
                                  const TUpdateSettings &settings = {});

/// The same from the one server of `url` (its path is the file's).
TUpdateOutcome DownloadAndReplace(TIdHTTP &http, const std::string &url,
                                  const std::filesystem::path &target,
                                  const std::function<void()> &beforeReplace, std::stop_token stop,
                                  const TUpdateSettings &settings = {});

/// True for a reply content type that announces an HTML page ("text/html; charset=...").
bool IsHtmlContentType(const std::string &contentType);
