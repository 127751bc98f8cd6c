#pragma once

#include "scratch_folder.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace testsupport {

/// A real HTTP proxy (tinyproxy) on a free loopback port, with a configuration of its own in a
/// temporary folder and a log of every request it relays. Stopped and removed on destruction.
class TinyProxyServer {
public:
    /// `credentials` ("user password") makes the proxy ask for them (407) before relaying.
    explicit TinyProxyServer(const std::string &credentials = "");
    ~TinyProxyServer();
    TinyProxyServer(const TinyProxyServer &) = delete;
    TinyProxyServer &operator=(const TinyProxyServer &) = delete;

    bool Running() const { return pid_ > 0; }
    const std::string &Error() const { return error_; }
    /// "http://127.0.0.1:PORT".
    std::string Url() const;
    /// The request lines the proxy relayed so far ("GET http://host/path HTTP/1.1"), without
    /// the ones of the readiness check.
    std::vector<std::string> Requests() const;

private:
    harness::ScratchFolder folder_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
    std::string error_;
};

} // namespace testsupport
