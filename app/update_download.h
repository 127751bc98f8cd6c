#pragma once

#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>

class TIdHTTP;

/// How one download-and-replace ended.
enum class TUpdateOutcome {
    Replaced,         ///< the new client is in place
    ConnectionFailed, ///< cannot resolve or connect, connection lost, body cut short, stalled
    ServerRejected,   ///< a reply outside 2xx, an empty body or an HTML page
    ReplaceFailed,    ///< the file could not be written or replaced
    Cancelled,        ///< the stop token was triggered (the window is closing)
};

/// Downloads `url` with `http` into a temporary file beside `target` and, once the whole body is
/// on disk, runs `beforeReplace` (which ends the running client) and atomically puts the file in
/// the place of `target`, made executable.
///
/// On every outcome but `Replaced` the temporary file is gone, `target` is untouched and
/// `beforeReplace` has not run. `stop` cancels the transfer (through `TIdHTTP::Cancel`) and skips
/// the replace when it comes later. Never throws.
TUpdateOutcome DownloadAndReplace(TIdHTTP &http, const std::string &url,
                                  const std::filesystem::path &target,
                                  const std::function<void()> &beforeReplace, std::stop_token stop);

/// True for a reply content type that announces an HTML page ("text/html; charset=...").
bool IsHtmlContentType(const std::string &contentType);
