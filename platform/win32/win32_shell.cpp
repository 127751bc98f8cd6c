// The shell on Windows: ShellExecuteW with the "open" verb.
#include "../shell_seam.h"

// windows.h must come before the other Windows headers.
#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <string>

namespace platform {

namespace {

/// The shell cannot start a program whose path reaches MAX_PATH. Such a path is given in its
/// short form (each folder by its 8.3 name) when the volume keeps short names and that form is
/// short enough; otherwise as it stands (the shell then refuses it).
std::wstring ShellUsablePath(const std::wstring &target) {
    if (target.size() < MAX_PATH || target.find(L"://") != std::wstring::npos)
        return target;
    const std::wstring extended = L"\\\\?\\" + target;
    std::wstring shortPath(target.size() + 5, L'\0');
    const DWORD length = ::GetShortPathNameW(extended.c_str(), shortPath.data(),
                                             static_cast<DWORD>(shortPath.size()));
    if (length == 0 || length >= shortPath.size())
        return target;
    shortPath.resize(length);
    if (shortPath.rfind(L"\\\\?\\", 0) == 0)
        shortPath.erase(0, 4);
    return shortPath.size() < MAX_PATH ? shortPath : target;
}

class Win32Shell final : public ShellSeam {
public:
    bool Open(const std::u16string &target, std::uintptr_t owner) override {
        if (target.empty())
            return false;
        const std::wstring path = ShellUsablePath(std::wstring(target.begin(), target.end()));
        const HINSTANCE result = ::ShellExecuteW(reinterpret_cast<HWND>(owner), L"open",
                                                 path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        // ShellExecute reports success with a value above 32.
        return reinterpret_cast<std::intptr_t>(result) > 32;
    }
};

} // namespace

ShellSeam &SystemShell() {
    static Win32Shell shell;
    return shell;
}

} // namespace platform
