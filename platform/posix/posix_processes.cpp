// Processes on POSIX: the /proc file system. Each process is listed under the base name of its
// executable and, for a Wine program, also under that of its argv[0] (the Windows program Wine
// runs); never under `comm`, which the kernel cuts to 15 characters. A process is ended through a
// pid file descriptor, after its names are read again on it.
#include "../process_seam.h"
#include "../text_encoding.h"

#include <dirent.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace {

std::string BaseName(const std::string &path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExecutableName(const std::string &procDir) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink((procDir + "/exe").c_str(), target, sizeof target - 1);
    if (length <= 0)
        return {};
    std::string path(target, std::size_t(length));
    // A replaced or removed executable reads as "/path/name (deleted)".
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() && path.ends_with(kDeleted))
        path.resize(path.size() - kDeleted.size());
    return BaseName(path);
}

std::string FirstArgumentName(const std::string &procDir) {
    std::ifstream cmdline(procDir + "/cmdline", std::ios::binary);
    std::string argv0;
    std::getline(cmdline, argv0, '\0');
    return BaseName(argv0);
}

/// Wine's loaders: "wine", "wine64", "wine-preloader", "wine64-preloader", "wineloader",
/// "wineloader64". Only for these does argv[0] name the program; any other process can set its
/// argv[0] to whatever it likes.
bool IsWineLoader(std::string_view name) {
    if (!name.starts_with("wine"))
        return false;
    name.remove_prefix(4);
    for (const std::string_view part : {"loader", "64", "-preloader"}) {
        if (name.starts_with(part))
            name.remove_prefix(part.size());
    }
    return name.empty();
}

/// The names the process is listed under; none when it is gone or cannot be read.
std::vector<std::string> ProcessNames(const std::string &procDir) {
    std::vector<std::string> names;
    const std::string exe = ExecutableName(procDir);
    if (exe.empty())
        return names;
    names.push_back(exe);
    if (IsWineLoader(exe)) {
        const std::string argv0 = FirstArgumentName(procDir);
        if (!argv0.empty() && argv0 != exe)
            names.push_back(argv0);
    }
    return names;
}

bool IsProcessDirectory(const char *name) {
    if (*name == '\0')
        return false;
    for (const char *c = name; *c; ++c) {
        if (!std::isdigit(static_cast<unsigned char>(*c)))
            return false;
    }
    return true;
}

/// A pid file descriptor for the process: it stays bound to that process even when the process
/// ends and its id is given to another; -1 when the process is gone or the kernel has none
/// (before Linux 5.3).
int OpenPidDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    return int(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

bool KillThroughDescriptor(int pidfd) {
#ifdef SYS_pidfd_send_signal
    return ::syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0) == 0;
#else
    (void)pidfd;
    return false;
#endif
}

class PosixProcesses final : public ProcessSeam {
public:
    std::optional<std::vector<ProcessEntry>> Snapshot() override {
        DIR *proc = ::opendir("/proc");
        if (proc == nullptr)
            return std::nullopt;
        std::vector<ProcessEntry> entries;
        while (const dirent *item = ::readdir(proc)) {
            if (!IsProcessDirectory(item->d_name))
                continue;
            const auto pid = std::uint32_t(std::stoul(item->d_name));
            for (const std::string &name : ProcessNames(std::string("/proc/") + item->d_name))
                entries.push_back({pid, Utf8ToUtf16(name)});
        }
        ::closedir(proc);
        return entries;
    }

    /// Without pid file descriptors nothing is ended: a signal sent by process id after the
    /// check could reach another process that was given the id in between.
    bool Terminate(const ProcessEntry &process) override {
        if (process.ProcessId == 0 || process.ProcessId > std::uint32_t(INT_MAX))
            return false;
        const int pidfd = OpenPidDescriptor(pid_t(process.ProcessId));
        if (pidfd < 0)
            return false;
        // The descriptor holds one process. While it lives, /proc/<id> is that process; once it
        // has ended, the names read may be another's, but the signal below then fails.
        const auto names = ProcessNames("/proc/" + std::to_string(process.ProcessId));
        const bool same = std::any_of(names.begin(), names.end(), [&](const std::string &name) {
            return Utf8ToUtf16(name) == process.ExeFile;
        });
        const bool ended = same && KillThroughDescriptor(pidfd);
        ::close(pidfd);
        return ended;
    }
};

} // namespace

ProcessSeam &SystemProcesses() {
    static PosixProcesses processes;
    return processes;
}

} // namespace platform
