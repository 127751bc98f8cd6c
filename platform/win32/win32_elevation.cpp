// Elevation on Windows: ShellExecuteExW with the "runas" verb (the consent prompt), then a wait on
// the started process that the stop token can end.
#include "../elevation_seam.h"

// windows.h must come before the other Windows headers.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace platform {

namespace {

/// COM for this thread while the shell may need it (its extensions are COM objects).
class ComForThisThread {
public:
    ComForThisThread()
        : initialized_(SUCCEEDED(
              ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComForThisThread() {
        if (initialized_)
            ::CoUninitialize();
    }
    ComForThisThread(const ComForThisThread &) = delete;
    ComForThisThread &operator=(const ComForThisThread &) = delete;

private:
    bool initialized_;
};

class Win32Elevation final : public ElevationSeam {
public:
    bool Available() override { return true; }

    ElevatedRun RunElevated(const std::filesystem::path &program, const std::u16string &argument,
                            const std::filesystem::path &folder, std::uintptr_t owner,
                            std::stop_token stop) override {
        ElevatedRun run;
        HANDLE process = nullptr;
        {
            ComForThisThread com;
            const std::wstring parameters(argument.begin(), argument.end());
            SHELLEXECUTEINFOW info{};
            info.cbSize = sizeof info;
            // The process handle to wait on; the call returns only once the start is settled,
            // as this thread may end right after.
            info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
            info.hwnd = reinterpret_cast<HWND>(owner);
            info.lpVerb = L"runas";
            info.lpFile = program.c_str();
            info.lpParameters = parameters.c_str();
            info.lpDirectory = folder.c_str();
            info.nShow = SW_HIDE;
            if (!::ShellExecuteExW(&info)) {
                run.SystemError = ::GetLastError();
                return run;
            }
            process = info.hProcess;
        }
        if (process == nullptr) {
            run.SystemError = ERROR_INVALID_HANDLE;
            return run;
        }
        // Set when the stop token fires, so one wait covers both.
        const HANDLE stopped = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        {
            std::stop_callback wake(stop, [stopped] {
                if (stopped)
                    ::SetEvent(stopped);
            });
            const HANDLE handles[2] = {process, stopped};
            const DWORD woken = ::WaitForMultipleObjects(stopped ? 2 : 1, handles, FALSE, INFINITE);
            DWORD code = 0;
            if (woken == WAIT_OBJECT_0 && ::GetExitCodeProcess(process, &code)) {
                run.End = ElevatedRun::TEnd::Exited;
                run.ExitCode = static_cast<int>(code);
            } else {
                run.End = ElevatedRun::TEnd::Abandoned;
            }
        }
        if (stopped)
            ::CloseHandle(stopped);
        ::CloseHandle(process);
        return run;
    }
};

} // namespace

ElevationSeam &SystemElevation() {
    static Win32Elevation elevation;
    return elevation;
}

} // namespace platform
