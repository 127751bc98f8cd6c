#include "../state_folder.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace platform {

std::filesystem::path UpdaterStateFolder() {
    PWSTR local = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &local)))
        folder = std::filesystem::path(local) / L"Zorvane";
    ::CoTaskMemFree(local);
    return folder;
}

} // namespace platform
