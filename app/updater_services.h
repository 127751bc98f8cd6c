#pragma once

#include "UpdaterEndpoints.h"
#include "connectivity_probe.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class MessageBoxSeam;
class TSelfUpdateThread;
namespace platform {
class ElevationSeam;
class ProcessSeam;
class ProxySeam;
class ShellSeam;
class SupportLog;
} // namespace platform

/// Everything the window reaches outside itself: the operating system, the message boxes, the
/// clock, the addresses and the folder of the client. The program uses the real ones; tests put
/// fakes in their place.
struct UpdaterServices {
    platform::InternetSeam *Internet = nullptr;
    platform::ProcessSeam *Processes = nullptr;
    platform::ShellSeam *Shell = nullptr;
    /// The system's proxy settings, asked for every request; null: every request goes direct.
    platform::ProxySeam *Proxy = nullptr;
    /// Runs the updater elevated for an install into a folder the player cannot write; null, or
    /// one that is not available: such a folder ends in the warning.
    platform::ElevationSeam *Elevation = nullptr;
    MessageBoxSeam *Messages = nullptr;
    /// Milliseconds, 32 bits, wrapping; called on the worker thread.
    std::function<std::uint32_t()> Tick;
    /// Ends the application (the main loop and then the process).
    std::function<void()> Quit;
    UpdaterEndpoints Endpoints;
    /// Where the client lives; empty: the current folder at the time of the press, or the
    /// updater's own folder when only that one holds the client.
    std::filesystem::path ClientFolder;
    /// The updater's own state folder (the release floor); empty keeps none there.
    std::filesystem::path StateFolder;
    /// The support log each press writes its steps to; null: none.
    std::shared_ptr<platform::SupportLog> Log;
    std::chrono::milliseconds ConnectTimeout{15000};
    /// A transfer that receives nothing for this long fails.
    std::chrono::milliseconds StallTimeout{30000};
    /// The pauses before a broken download continues by itself, one per continuation.
    std::vector<std::chrono::milliseconds> ContinuationPauses{std::chrono::milliseconds(1000),
                                                              std::chrono::milliseconds(2000),
                                                              std::chrono::milliseconds(4000)};
    /// The publisher's minisign public key text; downloads are verified against it. Empty (a
    /// build without a key): nothing is verified.
    std::string PublisherKey;
    /// The Windows code page the version reply is read in; 0 means the system's ANSI code page.
    int AnsiCodePage = 0;
    /// The updater's own file, which a newer updater signed with `PublisherKey` replaces after
    /// a successful press; empty: it is never replaced.
    std::filesystem::path OwnProgram;
    /// The updater's own version ("X.Y.Z"), compared with the published updater's.
    std::string OwnVersion;
    /// Where the updater's own update runs: an object that outlives the window, so the process
    /// can let it finish after the window is gone. Null: the updater never replaces itself.
    TSelfUpdateThread *SelfUpdate = nullptr;

    /// The real operating system, the real boxes, the program's addresses, its own file and
    /// version (`SelfUpdate` stays for the program's entry point to give).
    static UpdaterServices System();
};

/// The connectivity probe's table from the endpoints' test addresses.
platform::ConnectionTestTable ConnectionTestTableOf(const QStringList &urls);
