#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace win32_test {

/// The folder that holds the running test executable (and the helper programs built beside it).
std::filesystem::path ExecutableFolder();

/// A fresh, empty folder under the temporary folder, removed again by `RemoveFolder`.
std::filesystem::path MakeFolder(const std::wstring &stem);
/// Removes a folder made by `MakeFolder`, retrying while files in it are still held.
void RemoveFolder(const std::filesystem::path &folder);

/// True when a running process matches `name` as the terminator would match it; ends nothing.
/// Tests that end processes by name skip when one is already running that they did not start.
bool AnyProcessNamed(const std::u16string &name);

/// Waits at most `limit` milliseconds for `file` to exist.
bool WaitForFile(const std::filesystem::path &file, DWORD limit = 10000);

/// A process started by a test; ended and released on destruction if still running.
class StartedProcess {
public:
    /// Starts `executable` hidden; `Started()` tells whether that worked.
    explicit StartedProcess(const std::filesystem::path &executable);
    StartedProcess(const StartedProcess &) = delete;
    StartedProcess &operator=(const StartedProcess &) = delete;
    ~StartedProcess();

    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    /// True when the process ended within `limit` milliseconds with exit code `exitCode`.
    bool EndedWith(DWORD exitCode, DWORD limit = 10000);
    /// True while the process has not ended.
    bool IsRunning();

private:
    PROCESS_INFORMATION info_{};
};

} // namespace win32_test
