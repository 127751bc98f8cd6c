#include "support_log_lines.h"

#include "staged_install.h"
#include "text_encoding.h"

#include <algorithm>
#include <string_view>

namespace SupportLogLine {

namespace {

std::string Utf8(const std::filesystem::path &path) {
    return platform::Utf16ToUtf8(path.u16string());
}

/// "scheme://host[:port]" of an address: everything before the path, query or fragment.
std::string BaseOf(std::string_view url) {
    const auto scheme = url.find("://");
    const auto start = scheme == std::string_view::npos ? 0 : scheme + 3;
    return std::string(url.substr(0, url.find_first_of("/?#", start)));
}

std::string WayOf(const std::optional<std::string> &proxy) {
    if (!proxy)
        return "proxy from the environment";
    if (proxy->empty())
        return "direct";
    // libcurl takes a proxy without a scheme for an http one; with the scheme written out, the
    // log can take out any credentials in it.
    return "through proxy " +
           (proxy->find("://") == std::string::npos ? "http://" + *proxy : *proxy);
}

} // namespace

std::string PressStarted(const std::filesystem::path &clientFolder) {
    return "press: Zorvane updater " ZORVANE_UPDATER_VERSION ", client folder " +
           Utf8(clientFolder);
}

std::string PressWhileBusy(bool downloading) {
    return downloading ? "press during the download: it continues at once"
                       : "press while busy: nothing new starts";
}

std::string ConnectionChecked(bool connected) {
    return connected ? "connection check: connected" : "connection check: no connection";
}

std::string Request(const TIdHTTPRequestReport &report, const std::string &server) {
    std::string line = "GET " + report.Url + " (" + server + ", " + WayOf(report.Proxy) + "): ";
    line += report.Status == 0 ? "no reply" : std::to_string(report.Status);
    if (report.FullLength >= 0)
        line += ", length " + std::to_string(report.FullLength);
    if (report.RangeStart > 0)
        line += ", continued from byte " + std::to_string(report.RangeStart);
    if (!report.ETag.empty())
        line += ", ETag " + report.ETag;
    if (!report.LastModified.empty())
        line += ", Last-Modified " + report.LastModified;
    line += ", " + std::to_string(report.Received) + " bytes in " +
            std::to_string(report.Duration.count()) + " ms";
    if (!report.Failure.empty())
        line += ", failed: " + report.Failure;
    return line;
}

std::string ServerOf(const std::string &url, const std::vector<std::string> &downloadBases) {
    const std::string base = BaseOf(url);
    if (!downloadBases.empty() && base == downloadBases.front())
        return "publisher";
    const bool mirror =
        std::find(downloadBases.begin(), downloadBases.end(), base) != downloadBases.end();
    return (mirror ? "mirror " : "server ") + base;
}

std::string UpdateEnded(TUpdateOutcome outcome) {
    switch (outcome) {
    case TUpdateOutcome::Replaced:
        return "update: the new client is installed";
    case TUpdateOutcome::ConnectionFailed:
        return "update failed: connection";
    case TUpdateOutcome::ServerRejected:
        return "update failed: the server refused or sent no usable file";
    case TUpdateOutcome::ReplaceFailed:
        return "update failed: the client could not be written or replaced";
    case TUpdateOutcome::Cancelled:
        return "update cancelled: the window is closing";
    case TUpdateOutcome::NotAuthentic:
        return "update failed: the file or its signature is not valid";
    case TUpdateOutcome::UpToDate:
        return "update: the installed client is the newest";
    }
    return "update ended";
}

std::string ClientEnded(const platform::ProcessEntry &process, bool ended) {
    return std::string(ended ? "ended" : "could not end") + " process " +
           std::to_string(process.ProcessId) + " (" + platform::Utf16ToUtf8(process.ExeFile) + ")";
}

std::string NoClientRunning() {
    return "no running client to end";
}

std::string ElevationRequested(const std::filesystem::path &clientFolder) {
    return "the client's folder " + Utf8(clientFolder) +
           " cannot be written with the player's rights: asking for an elevated copy to install";
}

std::string ElevatedCopyEnded(const platform::ElevatedRun &run) {
    switch (run.End) {
    case platform::ElevatedRun::TEnd::Exited:
        return "elevated copy ended with status " + std::to_string(run.ExitCode) + ": " +
               StagedInstallStatusText(run.ExitCode);
    case platform::ElevatedRun::TEnd::NotStarted:
        return "elevated copy not started (declined or refused, system code " +
               std::to_string(run.SystemError) + ")";
    case platform::ElevatedRun::TEnd::Abandoned:
        break;
    }
    return "elevated copy still running as the window closes: no longer waited for";
}

std::string ClientStarted(bool started) {
    return started ? "started the new client" : "the new client could not be started";
}

std::string BoxShown(TMessageKind kind, const QString &text) {
    return MessageCaption(kind).toStdString() + " box: " + text.toStdString();
}

} // namespace SupportLogLine
