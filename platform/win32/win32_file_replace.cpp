// Replacing a file on Windows: MoveFileExW with replace-existing and write-through. A client
// that was just terminated may hold its image file for a moment, so sharing and access errors
// are retried until the retry period ends.
#include "../file_replace.h"

#include <windows.h>

#include <thread>

namespace platform {

namespace {

bool IsTransientLock(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED ||
           code == ERROR_LOCK_VIOLATION;
}

} // namespace

bool ReplaceFileAtomically(const std::filesystem::path &source, const std::filesystem::path &target,
                           std::error_code &error, std::chrono::milliseconds retryFor) {
    error.clear();
    const auto deadline = std::chrono::steady_clock::now() + retryFor;
    for (;;) {
        if (::MoveFileExW(source.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD code = ::GetLastError();
        if (!IsTransientLock(code) || std::chrono::steady_clock::now() >= deadline) {
            error = std::error_code(int(code), std::system_category());
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

} // namespace platform
