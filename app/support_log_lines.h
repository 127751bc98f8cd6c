#pragma once

#include "message_box.h"
#include "update_download.h"

#include "TIdHTTP.h"
#include "elevation_seam.h"
#include "process_seam.h"

#include <QString>

#include <filesystem>
#include <string>
#include <vector>

/// The lines the window writes to the support log (see platform/support_log.h): plain English
/// for the publisher's support, in UTF-8. The log itself adds the time and takes credentials out.
namespace SupportLogLine {

/// A press that starts a run: the updater's version and the client's folder.
std::string PressStarted(const std::filesystem::path &clientFolder);
/// A press while a run is under way: it continues the download (`downloading`) or does nothing.
std::string PressWhileBusy(bool downloading);
/// The connection check's verdict.
std::string ConnectionChecked(bool connected);
/// One request as `TIdHTTP::OnRequestEnd` reports it, on the server named `server`: its address,
/// the way it went (direct or through which proxy), the reply's status, length and validators,
/// the bytes that arrived and how long it took, and why it failed.
std::string Request(const TIdHTTPRequestReport &report, const std::string &server);
/// Which of the download servers `url` is on: "publisher" for the first of `downloadBases`,
/// "mirror BASE" for another, else "server BASE" ("scheme://host[:port]").
std::string ServerOf(const std::string &url, const std::vector<std::string> &downloadBases);
/// How the download-and-replace of a press ended.
std::string UpdateEnded(TUpdateOutcome outcome);
/// One running client that was (or could not be) ended before the install.
std::string ClientEnded(const platform::ProcessEntry &process, bool ended);
/// No running client was found to end before the install.
std::string NoClientRunning();
/// The player's rights cannot write the client's folder `clientFolder`: an elevated copy of the
/// updater is asked to install.
std::string ElevationRequested(const std::filesystem::path &clientFolder);
/// How that elevated copy came out: declined or not started (with the system's code), its exit
/// status in words, or the wait given up as the window closed.
std::string ElevatedCopyEnded(const platform::ElevatedRun &run);
/// Whether the new client could be started after the success box.
std::string ClientStarted(bool started);
/// A message box the player was shown: its kind and its text.
std::string BoxShown(TMessageKind kind, const QString &text);

} // namespace SupportLogLine
