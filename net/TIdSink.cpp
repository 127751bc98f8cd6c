// The file sink: buffered writes through stdio, errors reported with the system's reason.
#include "TIdSink.h"

#include "EIdHTTPError.h"

#include <cerrno>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

/// stdio's own buffer; large writes (a whole received piece) bypass it.
constexpr std::size_t kFileBufferSize = std::size_t{64} * 1024;

std::FILE *OpenForWriting(const std::filesystem::path &path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
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

TIdFileSink::TIdFileSink(std::filesystem::path path) : path_(std::move(path)) {
    file_ = OpenForWriting(path_);
    if (!file_)
        Fail("cannot create", errno);
    std::setvbuf(file_, nullptr, _IOFBF, kFileBufferSize);
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
        message += ": " + std::string(std::strerror(error));
    throw EIdSinkFailed(message);
}
