#include "tinyproxy_server.h"

#include "loopback_port.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace testsupport {

namespace {

/// The host name tinyproxy answers itself, with its readiness page.
const std::string kReadyHost = "zorvane-proxy-ready.test";

} // namespace

TinyProxyServer::TinyProxyServer(const std::string &credentials) {
    port_ = FreeLoopbackPort();
    const std::filesystem::path config = folder_.Path() / "tinyproxy.conf";
    std::ofstream(config) << "Port " << port_ << "\n"
                          << "Listen 127.0.0.1\n"
                          << "Timeout 30\n"
                          << "LogFile \"" << (folder_.Path() / "tinyproxy.log").string() << "\"\n"
                          << "LogLevel Connect\n"
                          << "PidFile \"" << (folder_.Path() / "tinyproxy.pid").string() << "\"\n"
                          << "MaxClients 16\n"
                          << "Allow 127.0.0.1\n"
                          << "StatHost \"" << kReadyHost << "\"\n"
                          << "StatFile \"" << (folder_.Path() / "ready").string() << "\"\n"
                          << (credentials.empty() ? "" : "BasicAuth " + credentials + "\n");
    // The page it shows for its own host: a token no other proxy knows.
    const std::string token = RandomToken();
    std::ofstream(folder_.Path() / "ready") << token;
    const pid_t child = ::fork();
    if (child == 0) {
        // -d: stay in the foreground, so the test owns the process it ends.
        ::execlp("tinyproxy", "tinyproxy", "-d", "-c", config.c_str(),
                 static_cast<char *>(nullptr));
        ::execl("/usr/bin/tinyproxy", "tinyproxy", "-d", "-c", config.c_str(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    if (child < 0) {
        error_ = "fork failed";
        return;
    }
    std::string userColonPassword = credentials;
    std::replace(userColonPassword.begin(), userColonPassword.end(), ' ', ':');
    switch (WaitForKnownReply(
        child, {"http://" + kReadyHost + "/", token, Url(), userColonPassword, {}})) {
    case StartOutcome::Answering:
        pid_ = child;
        return;
    case StartOutcome::Exited:
        error_ = "tinyproxy exited at once (is it installed?)";
        return;
    case StartOutcome::Silent:
        error_ = "tinyproxy did not give its known reply";
        return;
    }
}

TinyProxyServer::~TinyProxyServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::string TinyProxyServer::Url() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> TinyProxyServer::Requests() const {
    std::ifstream log(folder_.Path() / "tinyproxy.log");
    std::vector<std::string> requests;
    const std::string marker = "]: Request (file descriptor ";
    for (std::string line; std::getline(log, line);) {
        const auto at = line.find(marker);
        if (at == std::string::npos || line.find(kReadyHost) != std::string::npos)
            continue;
        const auto colon = line.find("): ", at);
        if (colon != std::string::npos)
            requests.push_back(line.substr(colon + 3));
    }
    return requests;
}

} // namespace testsupport
