// The updater replacing its own file with a newer signed one.
#include "self_update.h"

#include "TIdHTTP.h"
#include "own_files.h"
#include "own_program.h"
#include "partial_download.h"
#include "server_files.h"
#include "server_list.h"

#include <optional>
#include <set>
#include <system_error>

namespace {

/// The published updater's version when its signature is for `serverFileName` and names one.
std::optional<verify::ReleaseVersion> PublishedVersion(const verify::TrustedComment &comment,
                                                       const std::string &serverFileName) {
    if (!comment.File || !verify::SameFileName(*comment.File, serverFileName))
        return std::nullopt;
    const auto field = comment.Fields.find("version");
    return field == comment.Fields.end() ? std::nullopt
                                         : verify::ParseReleaseVersion(field->second);
}

/// Downloads the accepted file beside `ownFile` (not from the servers in `otherRelease`) and
/// swaps it in.
TSelfUpdateOutcome DownloadAndSwap(TIdHTTP &http, TServerList &servers, const std::string &path,
                                   const std::filesystem::path &ownFile,
                                   const TAcceptedSignature &accepted,
                                   const std::set<std::size_t> &otherRelease,
                                   TContinuationWait *continuation, const std::stop_token &stop,
                                   const TUpdateLog &log) {
    std::filesystem::path temporary;
    try {
        platform::RemoveLeftoverTemporaryFiles(ownFile);
        temporary = platform::CreateTemporaryFileBeside(ownFile);
    } catch (const std::system_error &error) {
        // A folder the player cannot write.
        LogLine(log, "no new file beside the updater: " + ErrorCodeText(error.code()));
        return TSelfUpdateOutcome::Failed;
    }
    // A stop ends the process's wait for this download: what arrived is kept for the next time.
    const TUpdateOutcome downloaded =
        DownloadFromServers(http, servers, path, temporary, ownFile, &accepted.Key,
                            &accepted.Signature, continuation, stop, otherRelease, log, true);
    TSelfUpdateOutcome outcome = TSelfUpdateOutcome::Failed;
    std::error_code error;
    if (stop.stop_requested()) {
        outcome = TSelfUpdateOutcome::Cancelled;
        LogLine(log, "stopped; what arrived is kept for the next time");
    } else if (downloaded == TUpdateOutcome::Replaced) {
        if (platform::SwapInNewProgram(temporary, ownFile, error)) {
            outcome = TSelfUpdateOutcome::Replaced;
            LogLine(log, "the updater is replaced; the one that ran is " +
                             platform::ReplacedProgramPath(ownFile).filename().string());
        } else {
            LogLine(log, "the updater could not be replaced: " + ErrorCodeText(error));
        }
    }
    if (outcome != TSelfUpdateOutcome::Replaced)
        std::filesystem::remove(temporary, error); // gone already when kept as partial
    // Only a broken or stopped transfer leaves bytes worth continuing from.
    if (downloaded != TUpdateOutcome::ConnectionFailed && downloaded != TUpdateOutcome::Cancelled)
        DiscardPartialDownload(ownFile);
    return outcome;
}

} // namespace

TSelfUpdateOutcome UpdateSelf(TIdHTTP &http, TServerList &servers,
                              const std::filesystem::path &ownFile,
                              const std::string &serverFileName,
                              const verify::ReleaseVersion &ownVersion, const std::string &keyText,
                              TContinuationWait *continuation, const std::stop_token &stop,
                              const TUpdateLog &log) {
    if (keyText.empty() || ownFile.empty())
        return TSelfUpdateOutcome::Failed;
    try {
        std::stop_callback cancelOnStop(stop, [&http] { http.Cancel(); });
        const std::string path = "/program_download/" + serverFileName;
        // The first authentic signature of this updater that is no newer settles it: a mirror
        // further on is not asked.
        const auto accept = [&](const verify::TrustedComment &comment) {
            const auto version = PublishedVersion(comment, serverFileName);
            if (!version)
                return TSignatureJudgement::Refused;
            return *version > ownVersion ? TSignatureJudgement::Accepted
                                         : TSignatureJudgement::Settled;
        };
        // Servers whose signature was refused serve another updater: the file is not asked
        // from them.
        std::set<std::size_t> otherRelease;
        TAcceptedSignature accepted;
        const TUpdateOutcome fetched = FetchAcceptedSignature(http, servers, path, keyText, accept,
                                                              stop, accepted, &otherRelease, log);
        if (fetched == TUpdateOutcome::Replaced)
            return DownloadAndSwap(http, servers, path, ownFile, accepted, otherRelease,
                                   continuation, stop, log);
        if (stop.stop_requested())
            return TSelfUpdateOutcome::Cancelled;
        if (fetched != TUpdateOutcome::UpToDate) {
            LogLine(log, "no newer updater signed by the publisher");
            return TSelfUpdateOutcome::Failed;
        }
        LogLine(log, "the published updater is not newer than this one");
        DiscardPartialDownload(ownFile); // bytes of an updater that is no longer published
        return TSelfUpdateOutcome::NotNewer;
    } catch (const std::exception &) {
        return TSelfUpdateOutcome::Failed;
    }
}
