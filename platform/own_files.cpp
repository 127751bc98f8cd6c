// Temporary files beside the client: their names, and clearing what a killed run left.
#include "own_files.h"

#include <fstream>
#include <string>
#include <system_error>

namespace platform {

namespace {

constexpr std::size_t kRandomDigits = 16;
constexpr std::string_view kTemporarySuffix = ".tmp";

bool IsHexDigits(std::string_view text) {
    return text.size() == kRandomDigits && text.find_first_not_of("0123456789abcdef") == text.npos;
}

} // namespace

bool IsTemporaryNameOf(const std::filesystem::path &name, const std::filesystem::path &target) {
    const std::string file = name.filename().string();
    const std::string prefix = target.filename().string() + ".";
    if (file.size() < prefix.size() + kRandomDigits + kTemporarySuffix.size() ||
        file.compare(0, prefix.size(), prefix) != 0 ||
        file.compare(file.size() - kTemporarySuffix.size(), kTemporarySuffix.size(),
                     kTemporarySuffix) != 0)
        return false;
    const std::string_view rest(file.c_str() + prefix.size(),
                                file.size() - prefix.size() - kTemporarySuffix.size());
    return IsHexDigits(rest.substr(rest.size() - kRandomDigits)) &&
           (rest.size() == kRandomDigits || rest[rest.size() - kRandomDigits - 1] == '.');
}

bool WriteFileByRename(const std::filesystem::path &path, const std::string &bytes) {
    std::filesystem::path temporary;
    try {
        temporary = CreateTemporaryFileBeside(path);
    } catch (const std::exception &) {
        return false;
    }
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    std::error_code error;
    if (out)
        std::filesystem::rename(temporary, path, error);
    if (!out || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

void RemoveLeftoverTemporaryFiles(const std::filesystem::path &target) {
    std::error_code error;
    const auto folder = target.has_parent_path() ? target.parent_path() : ".";
    std::filesystem::directory_iterator entries(folder, error);
    if (error)
        return;
    for (const auto &entry : entries) {
        if (!IsTemporaryNameOf(entry.path(), target))
            continue;
        std::error_code ignored;
        if (std::filesystem::is_regular_file(entry.symlink_status(ignored)))
            std::filesystem::remove(entry.path(), ignored);
    }
}

} // namespace platform
