// Internet state on POSIX: connected when a default route exists; forced connections are TCP
// connections to the address's host and port.
#include "../abandonable_call.h"
#include "../internet_seam.h"
#include "../url_parts.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

namespace platform {

namespace {

/// How long one forced connection may take in all, name look-up excluded.
constexpr std::chrono::milliseconds kConnectTimeout{4000};

bool HasIpv4DefaultRoute() {
    std::ifstream routes("/proc/net/route");
    std::string line;
    std::getline(routes, line); // header
    while (std::getline(routes, line)) {
        std::istringstream fields(line);
        std::string iface, destination, gateway, flags, refcnt, use, metric, mask;
        if (!(fields >> iface >> destination >> gateway >> flags >> refcnt >> use >> metric >>
              mask))
            continue;
        const unsigned long routeFlags = std::stoul(flags, nullptr, 16);
        constexpr unsigned long kRouteUp = 0x1;
        if (destination == "00000000" && mask == "00000000" && (routeFlags & kRouteUp))
            return true;
    }
    return false;
}

bool HasIpv6DefaultRoute() {
    std::ifstream routes("/proc/net/ipv6_route");
    std::string line;
    while (std::getline(routes, line)) {
        std::istringstream fields(line);
        std::string destination, prefix, source, sourcePrefix, nextHop, metric, refcnt, use, flags,
            iface;
        if (!(fields >> destination >> prefix >> source >> sourcePrefix >> nextHop >> metric >>
              refcnt >> use >> flags >> iface))
            continue;
        const unsigned long routeFlags = std::stoul(flags, nullptr, 16);
        constexpr unsigned long kRouteUp = 0x1;
        constexpr unsigned long kRouteReject = 0x200;
        if (destination == std::string(32, '0') && prefix == "00" && iface != "lo" &&
            (routeFlags & kRouteUp) && !(routeFlags & kRouteReject))
            return true;
    }
    return false;
}

bool HasDefaultRoute() {
    try {
        return HasIpv4DefaultRoute() || HasIpv6DefaultRoute();
    } catch (...) {
        return false;
    }
}

/// One non-blocking connect with what is left of the deadline.
bool ConnectWithin(const addrinfo &address, std::chrono::steady_clock::time_point deadline) {
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            address.ai_protocol);
    if (fd < 0)
        return false;
    bool connected = false;
    if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) {
        connected = true;
    } else if (errno == EINPROGRESS) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd waiting{fd, POLLOUT, 0};
        if (left.count() > 0 && ::poll(&waiting, 1, int(left.count())) == 1) {
            int error = 0;
            socklen_t length = sizeof error;
            connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
        }
    }
    ::close(fd);
    return connected;
}

/// Resolves the address's host and tries its addresses within one deadline.
bool ConnectTo(const UrlParts &parts) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    const std::string port = std::to_string(parts.Port);
    if (::getaddrinfo(parts.Host.c_str(), port.c_str(), &hints, &found) != 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + kConnectTimeout;
    bool connected = false;
    for (addrinfo *a = found; a != nullptr && !connected; a = a->ai_next)
        connected = ConnectWithin(*a, deadline);
    ::freeaddrinfo(found);
    return connected;
}

class PosixInternet final : public InternetSeam {
public:
    bool GetConnectedState(std::uint32_t &flags) override {
        // There is no offline mode on POSIX: the flag stays clear.
        flags = 0;
        return HasDefaultRoute();
    }

    bool QueryConnectedState(std::uint32_t &state) override {
        state = HasDefaultRoute() ? kConnectedStateConnected : 0;
        return true;
    }

    bool CheckConnection(const std::u16string &url, std::stop_token stop) override {
        const auto parts = ParseUrl(url);
        if (!parts)
            return false;
        // The name look-up and the connection block; a stop leaves them behind.
        return CallAbandonably([parts = *parts] { return ConnectTo(parts); }, stop).value_or(false);
    }
};

} // namespace

InternetSeam &SystemInternet() {
    static PosixInternet internet;
    return internet;
}

} // namespace platform
