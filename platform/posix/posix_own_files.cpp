// Files of this user beside the client, with POSIX open flags and fstat on the open file.
#include "../own_files.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string RandomDigits() {
    std::random_device random;
    char digits[17];
    std::snprintf(digits, sizeof digits, "%08x%08x", static_cast<unsigned>(random()),
                  static_cast<unsigned>(random()));
    return digits;
}

/// The process's umask, read without changing it (umask(2) would, for every thread at once).
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8) & 0777);
    return 022;
}

/// True when the open `fd` is a regular file with one name, owned by the user this process runs
/// as or, for a program run with another user's rights, the user who started it.
bool IsOwnPlainDescriptor(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_nlink == 1 &&
           (status.st_uid == ::geteuid() || status.st_uid == ::getuid());
}

/// A stream over the open `fd` (taken over, closed on failure too) when it is a plain file of this
/// user; null otherwise, or when `fd` is -1.
std::FILE *OwnFileStream(int fd, const char *mode) {
    if (fd < 0)
        return nullptr;
    std::FILE *file = IsOwnPlainDescriptor(fd) ? ::fdopen(fd, mode) : nullptr;
    if (!file)
        ::close(fd);
    return file;
}

} // namespace

std::filesystem::path CreateTemporaryFileBeside(const std::filesystem::path &target) {
    for (int attempt = 0;; ++attempt) {
        std::filesystem::path path = target;
        path += "." + RandomDigits() + ".tmp";
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST || attempt >= 8)
            throw std::system_error(errno, std::generic_category(),
                                    "cannot create a temporary file beside " + target.string());
    }
}

bool IsOwnPlainFile(const std::filesystem::path &path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool plain = IsOwnPlainDescriptor(fd);
    ::close(fd);
    return plain;
}

std::FILE *OpenOwnFileForAppending(const std::filesystem::path &path) {
    return OwnFileStream(::open(path.c_str(),
                                O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                                0600),
                         "ab");
}

std::FILE *OpenOwnFileForReading(const std::filesystem::path &path) {
    return OwnFileStream(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC),
                         "rb");
}

bool IsPermissionRefusal(const std::error_code &error) {
    return error == std::errc::permission_denied || error == std::errc::operation_not_permitted;
}

std::optional<std::filesystem::perms> ClientPermissions(const std::filesystem::path &target) {
    struct stat status {};
    mode_t mode = 0777 & ~CurrentUmask();
    if (::stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
        mode = status.st_mode & 0777;
        // The client is started directly: whoever may read it may run it.
        mode |= (mode & 0444) >> 2;
    }
    return static_cast<std::filesystem::perms>(mode);
}

} // namespace platform
