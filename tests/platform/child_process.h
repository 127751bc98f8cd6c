#pragma once

// A real child process for tests that end processes by name.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>

namespace testsupport {

/// A child process sleeping under a chosen executable path and argv[0]; killed on destruction if
/// still running.
class Child {
public:
    Child(const std::string &executable, const std::string &argv0) {
        int ready[2];
        if (::pipe2(ready, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl(executable.c_str(), argv0.c_str(), "30", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(ready[1]);
        char byte;
        // The pipe closes when exec succeeds, so the child is visible under its new names.
        while (::read(ready[0], &byte, 1) < 0 && errno == EINTR) {
        }
        ::close(ready[0]);
    }
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;
    ~Child() {
        if (!reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    std::uint32_t Id() const { return std::uint32_t(pid_); }
    /// True when the child ended by SIGKILL within two seconds.
    bool WasKilled() {
        for (auto waited = std::chrono::milliseconds(0); waited < std::chrono::seconds(2);
             waited += std::chrono::milliseconds(10)) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    bool IsRunning() {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            reaped_ = true;
            return false;
        }
        return true;
    }

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
};

} // namespace testsupport
