#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include <sys/types.h>

namespace testsupport {

/// An unused loopback port, as the kernel hands out for port 0.
std::uint16_t FreeLoopbackPort();

/// A random token of hex digits: what no server but the one a test configured with it answers.
std::string RandomToken();

/// A reply that only the server a test started gives: a GET of `url` whose body is `body`
/// (through `proxy` with `proxyCredentials` "user:password", trusting the authority in `caFile`,
/// each when set). Something else that accepts on the port does not count as that server.
struct KnownReply {
    std::string url;
    std::string body;
    std::string proxy;
    std::string proxyCredentials;
    std::filesystem::path caFile;
};

enum class StartOutcome { Answering, Exited, Silent };

/// Waits until the server `child` gives `reply` (`Answering`), exits (`Exited`, reaped) or has
/// not answered so within `limit` (`Silent`: it is then killed and reaped).
StartOutcome WaitForKnownReply(pid_t child, const KnownReply &reply,
                               std::chrono::milliseconds limit = std::chrono::seconds(10));

} // namespace testsupport
