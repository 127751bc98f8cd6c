#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>

namespace platform {

/// A file's bytes mapped read-only into memory: the system reads them in as they are touched, so
/// a large file costs neither a copy nor the time to read it before it is used.
///
/// The mapping reflects the file as it is on disk; a file that another program shortens while it
/// is mapped may fault on POSIX systems (Windows refuses to shorten a mapped file). Callers check
/// what they read (a patch's checksum covers its reference).
class MappedFile {
public:
    /// Maps the regular file at `path`; nothing (null) when it cannot be opened or mapped. An
    /// empty file maps to no bytes.
    static std::unique_ptr<MappedFile> Open(const std::filesystem::path &path);

    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    const char *Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    MappedFile() = default;

    const char *data_ = nullptr;
    std::size_t size_ = 0;
#ifdef _WIN32
    void *mapping_ = nullptr;
#endif
};

} // namespace platform
