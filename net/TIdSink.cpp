// The file sink: buffered writes through stdio, errors reported with the system's reason.
#include "TIdSink.h"

#include "EIdHTTPError.h"

#include <cerrno>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

/// stdio's buffer. Received pieces are often only 16 KiB; 128 KiB turns them into one write call
/// per 128 KiB instead of about two per piece, and stays small enough to be warm in the cache.
constexpr std::size_t kFileBufferSize = std::size_t{128} * 1024;
/// Every this many bytes the written part is handed to the disk in the background, so the
/// final flush has little left to do and the dirty pages never pile up.
constexpr std::int64_t kWriteBackStep = std::int64_t{8} << 20;

/// Opens the file for writing, creating it when missing (readable by its owner only), never
/// through a link and never into a file that is not plainly ours: a download's file is always
/// one this program made, so anything else at its name was planted. Sets errno on failure.
std::FILE *OpenForWriting(const std::filesystem::path &path, bool append) {
#ifdef _WIN32
    HANDLE handle =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EACCES;
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    LARGE_INTEGER end{};
    const bool plain =
        ::GetFileInformationByHandle(handle, &information) &&
        !(information.dwFileAttributes &
          (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
        information.nNumberOfLinks <= 1 && // 0: a file system (or Wine) that does not count them
        (append ? ::SetFilePointerEx(handle, end, nullptr, FILE_END) != FALSE
                : ::SetEndOfFile(handle) != FALSE);
    const int fd = plain ? _open_osfhandle(reinterpret_cast<intptr_t>(handle),
                                           (append ? _O_APPEND : 0) | _O_BINARY | _O_WRONLY)
                         : -1;
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EPERM;
        return nullptr;
    }
    std::FILE *file = _fdopen(fd, append ? "ab" : "wb");
    if (!file)
        _close(fd);
    return file;
#else
    const int fd = ::open(
        path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (append ? O_APPEND : 0), 0600);
    if (fd < 0)
        return nullptr;
    // A device the caller names itself (/dev/null, /dev/full) is written as it is.
    struct stat status {};
    const bool plain = ::fstat(fd, &status) == 0 &&
                       (S_ISCHR(status.st_mode) ||
                        (S_ISREG(status.st_mode) && status.st_nlink == 1 &&
                         status.st_uid == ::geteuid() && (append || ::ftruncate(fd, 0) == 0)));
    if (!plain) {
        ::close(fd);
        errno = EPERM;
        return nullptr;
    }
    std::FILE *file = ::fdopen(fd, append ? "ab" : "wb");
    if (!file)
        ::close(fd);
    return file;
#endif
}

int SyncToDisk(std::FILE *file) {
#ifdef _WIN32
    return _commit(_fileno(file));
#else
    return fsync(fileno(file));
#endif
}

} // namespace

void TIdSink::Begin(std::int64_t offset) {
    if (offset != 0)
        throw EIdSinkFailed("this sink takes only whole bodies, not one continued from byte " +
                            std::to_string(offset));
}

TIdFileSink::TIdFileSink(std::filesystem::path path, Existing existing) : path_(std::move(path)) {
    Open(existing == Keep);
}

void TIdFileSink::Open(bool append) {
    file_ = OpenForWriting(path_, append);
    if (!file_)
        Fail("cannot create", errno);
    // glibc ignores the size when it is not given the buffer itself, and would write through a
    // 4 KiB one: about two write calls for every received piece.
    if (!buffer_)
        buffer_ = std::make_unique<char[]>(kFileBufferSize);
    std::setvbuf(file_, buffer_.get(), _IOFBF, kFileBufferSize);
    size_ = 0;
    writtenBack_ = 0;
    if (append) {
        std::error_code error;
        const auto kept = std::filesystem::file_size(path_, error);
        if (error)
            throw EIdSinkFailed("cannot measure " + path_.string() + ": " + error.message());
        size_ = static_cast<std::size_t>(kept);
    }
}

void TIdFileSink::Begin(std::int64_t offset) {
    if (!file_)
        Fail("write after close to", EBADF);
    if (offset == 0) {
        if (size_ == 0)
            return;
        // The whole resource follows: start the file again.
        std::FILE *file = file_;
        file_ = nullptr;
        std::fclose(file);
        Open(false);
        return;
    }
    if (offset < 0 || static_cast<std::uint64_t>(offset) != size_)
        throw EIdSinkFailed(path_.string() + " holds " + std::to_string(size_) +
                            " bytes; the reply continues from byte " + std::to_string(offset));
}

TIdFileSink::~TIdFileSink() {
    if (file_)
        std::fclose(file_);
}

void TIdFileSink::Add(const char *data, std::size_t len) {
    if (!file_)
        Fail("write after close to", EBADF);
    if (len == 0)
        return;
    errno = 0;
    if (std::fwrite(data, 1, len, file_) != len)
        Fail("cannot write", errno);
    size_ += len;
    if (std::int64_t(size_) - writtenBack_ >= kWriteBackStep + std::int64_t(kFileBufferSize))
        StartWriteBack();
}

void TIdFileSink::StartWriteBack() {
#ifdef __linux__
    // Only what stdio has already passed to the system; a hint, so a failure changes nothing.
    const int fd = fileno(file_);
    const off_t written = ::lseek(fd, 0, SEEK_CUR);
    if (written > writtenBack_ &&
        ::sync_file_range(fd, writtenBack_, written - writtenBack_, SYNC_FILE_RANGE_WRITE) == 0)
        writtenBack_ = written;
#else
    writtenBack_ = std::int64_t(size_);
#endif
}

void TIdFileSink::Flush() {
    if (!file_)
        Fail("flush after close of", EBADF);
    errno = 0;
    if (std::fflush(file_) != 0)
        Fail("cannot write", errno);
    if (SyncToDisk(file_) != 0 && errno != EINVAL) // EINVAL: a special file that cannot sync
        Fail("cannot flush to disk", errno);
}

void TIdFileSink::Close() {
    if (!file_)
        return;
    std::FILE *file = file_;
    file_ = nullptr;
    errno = 0;
    if (std::fclose(file) != 0)
        Fail("cannot write", errno);
}

void TIdFileSink::Fail(const char *what, int error) const {
    std::string message = std::string(what) + " " + path_.string();
    if (error != 0)
        message +=
            ": " + std::string(std::strerror(error)) + " (errno " + std::to_string(error) + ")";
    throw EIdSinkFailed(message);
}
