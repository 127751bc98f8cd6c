// Read-only file mappings with mmap.
#include "../mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::unique_ptr<MappedFile> MappedFile::Open(const std::filesystem::path &path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<MappedFile> file(new MappedFile);
    struct stat status {};
    bool mapped = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (mapped && status.st_size > 0) {
        void *data = ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ,
                            MAP_PRIVATE, fd, 0);
        mapped = data != MAP_FAILED;
        if (mapped) {
            file->data_ = static_cast<const char *>(data);
            file->size_ = static_cast<std::size_t>(status.st_size);
            // Read front to back by the patch decoder, with look-backs: ask for read-ahead.
            ::madvise(data, file->size_, MADV_WILLNEED);
        }
    }
    ::close(fd); // the mapping keeps the file's bytes reachable
    return mapped ? std::move(file) : nullptr;
}

MappedFile::~MappedFile() {
    if (data_)
        ::munmap(const_cast<char *>(data_), size_);
}

} // namespace platform
