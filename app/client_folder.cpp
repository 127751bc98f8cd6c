#include "client_folder.h"

#include <system_error>

namespace {

bool HoldsClient(const std::filesystem::path &folder, std::u16string_view clientName) {
    std::error_code ignored;
    return !folder.empty() &&
           std::filesystem::is_regular_file(folder / std::filesystem::path(clientName), ignored);
}

} // namespace

std::filesystem::path ChooseClientFolder(const std::filesystem::path &currentFolder,
                                         const std::filesystem::path &ownProgram,
                                         std::u16string_view clientName) {
    if (HoldsClient(currentFolder, clientName))
        return currentFolder;
    const std::filesystem::path ownFolder = ownProgram.parent_path();
    if (HoldsClient(ownFolder, clientName))
        return ownFolder;
    return currentFolder;
}
