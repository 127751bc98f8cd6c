#pragma once

// A window against the loopback test server, for the update flow's tests.
#include "form_harness.h"
#include "test_http_server.h"

#include <gtest/gtest.h>

#include <memory>

namespace harness {

/// The run failed with one warning box saying `text`: the window is idle again, the old client
/// `oldClient` is as it was and alone in `folder`, and no client was ended.
inline void ExpectFailedRun(const TForm1 &form, const FakeWorld &world, const ScratchFolder &folder,
                            const std::string &oldClient, const QString &text) {
    EXPECT_EQ(form.FlowState(), TForm1::TFlowState::Idle);
    EXPECT_EQ(ReadFile(folder.Path() / kClientName), oldClient);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{kClientName}) << "no file left behind";
    EXPECT_TRUE(world.processes.Terminated().empty());
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].Kind, TMessageKind::Warning);
    EXPECT_EQ(world.messages.shown[0].Caption, QStringLiteral("Warning"));
    EXPECT_EQ(world.messages.shown[0].Text, text);
}

/// The old client in a scratch folder, fake seams, and a test server that offers no patch (so a
/// run downloads the whole file); a test makes the window with `Services()`.
class ServerWindowTest : public ::testing::Test {
protected:
    static constexpr char kOldClient[] = "old client, byte for byte\n";

    void SetUp() override {
        EnsureApplication();
        WriteFile(ClientFile(), kOldClient);
        testsupport::OfferNoPatches(server);
    }
    void TearDown() override { form.reset(); }

    UpdaterServices Services() {
        return world.Services(QString::fromStdString(server.Url("")), folder.Path());
    }
    std::filesystem::path ClientFile() const { return folder.Path() / kClientName; }

    FakeWorld world;
    ScratchFolder folder;
    testsupport::TestHttpServer server;
    std::unique_ptr<TForm1> form;
};

} // namespace harness
