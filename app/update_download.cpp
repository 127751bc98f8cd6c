#include "update_download.h"

#include "TIdHTTP.h"
#include "TIdSink.h"
#include "file_replace.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace {

TUpdateOutcome OutcomeOf(TIdHTTPErrorKind kind) {
    switch (kind) {
    case TIdHTTPErrorKind::ProtocolError:
        return TUpdateOutcome::ServerRejected;
    case TIdHTTPErrorKind::CannotResolve:
    case TIdHTTPErrorKind::CannotConnect:
    case TIdHTTPErrorKind::ConnectionLost:
    case TIdHTTPErrorKind::Stalled:
        return TUpdateOutcome::ConnectionFailed;
    case TIdHTTPErrorKind::Cancelled:
        return TUpdateOutcome::Cancelled;
    case TIdHTTPErrorKind::SinkFailed:
        return TUpdateOutcome::ReplaceFailed;
    }
    return TUpdateOutcome::ConnectionFailed;
}

/// Downloads into `temporary` and publishes it; the caller removes `temporary` afterwards.
TUpdateOutcome Transfer(TIdHTTP &http, const std::string &url,
                        const std::filesystem::path &temporary, const std::filesystem::path &target,
                        const std::function<void()> &beforeReplace, std::stop_token stop) {
    std::stop_callback cancelOnStop(stop, [&http] { http.Cancel(); });
    try {
        TIdFileSink sink(temporary);
        http.Get(url, sink);
        if (IsHtmlContentType(http.ResponseContentType()) || sink.Size() == 0)
            return TUpdateOutcome::ServerRejected;
        sink.Flush();
        sink.Close();
    } catch (const EIdHTTPError &error) {
        return stop.stop_requested() ? TUpdateOutcome::Cancelled : OutcomeOf(error.Kind());
    } catch (const std::exception &) {
        return TUpdateOutcome::ReplaceFailed;
    }
    if (stop.stop_requested())
        return TUpdateOutcome::Cancelled;

    std::error_code ignored;
    std::filesystem::permissions(temporary,
                                 std::filesystem::perms::owner_exec |
                                     std::filesystem::perms::group_exec |
                                     std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add, ignored);
    if (beforeReplace)
        beforeReplace();
    std::error_code error;
    return platform::ReplaceFileAtomically(temporary, target, error)
               ? TUpdateOutcome::Replaced
               : TUpdateOutcome::ReplaceFailed;
}

} // namespace

TUpdateOutcome DownloadAndReplace(TIdHTTP &http, const std::string &url,
                                  const std::filesystem::path &target,
                                  const std::function<void()> &beforeReplace,
                                  std::stop_token stop) {
    std::filesystem::path temporary;
    TUpdateOutcome outcome;
    try {
        temporary = platform::TemporaryPathBeside(target);
        outcome = Transfer(http, url, temporary, target, beforeReplace, stop);
    } catch (const std::exception &) {
        outcome = TUpdateOutcome::ReplaceFailed;
    }
    if (outcome != TUpdateOutcome::Replaced && !temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return outcome;
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
