#pragma once

#include "update_download.h"
#include "update_log.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

/// A new client handed from the player's updater to an elevated copy of it, which installs it in
/// a client folder only an administrator may write. Both derive these places themselves: the
/// copy takes no path from whoever started it.
struct TStagedClient {
    /// "<state folder>/<client name>": the stand-in whose temporary and partial files the
    /// download makes in the state folder instead of beside the client.
    std::filesystem::path WorkTarget;
    /// "<state folder>/<client name>.staged": the complete (with a key: authentic) new client.
    std::filesystem::path File;
    /// "<state folder>/<client name>.staged.minisig": its accepted signature (with a key only).
    std::filesystem::path Signature;
};

/// The staged places for `client` in the updater's state folder `stateFolder`.
TStagedClient StagedClientIn(const std::filesystem::path &stateFolder,
                             const std::filesystem::path &client);

/// The player's side: moves the complete `temporary` (beside `staged.WorkTarget`) to
/// `staged.File` and keeps `signatureText` as `staged.Signature` (empty: none, and an earlier one
/// is removed). False when either cannot be written; `log` hears why.
bool StageClient(const std::filesystem::path &temporary, const TStagedClient &staged,
                 const std::string &signatureText, const TUpdateLog &log);

/// Removes the staged client and its signature. The player's side, in the player's folder.
void DiscardStagedClient(const TStagedClient &staged);

/// How the elevated copy ended: its exit status.
enum class TStagedInstallStatus : int {
    Installed = 0,
    BadRequest = 80,        ///< started with arguments other than its one private argument
    NoClientHere = 81,      ///< its working folder holds no client: not the client's folder
    NothingStaged = 82,     ///< no staged client that is a plain file of the player's
    NotAuthentic = 83,      ///< the staged client or its signature does not pass the key again
    FolderNotWritable = 84, ///< the client's folder refuses it too
    ReplaceFailed = 85,     ///< the new client could not be written or put in place
};

/// The elevated copy's work: takes the staged client of `staged` (a plain file of the player's,
/// at most the largest client there can be) into a new temporary file beside `target`, where
/// the player can no longer change it; with `keyText` checks that copy against the staged
/// signature and that signature's trusted comment as a download's (it names the client, has not
/// expired, is newer than the signature kept beside `target`); then `endRunningClients`, the
/// replace, and the signature kept beside the new client. Writes nothing in the state folder.
/// An existing client at `target` is required. Never throws.
TStagedInstallStatus InstallStagedClient(const TStagedClient &staged,
                                         const std::filesystem::path &target,
                                         const std::string &keyText,
                                         const std::function<void()> &endRunningClients);

/// What an elevated copy's exit status means for the press: `Replaced`, `NotAuthentic`, or
/// `ReplaceFailed` for everything else (any status it does not know included).
TUpdateOutcome OutcomeOfStagedInstall(int exitStatus);

/// A short English text of an elevated copy's exit status, for the support log.
std::string StagedInstallStatusText(int exitStatus);
