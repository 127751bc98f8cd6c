// Processes on Windows: the Tool Help snapshot, its functions looked up by name in kernel32 when
// first needed (missing functions make the snapshot fail), and OpenProcess/TerminateProcess.
#include "../process_seam.h"

// windows.h must come before the other Windows headers.
#include <windows.h>

#include <tlhelp32.h>

namespace platform {

namespace {

#ifndef _WIN64
// The wide process entry is 556 bytes in a 32-bit process; a 64-bit one has a wider heap field,
// and Tool Help refuses an entry whose size field is smaller than the structure it fills.
static_assert(sizeof(PROCESSENTRY32W) == 556, "the wide process entry is 556 bytes");
#endif

using CreateSnapshotFn = HANDLE(WINAPI *)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI *)(HANDLE, LPPROCESSENTRY32W);

struct ToolHelp {
    CreateSnapshotFn CreateSnapshot = nullptr;
    ProcessWalkFn First = nullptr;
    ProcessWalkFn Next = nullptr;

    bool Complete() const { return CreateSnapshot && First && Next; }
};

template <typename Fn> Fn Lookup(HMODULE module, const char *name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(::GetProcAddress(module, name)));
}

const ToolHelp &LoadToolHelp() {
    static const ToolHelp functions = [] {
        ToolHelp found;
        if (HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll")) {
            found.CreateSnapshot = Lookup<CreateSnapshotFn>(kernel, "CreateToolhelp32Snapshot");
            found.First = Lookup<ProcessWalkFn>(kernel, "Process32FirstW");
            found.Next = Lookup<ProcessWalkFn>(kernel, "Process32NextW");
        }
        return found;
    }();
    return functions;
}

std::u16string EntryName(const PROCESSENTRY32W &entry) {
    std::size_t length = 0;
    while (length < MAX_PATH && entry.szExeFile[length] != L'\0')
        ++length;
    return std::u16string(reinterpret_cast<const char16_t *>(entry.szExeFile), length);
}

class Win32Processes final : public ProcessSeam {
public:
    std::optional<std::vector<ProcessEntry>> Snapshot() override {
        const ToolHelp &toolHelp = LoadToolHelp();
        if (!toolHelp.Complete())
            return std::nullopt;
        const HANDLE snapshot = toolHelp.CreateSnapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            return std::nullopt;
        std::vector<ProcessEntry> entries;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = toolHelp.First(snapshot, &entry); more;
             more = toolHelp.Next(snapshot, &entry)) {
            entries.push_back({entry.th32ProcessID, EntryName(entry)});
        }
        ::CloseHandle(snapshot);
        return entries;
    }

    bool Terminate(std::uint32_t processId) override {
        const HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, processId);
        if (process == nullptr)
            return false;
        const bool ended = ::TerminateProcess(process, 0) != FALSE;
        ::CloseHandle(process);
        return ended;
    }
};

} // namespace

ProcessSeam &SystemProcesses() {
    static Win32Processes processes;
    return processes;
}

} // namespace platform
