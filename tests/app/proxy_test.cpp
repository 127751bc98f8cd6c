// The system proxy for every request: a real tinyproxy on loopback, named the way a POSIX
// desktop names it (the proxy variables), in front of a real nginx.
#include "loopback_port.h"
#include "nginx_server.h"
#include "proxy_seam.h"
#include "server_window_fixture.h"
#include "test_http_server.h"
#include "tinyproxy_server.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>

using harness::kClientName;
using harness::ProcessEventsUntil;

namespace {

class SystemProxy : public ::testing::Test {
protected:
    void SetUp() override {
        harness::EnsureApplication();
        // Only what a test sets counts, whatever the machine's own environment says.
        for (const char *name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy",
                                 "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
            if (const char *value = std::getenv(name))
                saved_[name] = value;
            ::unsetenv(name);
        }
        ASSERT_TRUE(nginx.Running()) << nginx.Error();
        nginx.Serve("program_download/" + kClientName, client);
        nginx.Serve("ver.php", "1.0.2");
    }
    void TearDown() override {
        form.reset();
        for (const char *name : {"http_proxy", "no_proxy"})
            ::unsetenv(name);
        for (const auto &[name, value] : saved_)
            ::setenv(name.c_str(), value.c_str(), 1);
    }

    /// Sets the proxy variable `name` to `value` once the last window is gone (its threads read
    /// the environment, and none may run while it changes), then presses on a fresh window with
    /// the old client and the system's proxy settings, run to its end.
    void PressOnAFreshWindowWith(const char *name, const std::string &value) {
        form.reset(); // joins every thread of the window
        ::setenv(name, value.c_str(), 1);
        harness::WriteFile(folder.Path() / kClientName, "old client\n");
        world.messages.shown.clear();
        UpdaterServices services =
            world.Services(QString::fromStdString(nginx.BaseUrl()), folder.Path());
        services.Proxy = &platform::SystemProxy();
        form = std::make_unique<TForm1>(std::move(services));
        ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    }

    /// The run failed with one warning `text`, and the old client is as it was.
    void ExpectWarningAndTheOldClient(const QString &text) {
        harness::ExpectFailedRun(*form, world, folder, "old client\n", text);
    }

    std::map<std::string, std::string> saved_;
    const std::string client = testsupport::PatternBytes(300'000);
    testsupport::NginxServer nginx;
    harness::FakeWorld world;
    harness::ScratchFolder folder;
    std::unique_ptr<TForm1> form;
};

TEST_F(SystemProxy, TheDownloadAndTheVersionQueryGoThroughItUnlessNoProxyNamesTheServer) {
    testsupport::TinyProxyServer proxy;
    ASSERT_TRUE(proxy.Running()) << proxy.Error();
    PressOnAFreshWindowWith("http_proxy", proxy.Url());
    ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_EQ(harness::ReadFile(folder.Path() / kClientName), client);
    form->Button1Click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return form->Memo1->blockCount() == 2; }));
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("Memo1\n1.0.2"));
    // The patch for the old client (there is none), the client, the version query.
    const std::string get = "GET " + nginx.BaseUrl();
    const auto relayed = proxy.Requests();
    ASSERT_EQ(relayed.size(), 3u);
    EXPECT_TRUE(relayed[0].starts_with(get + "/program_download/" + kClientName + ".from-"))
        << relayed[0];
    EXPECT_EQ(relayed[1], get + "/program_download/" + kClientName + " HTTP/1.1");
    EXPECT_EQ(relayed[2], get + "/ver.php?appname=iso&ver=10 HTTP/1.1");

    PressOnAFreshWindowWith("no_proxy", "127.0.0.1");
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_EQ(harness::ReadFile(folder.Path() / kClientName), client);
    EXPECT_EQ(proxy.Requests().size(), 3u) << "the bypassed server was asked directly";
}

TEST_F(SystemProxy, ADeadProxyIsALostConnectionAndOneAskingForCredentialsAServerRefusal) {
    PressOnAFreshWindowWith("http_proxy",
                            "http://127.0.0.1:" + std::to_string(testsupport::FreeLoopbackPort()));
    ExpectWarningAndTheOldClient(WindowText::ConnectionLost());

    testsupport::TinyProxyServer guarded("player secret");
    ASSERT_TRUE(guarded.Running()) << guarded.Error();
    PressOnAFreshWindowWith("http_proxy", guarded.Url());
    ExpectWarningAndTheOldClient(WindowText::ServerRejected());
}

} // namespace
