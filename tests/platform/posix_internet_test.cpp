#include "internet_seam.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace {

/// A TCP listener on an ephemeral loopback port.
class LoopbackListener {
public:
    LoopbackListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address);
        ::listen(fd_, 4);
        socklen_t length = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackListener() { Close(); }
    void Close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

std::u16string LoopbackUrl(int port) {
    const std::string text = "http://127.0.0.1:" + std::to_string(port);
    return std::u16string(text.begin(), text.end());
}

TEST(PosixCheckConnection, ListenerAcceptsAndClosedPortRefusesPromptly) {
    auto &internet = platform::SystemInternet();
    LoopbackListener listener;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(internet.CheckConnection(LoopbackUrl(listener.Port()), {}));
    // A stoppable call runs on a thread of its own and gives the same answer.
    std::stop_source stoppable;
    EXPECT_TRUE(internet.CheckConnection(LoopbackUrl(listener.Port()), stoppable.get_token()));
    stoppable.request_stop();
    EXPECT_FALSE(internet.CheckConnection(LoopbackUrl(listener.Port()), stoppable.get_token()));

    const int port = listener.Port();
    listener.Close();
    EXPECT_FALSE(internet.CheckConnection(LoopbackUrl(port), {}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(PosixCheckConnection, AddressWithoutHostFailsWithoutTrying) {
    auto &internet = platform::SystemInternet();
    EXPECT_FALSE(internet.CheckConnection(u"", {}));
    EXPECT_FALSE(internet.CheckConnection(u"http://", {}));
    EXPECT_FALSE(internet.CheckConnection(u"http://:80/path", {}));
}

TEST(PosixConnectedState, NeverReportsOfflineAndAgreesWithTheOption) {
    auto &internet = platform::SystemInternet();
    std::uint32_t flags = 0xFFFF;
    const bool connected = internet.GetConnectedState(flags);
    EXPECT_EQ(flags & platform::kConnectionOffline, 0u);
    std::uint32_t state = 0xFFFF;
    ASSERT_TRUE(internet.QueryConnectedState(state));
    EXPECT_EQ((state & platform::kConnectedStateConnected) != 0, connected);
}

} // namespace
