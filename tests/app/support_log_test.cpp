// The support log of a failed press: what the player sends the publisher when an update fails.
#include "proxy_seam.h"
#include "server_window_fixture.h"
#include "window_texts.h"

#include <gtest/gtest.h>

namespace {

/// A system whose proxy needs the player's name and password.
class ProxyWithCredentials final : public platform::ProxySeam {
public:
    explicit ProxyWithCredentials(std::string address) : address_(std::move(address)) {}
    std::optional<std::string> ProxyFor(const std::string &) override { return address_; }

private:
    std::string address_;
};

class SupportLogOfAPress : public harness::ServerWindowTest {};

TEST_F(SupportLogOfAPress, HoldsItsStepsTheRefusedAddressAndTheWarningButNoCredentials) {
    // The test server stands in for the proxy too: it answers the request it relays with 503.
    const std::string proxyHost = "127.0.0.1:" + std::to_string(server.Port());
    ProxyWithCredentials proxy("http://player:secret@" + proxyHost);
    UpdaterServices services = Services();
    services.Proxy = &proxy;
    form = std::make_unique<TForm1>(std::move(services));
    server.Enqueue(testsupport::ScriptedReply::Status(503, "Service Unavailable"));
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    harness::ExpectFailedRun(*form, world, folder, kOldClient, WindowText::ServerRejected());

    const std::string log = harness::ReadFile(world.LogFile());
    const std::string client = server.Url("/program_download/") + harness::kClientName;
    std::size_t at = 0;
    for (const std::string &step : std::initializer_list<std::string>{
             "press: Zorvane updater ", " client folder " + folder.Path().string() + "\n",
             "connection check: connected\n",
             "GET " + client + " (publisher, through proxy http://" + proxyHost + "): 503, ",
             "failed: HTTP 503 Service Unavailable\n", "update failed: the server refused",
             "Warning box: " + WindowText::ServerRejected().toStdString() + "\n"}) {
        at = log.find(step, at);
        ASSERT_NE(at, std::string::npos) << "no \"" << step << "\" in order in:\n" << log;
    }
    EXPECT_EQ(log.find("secret"), std::string::npos) << log;
    EXPECT_EQ(log.find("player"), std::string::npos) << log;
}

} // namespace
