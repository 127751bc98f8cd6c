#include "update_download.h"

#include "TIdHTTP.h"
#include "client_install.h"
#include "installed_client.h"
#include "own_files.h"
#include "partial_download.h"
#include "patch_decoder.h"
#include "patch_update.h"
#include "release_floor.h"
#include "server_files.h"
#include "server_list.h"
#include "staged_install.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <optional>
#include <set>
#include <system_error>

namespace {

std::int64_t UnixNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

/// The patch from the installed client, asked from the servers in turn (not from `skip`): a
/// server that has none (403, 404, 5xx) or cannot be connected to passes the request on.
TPatchOutcome PatchFromServers(TIdHTTP &http, TServerList &servers, const std::string &path,
                               const TInstalledClient &installed,
                               const std::filesystem::path &temporary,
                               const verify::MinisignPublicKey *key,
                               const verify::MinisignSignature *signature,
                               const std::stop_token &stop, const std::set<std::size_t> &skip,
                               const TUpdateLog &log) {
    if (installed.Size > TPatchLimits{}.MaxReference)
        return TPatchOutcome::NotOffered;
    for (const std::size_t server : servers.AskingOrder()) {
        if (skip.count(server) != 0)
            continue;
        const TStopwatch clock;
        const TPatchOutcome outcome = UpdateByPatch(http, servers.UrlOf(server, path), installed,
                                                    temporary, key, signature, stop);
        if (outcome == TPatchOutcome::Built) {
            std::error_code ignored;
            LogLine(log, "patch from " + ServerLogName(servers, server) + ": " +
                             std::to_string(http.ResponseFullLength()) + " bytes made the " +
                             std::to_string(std::filesystem::file_size(temporary, ignored)) +
                             "-byte client in " + std::to_string(clock.Milliseconds()) + " ms, " +
                             (key ? "authentic" : "not verified"));
        } else if (outcome == TPatchOutcome::Failed) {
            LogLine(log, "patch from " + ServerLogName(servers, server) +
                             " failed: the whole file follows");
        }
        if (outcome == TPatchOutcome::Unreachable) {
            servers.MarkUnreachable(server);
            continue;
        }
        if (outcome != TPatchOutcome::NotOffered || !IsPassedOver(http.ResponseCode()))
            return outcome;
    }
    return TPatchOutcome::NotOffered;
}

/// Stages the complete new client in `temporary` for the elevated copy and lets it install it.
TUpdateOutcome HandOverToElevatedInstall(const std::filesystem::path &temporary,
                                         const std::filesystem::path &target,
                                         const std::string &signatureText,
                                         const TUpdateSettings &settings) {
    const TStagedClient staged = StagedClientIn(settings.StateFolder, target);
    if (!StageClient(temporary, staged, signatureText, settings.Log))
        return TUpdateOutcome::ReplaceFailed;
    const TUpdateOutcome outcome = settings.InstallElevated();
    // A wait cut short by the closing window leaves the copy running: its files stay for it.
    if (outcome != TUpdateOutcome::Cancelled)
        DiscardStagedClient(staged);
    return outcome;
}

/// Where the download of a new `target` works: a new temporary file beside it, or, when its
/// folder refuses this user and an elevated copy can install, beside the staged stand-in in the
/// state folder (`workTarget`, made then). Temporary files a killed run left there are removed.
std::filesystem::path CreateWorkFile(const std::filesystem::path &target,
                                     const TUpdateSettings &settings,
                                     std::filesystem::path &workTarget) {
    workTarget = target;
    platform::RemoveLeftoverTemporaryFiles(target);
    try {
        return platform::CreateTemporaryFileBeside(target);
    } catch (const std::system_error &error) {
        if (!settings.InstallElevated || settings.StateFolder.empty() ||
            !platform::IsPermissionRefusal(error.code()))
            throw;
    }
    LogLine(settings.Log, "the client's folder cannot be written: the download goes to the state "
                          "folder, the install to an elevated copy of the updater");
    std::error_code error;
    if (std::filesystem::create_directories(settings.StateFolder, error))
        std::filesystem::permissions(settings.StateFolder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, error);
    workTarget = StagedClientIn(settings.StateFolder, target).WorkTarget;
    platform::RemoveLeftoverTemporaryFiles(workTarget);
    return platform::CreateTemporaryFileBeside(workTarget);
}

/// The steps of one update: the signature and the release it names, the installed client, a
/// patch or the whole file, the replace (or the hand-over to the elevated copy when `workTarget`,
/// whose partial download is continued, is not `target`), and with a key the release kept as the
/// new floor. The caller removes `temporary` afterwards.
TUpdateOutcome RunUpdateSteps(TIdHTTP &http, TServerList &servers, const std::string &path,
                              const std::filesystem::path &temporary,
                              const std::filesystem::path &target,
                              const std::filesystem::path &workTarget,
                              const std::function<void()> &beforeReplace,
                              const std::stop_token &stop, const TUpdateSettings &settings) {
    std::stop_callback cancelOnStop(stop, [&http] { http.Cancel(); });
    TAcceptedSignature published;
    std::optional<TReleaseFloor> floor;
    TReleaseJudgement judgement = TReleaseJudgement::Newer;
    // Servers that served a signature refused for this client hold another release: the client
    // and its patches are not asked from them.
    std::set<std::size_t> otherRelease;
    const bool verifying = !settings.PublisherKey.empty();
    if (verifying) {
        const auto key = verify::ParseMinisignPublicKey(settings.PublisherKey);
        if (!key)
            return TUpdateOutcome::NotAuthentic;
        floor.emplace(target, settings.StateFolder, *key);
        const auto floorTime = floor->Load();
        const std::int64_t now = settings.Now ? settings.Now() : UnixNow();
        const std::string clientName = target.filename().string();
        const TUpdateOutcome fetched = FetchAcceptedSignature(
            http, servers, path, settings.PublisherKey,
            [&](const verify::TrustedComment &comment) {
                return JudgeRelease(comment, clientName, floorTime, now) ==
                               TReleaseJudgement::Refused
                           ? TSignatureJudgement::Refused
                           : TSignatureJudgement::Accepted;
            },
            stop, published, &otherRelease, settings.Log);
        if (fetched != TUpdateOutcome::Replaced)
            return fetched;
        judgement = JudgeRelease(published.Comment, clientName, floorTime, now);
    } else {
        LogLine(settings.Log, "no publisher key built in: nothing is verified");
    }
    const verify::MinisignPublicKey *keyUsed = verifying ? &published.Key : nullptr;
    const verify::MinisignSignature *signatureUsed = verifying ? &published.Signature : nullptr;
    const auto accept = [&] {
        if (floor)
            floor->Keep(published.Text, published.Comment.Timestamp);
    };

    // The installed client is read only when its hash or its verdict can serve: with a key (it
    // may be the newest already), or when it is small enough to be a patch's reference.
    std::error_code sizeError;
    const auto installedSize = std::filesystem::file_size(target, sizeError);
    const bool worthExamining =
        !sizeError && (verifying || installedSize <= TPatchLimits{}.MaxReference);
    const auto installed = worthExamining
                               ? ExamineInstalledClient(target, keyUsed, signatureUsed, stop)
                               : std::nullopt;
    if (stop.stop_requested())
        return TUpdateOutcome::Cancelled;
    if (installed && installed->Authentic) {
        // Already the newest: the same end as an update, without a transfer or a rewrite.
        LogLine(settings.Log, "the installed client is the signed release: nothing to download");
        accept();
        if (beforeReplace)
            beforeReplace();
        return TUpdateOutcome::UpToDate;
    }
    // The floor's own release with other bytes installed: whatever is served under that time is
    // no newer than what the player has been given before.
    if (judgement == TReleaseJudgement::Same) {
        LogLine(settings.Log, "refused: the signed release is the one installed last, but the "
                              "installed client is not its file");
        return TUpdateOutcome::NotAuthentic;
    }
    const TPatchOutcome patched =
        installed ? PatchFromServers(http, servers, path, *installed, temporary, keyUsed,
                                     signatureUsed, stop, otherRelease, settings.Log)
                  : TPatchOutcome::NotOffered;
    if (patched == TPatchOutcome::Cancelled)
        return TUpdateOutcome::Cancelled;
    if (patched != TPatchOutcome::Built) {
        const TUpdateOutcome downloaded =
            DownloadFromServers(http, servers, path, temporary, workTarget, keyUsed, signatureUsed,
                                settings.Continuation, stop, otherRelease, settings.Log);
        if (downloaded != TUpdateOutcome::Replaced)
            return downloaded;
    }
    if (stop.stop_requested())
        return TUpdateOutcome::Cancelled;
    const TUpdateOutcome installedNew =
        workTarget == target ? InstallNewClient(temporary, target, beforeReplace, settings.Log)
                             : HandOverToElevatedInstall(temporary, target,
                                                         verifying ? published.Text : "", settings);
    if (installedNew == TUpdateOutcome::Replaced)
        accept();
    return installedNew;
}

} // namespace

TUpdateOutcome DownloadAndReplace(TIdHTTP &http, TServerList &servers, const std::string &path,
                                  const std::filesystem::path &target,
                                  const std::function<void()> &beforeReplace, std::stop_token stop,
                                  const TUpdateSettings &settings) {
    std::filesystem::path temporary;
    std::filesystem::path workTarget = target;
    TUpdateOutcome outcome;
    try {
        temporary = CreateWorkFile(target, settings, workTarget);
        outcome = RunUpdateSteps(http, servers, path, temporary, target, workTarget, beforeReplace,
                                 stop, settings);
    } catch (const std::system_error &error) {
        // Its text already holds the system's message; the code is added.
        LogLine(settings.Log,
                std::string(error.what()) + " (code " + std::to_string(error.code().value()) + ")");
        outcome = TUpdateOutcome::ReplaceFailed;
    } catch (const std::exception &error) {
        LogLine(settings.Log, error.what());
        outcome = TUpdateOutcome::ReplaceFailed;
    }
    if (outcome != TUpdateOutcome::Replaced && !temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored); // gone already when it was kept as partial
    }
    // Only a broken connection leaves a partial download to continue from.
    if (outcome != TUpdateOutcome::ConnectionFailed)
        DiscardPartialDownload(workTarget);
    return outcome;
}

TUpdateOutcome DownloadAndReplace(TIdHTTP &http, const std::string &url,
                                  const std::filesystem::path &target,
                                  const std::function<void()> &beforeReplace, std::stop_token stop,
                                  const TUpdateSettings &settings) {
    const auto parts = SplitBaseAndPath(url);
    if (!parts)
        return TUpdateOutcome::ServerRejected;
    TServerList servers({parts->first});
    return DownloadAndReplace(http, servers, parts->second, target, beforeReplace, stop, settings);
}

bool IsHtmlContentType(const std::string &contentType) {
    std::string type = contentType.substr(0, contentType.find(';'));
    type.erase(std::remove_if(type.begin(), type.end(),
                              [](unsigned char c) { return std::isspace(c) != 0; }),
               type.end());
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return type == "text/html";
}
