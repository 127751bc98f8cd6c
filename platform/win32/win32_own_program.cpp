// The running program's file on Windows: the path its image was loaded from.
#include "../own_program.h"

#include <windows.h>

#include <string>

namespace platform {

std::filesystem::path OwnProgramPath() {
    // Long paths go up to 32767 characters; the buffer grows until the path fits.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::wstring path(size, L'\0');
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0)
            return {};
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
    return {};
}

} // namespace platform
