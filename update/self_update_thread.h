#pragma once

#include "TIdHTTP.h"
#include "release_version.h"
#include "self_update.h"
#include "update_log.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace platform {
class ProxySeam;
}

/// What the updater's own update is given: its file, the servers and the client's settings.
struct TSelfUpdateSettings {
    /// The running updater's file (see `platform::OwnProgramPath`).
    std::filesystem::path OwnFile;
    /// The published updater's name under "/program_download/".
    std::string ServerFileName;
    verify::ReleaseVersion OwnVersion;
    /// The publisher's minisign public key text; empty: nothing is asked or replaced.
    std::string PublisherKey;
    /// The publisher's base address first, then the mirrors (see `TServerList`).
    std::vector<std::string> ServerBases;
    std::chrono::milliseconds ConnectTimeout{15000};
    std::chrono::milliseconds StallTimeout{30000};
    /// The pauses before a broken download continues by itself.
    std::vector<std::chrono::milliseconds> ContinuationPauses;
    /// The system's proxy settings; null: direct connections. Must outlive the update.
    platform::ProxySeam *Proxy = nullptr;
    /// The support log's engine lines, and each request's report. Called on the update's thread,
    /// possibly after the window is gone: they must hold what they use.
    TUpdateLog Log;
    TIdHTTP::TRequestEndEvent OnRequestEnd;
};

/// The updater's own update (see `UpdateSelf`) on a thread of its own, with its own HTTP client
/// (raising no progress events) and its own stop, so that nobody waits for it: it may outlive
/// the window, and the process's end waits for it only within a bound (`Finish`).
class TSelfUpdateThread {
public:
    TSelfUpdateThread() = default;
    /// Stops a running update and joins its thread.
    ~TSelfUpdateThread();
    TSelfUpdateThread(const TSelfUpdateThread &) = delete;
    TSelfUpdateThread &operator=(const TSelfUpdateThread &) = delete;

    /// Starts the update; a later call does nothing (one per process). Any thread.
    void Start(TSelfUpdateSettings settings);

    /// Waits until the update has ended by itself, at most `limit`; then stops it (a transfer
    /// ends within a quarter of a second, its bytes kept for the next attempt) and joins it.
    /// The outcome; nothing when no update was started. Not concurrently with `Start`.
    std::optional<TSelfUpdateOutcome> Finish(std::chrono::milliseconds limit);

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool started_ = false;
    std::optional<TSelfUpdateOutcome> outcome_;
    std::jthread thread_;
};
