// The shell on POSIX: a web address goes to xdg-open; anything else is taken for a program, made
// executable and started directly. Either way the started process is detached (it is re-parented
// to init, so no zombie is left behind) and the call does not wait for it.
#include "../shell_seam.h"
#include "../text_encoding.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace platform {

namespace {

bool IsWebAddress(const std::string &target) {
    return target.starts_with("http://") || target.starts_with("https://");
}

/// Starts argv[0] with the given arguments as a grandchild. True when exec succeeded: the
/// grandchild reports a failed exec through a close-on-exec pipe.
bool SpawnDetached(const std::string &program, const std::string &argument) {
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            const int devnull = ::open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                // The browser launcher's complaints (no browser, no desktop) are not the
                // player's business: its error output goes where its output goes.
                ::dup2(devnull, STDIN_FILENO);
                ::dup2(devnull, STDOUT_FILENO);
                ::dup2(devnull, STDERR_FILENO);
            }
            if (argument.empty())
                ::execlp(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
            else
                ::execlp(program.c_str(), program.c_str(), argument.c_str(),
                         static_cast<char *>(nullptr));
            const int error = errno;
            [[maybe_unused]] auto written = ::write(report[1], &error, sizeof error);
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int execError = 0;
    ssize_t got;
    do {
        got = ::read(report[0], &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

class PosixShell final : public ShellSeam {
public:
    bool Open(const std::u16string &target, std::uintptr_t /*owner*/) override {
        const std::string path = Utf16ToUtf8(target);
        if (path.empty())
            return false;
        if (IsWebAddress(path))
            return SpawnDetached("xdg-open", path);

        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return false;
        // A downloaded client arrives without execute permission.
        ::chmod(path.c_str(), info.st_mode | S_IXUSR | S_IXGRP | S_IXOTH);
        // execlp searches PATH for a bare name: a relative path must name its folder.
        const std::string program = path.find('/') == std::string::npos ? "./" + path : path;
        return SpawnDetached(program, {});
    }
};

} // namespace

ShellSeam &SystemShell() {
    static PosixShell shell;
    return shell;
}

} // namespace platform
