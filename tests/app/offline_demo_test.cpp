// The updater pointed at a server of its own on a machine with no network: the test runs in a
// private network namespace that has only loopback (no default route), with the real
// connectivity seam. The server is enough; a closed server gives the "no internet" box.
#include "form_harness.h"
#include "internet_seam.h"
#include "test_http_server.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <memory>

using testsupport::ScriptedReply;
using testsupport::TestHttpServer;

namespace {

/// Brings the loopback interface up (a new network namespace starts with it down).
bool LoopbackUp() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    if (up && (request.ifr_flags & IFF_UP) == 0) {
        request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
        up = ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    }
    ::close(fd);
    return up;
}

class OfflineDemo : public ::testing::Test {
protected:
    void SetUp() override {
        std::uint32_t flags = 0;
        if (platform::SystemInternet().GetConnectedState(flags))
            GTEST_SKIP() << "this machine has a default route; the test runs without a network";
        ASSERT_TRUE(LoopbackUp());
        harness::EnsureApplication();
        harness::WriteFile(folder.Path() / harness::kClientName, "old client\n");
        server = std::make_unique<TestHttpServer>();
        testsupport::OfferNoPatches(*server);
    }

    std::unique_ptr<TForm1> FormPointedAt(const QString &override) {
        UpdaterServices services = world.Services(override, folder.Path());
        services.Internet = &platform::SystemInternet();
        services.Endpoints =
            UpdaterEndpoints::From(QStringLiteral("http://zorvane.example"),
                                   QStringLiteral("http://version.example"), override);
        return std::make_unique<TForm1>(std::move(services));
    }

    harness::FakeWorld world;
    harness::ScratchFolder folder;
    std::unique_ptr<TestHttpServer> server;
};

TEST_F(OfflineDemo, AReachableServerIsEnoughAndAClosedOneGivesTheNoInternetBox) {
    const std::string body = testsupport::PatternBytes(20000);
    server->Enqueue(ScriptedReply::Ok(body));
    auto form = FormPointedAt(QString::fromStdString(server->Url("")));
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_EQ(harness::ReadFile(folder.Path() / harness::kClientName), body);

    const std::string closed = server->Url("");
    server.reset();
    world.messages.shown.clear();
    form = FormPointedAt(QString::fromStdString(closed));
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Idle);
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].Text, WindowText::NoInternet());
}

} // namespace
