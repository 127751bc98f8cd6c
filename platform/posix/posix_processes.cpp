// Processes on POSIX: the /proc file system. Each process is listed under the base name of its
// executable and, when different, under that of its argv[0] (never `comm`, which the kernel cuts
// to 15 characters).
#include "../process_seam.h"
#include "../text_encoding.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <fstream>
#include <iterator>
#include <string>

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

bool IsProcessDirectory(const char *name) {
    if (*name == '\0')
        return false;
    for (const char *c = name; *c; ++c) {
        if (!std::isdigit(static_cast<unsigned char>(*c)))
            return false;
    }
    return true;
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
            const std::string dir = std::string("/proc/") + item->d_name;
            const std::string exe = ExecutableName(dir);
            const std::string argv0 = FirstArgumentName(dir);
            if (!exe.empty())
                entries.push_back({pid, Utf8ToUtf16(exe)});
            if (!argv0.empty() && argv0 != exe)
                entries.push_back({pid, Utf8ToUtf16(argv0)});
        }
        ::closedir(proc);
        return entries;
    }

    bool Terminate(std::uint32_t processId) override {
        if (processId == 0 || processId > std::uint32_t(INT_MAX))
            return false;
        return ::kill(pid_t(processId), SIGKILL) == 0;
    }
};

} // namespace

ProcessSeam &SystemProcesses() {
    static PosixProcesses processes;
    return processes;
}

} // namespace platform
