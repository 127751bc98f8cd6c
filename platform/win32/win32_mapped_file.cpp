// Read-only file mappings with CreateFileMappingW and MapViewOfFile.
#include "../mapped_file.h"

#include <windows.h>

namespace platform {

std::unique_ptr<MappedFile> MappedFile::Open(const std::filesystem::path &path) {
    // Shared like any reader: whoever else has it open keeps it (a change shows in the checks
    // of what is read; Windows refuses to shorten a mapped file).
    HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    std::unique_ptr<MappedFile> file(new MappedFile);
    LARGE_INTEGER size{};
    BY_HANDLE_FILE_INFORMATION information{};
    bool mapped = ::GetFileSizeEx(handle, &size) &&
                  ::GetFileInformationByHandle(handle, &information) &&
                  (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (mapped && size.QuadPart > 0) {
        file->mapping_ = ::CreateFileMappingW(handle, nullptr, PAGE_READONLY, 0, 0, nullptr);
        const void *data =
            file->mapping_ ? ::MapViewOfFile(file->mapping_, FILE_MAP_READ, 0, 0, 0) : nullptr;
        mapped = data != nullptr;
        if (mapped) {
            file->data_ = static_cast<const char *>(data);
            file->size_ = static_cast<std::size_t>(size.QuadPart);
        }
    }
    ::CloseHandle(handle); // the mapping keeps the file open
    return mapped ? std::move(file) : nullptr;
}

MappedFile::~MappedFile() {
    if (data_)
        ::UnmapViewOfFile(data_);
    if (mapping_)
        ::CloseHandle(mapping_);
}

} // namespace platform
