// Replacing a file on POSIX: rename(2) is atomic within one file system; the folder is then
// synced so the new name survives a crash. An open target does not block a rename here, so
// there is nothing to retry.
#include "../file_replace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {

namespace {

void SyncFolder(const std::filesystem::path &folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool ReplaceFileAtomically(const std::filesystem::path &source, const std::filesystem::path &target,
                           std::error_code &error, std::chrono::milliseconds /*retryFor*/) {
    error.clear();
    std::error_code status;
    if (std::filesystem::is_directory(target, status)) {
        error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    if (::rename(source.c_str(), target.c_str()) != 0) {
        error = std::error_code(errno, std::generic_category());
        return false;
    }
    SyncFolder(target.parent_path());
    return true;
}

} // namespace platform
