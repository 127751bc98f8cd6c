#include "win32_test_support.h"

#include "process_terminator.h"

#include <algorithm>

#include <system_error>

namespace win32_test {

namespace fs = std::filesystem;

fs::path ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    path.resize(length);
    return fs::path(path).parent_path();
}

fs::path MakeFolder(const std::wstring &stem) {
    const fs::path folder =
        fs::temp_directory_path() / (stem + L"-" + std::to_wstring(::GetCurrentProcessId()));
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    return folder;
}

void RemoveFolder(const fs::path &folder) {
    // An image file stays locked for a moment after its process has ended.
    for (int attempt = 0; attempt < 50; ++attempt) {
        std::error_code error;
        fs::remove_all(folder, error);
        if (!error)
            return;
        ::Sleep(100);
    }
}

bool AnyProcessNamed(const std::u16string &name) {
    const auto snapshot = platform::SystemProcesses().Snapshot();
    return snapshot && std::any_of(snapshot->begin(), snapshot->end(), [&](const auto &entry) {
               return platform::ExeNameMatches(entry.ExeFile, name);
           });
}

bool WaitForFile(const fs::path &file, DWORD limit) {
    for (DWORD waited = 0; waited < limit; waited += 20) {
        if (fs::exists(file))
            return true;
        ::Sleep(20);
    }
    return fs::exists(file);
}

StartedProcess::StartedProcess(const fs::path &executable) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    std::wstring commandLine = L"\"" + executable.wstring() + L"\"";
    if (!::CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &info_))
        info_ = {};
}

StartedProcess::~StartedProcess() {
    if (!Started())
        return;
    if (IsRunning()) {
        ::TerminateProcess(info_.hProcess, 1);
        ::WaitForSingleObject(info_.hProcess, 10000);
    }
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
}

bool StartedProcess::EndedWith(DWORD exitCode, DWORD limit) {
    if (!Started() || ::WaitForSingleObject(info_.hProcess, limit) != WAIT_OBJECT_0)
        return false;
    DWORD code = STILL_ACTIVE;
    return ::GetExitCodeProcess(info_.hProcess, &code) && code == exitCode;
}

bool StartedProcess::IsRunning() {
    return Started() && ::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

} // namespace win32_test
