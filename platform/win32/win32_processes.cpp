// Processes on Windows: the Tool Help snapshot, its functions looked up by name in kernel32 when
// first needed (missing functions make the snapshot fail), and OpenProcess/TerminateProcess with
// the process's image name checked again on the opened handle.
#include "../process_seam.h"
#include "../process_terminator.h"

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

/// The full path of the process's image; empty when it cannot be read.
std::u16string ImagePath(HANDLE process) {
    std::u16string path(32768, u'\0'); // the longest path Windows allows, in UTF-16 code units
    DWORD length = DWORD(path.size());
    if (!::QueryFullProcessImageNameW(process, 0, reinterpret_cast<LPWSTR>(path.data()), &length))
        return {};
    path.resize(length);
    return path;
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

    bool Terminate(const ProcessEntry &entry) override {
        const HANDLE process = ::OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
                                             FALSE, entry.ProcessId);
        if (process == nullptr)
            return false;
        // The open handle keeps the process id from being reused, so the name read on it is the
        // name of the process that would be ended: the snapshot's process may have ended since
        // and its id gone to another.
        const bool same = ExeNameMatches(ImagePath(process), entry.ExeFile);
        const bool ended = same && ::TerminateProcess(process, 0) != FALSE;
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
