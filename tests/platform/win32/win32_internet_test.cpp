// WinInet with the arguments the connectivity probe passes, against listeners on loopback.
#include "internet_seam.h"

#include <windows.h>

#include <winsock2.h>

#include <gtest/gtest.h>

#include <string>

namespace {

/// A TCP socket on 127.0.0.1 with a port of the system's choice; listening when asked to.
class LoopbackSocket {
public:
    explicit LoopbackSocket(bool listening) {
        WSADATA data;
        started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (::bind(socket_, reinterpret_cast<sockaddr *>(&address), length) == 0 &&
            ::getsockname(socket_, reinterpret_cast<sockaddr *>(&address), &length) == 0 &&
            (!listening || ::listen(socket_, 4) == 0))
            port_ = ntohs(address.sin_port);
    }
    LoopbackSocket(const LoopbackSocket &) = delete;
    LoopbackSocket &operator=(const LoopbackSocket &) = delete;
    ~LoopbackSocket() {
        Close();
        if (started_)
            ::WSACleanup();
    }

    void Close() {
        if (socket_ != INVALID_SOCKET)
            ::closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
    /// "http://127.0.0.1:PORT"; 0 as the port when the socket could not be set up.
    std::u16string Url() const {
        const std::string text = "http://127.0.0.1:" + std::to_string(port_);
        return std::u16string(text.begin(), text.end());
    }
    bool Ready() const { return port_ != 0; }

private:
    bool started_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    unsigned short port_ = 0;
};

TEST(Win32Internet, ConnectedStateOptionIsReadIntoAFourByteWord) {
    std::uint32_t state = 0xFFFFFFFFu;
    EXPECT_TRUE(platform::SystemInternet().QueryConnectedState(state));
    EXPECT_NE(state, 0xFFFFFFFFu);

    std::uint32_t flags = 0;
    if (platform::SystemInternet().GetConnectedState(flags)) {
        EXPECT_NE(flags, 0u) << "a reported connection names its kind";
    }
}

TEST(Win32Internet, ForcedConnectionSucceedsOnlyWhereSomethingListens) {
    LoopbackSocket listener(true);
    LoopbackSocket closed(false);
    ASSERT_TRUE(listener.Ready() && closed.Ready());
    const std::u16string closedUrl = closed.Url();
    closed.Close();

    EXPECT_TRUE(platform::SystemInternet().CheckConnection(listener.Url(), {}));
    // A stoppable call runs on a thread of its own and gives the same answer.
    std::stop_source stoppable;
    EXPECT_TRUE(platform::SystemInternet().CheckConnection(listener.Url(), stoppable.get_token()));
    stoppable.request_stop();
    EXPECT_FALSE(platform::SystemInternet().CheckConnection(listener.Url(), stoppable.get_token()));
    EXPECT_FALSE(platform::SystemInternet().CheckConnection(closedUrl, {}));
    EXPECT_FALSE(platform::SystemInternet().CheckConnection(u"no address at all", {}));
}

} // namespace
