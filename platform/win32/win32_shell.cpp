// The shell on Windows: ShellExecuteW with the "open" verb.
#include "../shell_seam.h"

// windows.h must come before the other Windows headers.
#include <windows.h>

#include <shellapi.h>

#include <cstdint>

namespace platform {

namespace {

class Win32Shell final : public ShellSeam {
public:
    bool Open(const std::u16string &target, std::uintptr_t owner) override {
        if (target.empty())
            return false;
        const HINSTANCE result = ::ShellExecuteW(reinterpret_cast<HWND>(owner), L"open",
                                                 reinterpret_cast<LPCWSTR>(target.c_str()), nullptr,
                                                 nullptr, SW_SHOWNORMAL);
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
