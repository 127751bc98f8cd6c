// The update flow against the loopback test server: success, every kind of failure, presses at
// awkward moments and closing the window mid-way.
#include "server_window_fixture.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <memory>

using harness::ProcessEventsUntil;
using testsupport::ScriptedReply;

namespace {

class UpdateFlow : public harness::ServerWindowTest {
protected:
    void SetUp() override {
        ServerWindowTest::SetUp();
        UpdaterServices services = Services();
        services.StallTimeout = std::chrono::milliseconds(400);
        form = std::make_unique<TForm1>(std::move(services));
    }

    /// The byte count the window shows once a download is under way (0 before).
    long long BytesShown() const {
        return form->FlowState() == TForm1::TFlowState::Downloading
                   ? form->Label2->text().toLongLong()
                   : 0;
    }

    /// The old client is intact, nothing else is in the folder, no client was ended or started,
    /// and the one box is a warning with `text`.
    void ExpectFailedRunWithWarning(const QString &text) {
        harness::ExpectFailedRun(*form, world, folder, kOldClient, text);
        EXPECT_EQ(world.shell.Opened().size(), 1) << "only the site was opened";
    }

    /// After a failure the button runs a complete update.
    void ExpectTheButtonWorksAgain() {
        const std::string body = testsupport::PatternBytes(5000);
        server.Enqueue(ScriptedReply::Ok(body));
        world.messages.shown.clear();
        ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
        EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
        EXPECT_EQ(harness::ReadFile(ClientFile()), body);
    }
};

TEST_F(UpdateFlow, ADownloadReplacesTheClientSaysSoStartsItAndEndsTheProgram) {
    const std::string body = testsupport::PatternBytes(3'000'000);
    server.Enqueue(ScriptedReply::Ok(body));
    world.tick.now = 0xFFFFFFF0u;
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));

    ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_EQ(harness::ReadFile(ClientFile()), body);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{harness::kClientName});
    EXPECT_EQ(world.processes.Terminated(), std::vector<std::uint32_t>{4242});
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].Kind, TMessageKind::Information);
    EXPECT_EQ(world.messages.shown[0].Caption, QStringLiteral("Information"));
    EXPECT_EQ(world.messages.shown[0].Text, WindowText::UpdateSucceeded());
    // The site first, then the new client, by its full path.
    ASSERT_TRUE(ProcessEventsUntil([&] { return world.shell.Opened().size() == 2; }));
    EXPECT_EQ(world.shell.Opened()[0], QString::fromStdString(server.Url("")));
    EXPECT_EQ(world.shell.Opened()[1], QString::fromStdU16String(ClientFile().u16string()));
    ASSERT_TRUE(ProcessEventsUntil([&] { return world.quits == 1; }));

    // The final values of the transfer are shown: the whole count, 100 %, and with the clock
    // standing still one millisecond at the whole size per millisecond.
    EXPECT_EQ(form->Label2->text(), QStringLiteral("3000000"));
    EXPECT_EQ(form->ProgressBar1->Text(), QStringLiteral("100%"));
    EXPECT_EQ(form->ProgressBar1->Position(), form->ProgressBar1->Max());
    EXPECT_EQ(form->status->text(), QStringLiteral("0.00 s|3000000.00 KB/s"));
    EXPECT_FALSE(form->status->isHidden());
    EXPECT_LE(form->ProgressRepaints(), 100);
}

TEST_F(UpdateFlow, AChunkedReplyIsOneTransferOfUnknownLengthAndSucceeds) {
    ScriptedReply reply = ScriptedReply::Ok(testsupport::PatternBytes(200'000));
    reply.chunked = true;
    reply.chunkSizes = {1000, 30'000, 7};
    server.Enqueue(reply);
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_EQ(harness::ReadFile(ClientFile()), reply.body);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("200000"));
    EXPECT_EQ(form->ProgressBar1->Text(), QStringLiteral("0%"));
}

struct FailingReply {
    const char *name;
    ScriptedReply reply;
    QString (*warning)();
};

void PrintTo(const FailingReply &reply, std::ostream *out) {
    *out << reply.name;
}

std::vector<FailingReply> FailingReplies() {
    ScriptedReply truncated = ScriptedReply::Ok(testsupport::PatternBytes(100'000));
    truncated.closeAfterBodyBytes = 60'000;
    ScriptedReply stalled = ScriptedReply::Ok(testsupport::PatternBytes(100'000));
    stalled.stallAfterBodyBytes = 10'000;
    ScriptedReply html =
        ScriptedReply::Ok("<html><body>Please log in</body></html>", "text/html; charset=UTF-8");
    // Neither a length nor chunks: a close at 30 % would look like the end of the file.
    ScriptedReply unframed = ScriptedReply::Ok(testsupport::PatternBytes(100'000));
    unframed.autoContentLength = false;
    unframed.closeAfterBodyBytes = 30'000;
    return {
        {"NotFound", ScriptedReply::Status(404, "Not Found", "no such file"),
         &WindowText::ServerRejected},
        {"Redirect", ScriptedReply::Redirect(302, "/elsewhere"), &WindowText::ServerRejected},
        {"ServerError", ScriptedReply::Status(500, "Internal Server Error", "oops"),
         &WindowText::ServerRejected},
        {"EmptyBody", ScriptedReply::Ok(""), &WindowText::ServerRejected},
        {"HtmlPage", html, &WindowText::ServerRejected},
        {"TruncatedBody", truncated, &WindowText::ConnectionLost},
        {"Stalled", stalled, &WindowText::ConnectionLost},
        {"CutWithoutLengthOrChunks", unframed, &WindowText::ServerRejected},
    };
}

class FailedDownload : public UpdateFlow, public ::testing::WithParamInterface<FailingReply> {};

TEST_P(FailedDownload, KeepsTheOldClientRemovesTheTemporaryFileWarnsAndAllowsAnotherPress) {
    server.Enqueue(GetParam().reply);
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    ExpectFailedRunWithWarning(GetParam().warning());
    ExpectTheButtonWorksAgain();
}

INSTANTIATE_TEST_SUITE_P(Replies, FailedDownload, ::testing::ValuesIn(FailingReplies()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(UpdateFlow, NoServerListeningIsAConnectionFailure) {
    server.Stop();
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    ExpectFailedRunWithWarning(WindowText::ConnectionLost());
}

TEST_F(UpdateFlow, AClientFileThatCannotBeReplacedStaysAndTheUserIsTold) {
    // A folder in the client's place cannot be replaced by a file, even by root.
    std::filesystem::remove(ClientFile());
    std::filesystem::create_directory(ClientFile());
    harness::WriteFile(ClientFile() / "inside", kOldClient);
    server.Enqueue(ScriptedReply::Ok(testsupport::PatternBytes(10'000)));
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Idle);
    EXPECT_EQ(harness::ReadFile(ClientFile() / "inside"), kOldClient);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{harness::kClientName});
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].Text, WindowText::ReplaceFailed());
}

TEST_F(UpdateFlow, AReadOnlyFolderKeepsTheOldClientAndTheUserIsTold) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::owner_exec);
    server.Enqueue(ScriptedReply::Ok(testsupport::PatternBytes(10'000)));
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    ExpectFailedRunWithWarning(WindowText::ReplaceFailed());
}

TEST_F(UpdateFlow, OfflineShowsTheErrorBoxStartsNoDownloadButStillOpensTheSite) {
    world.internet.connected = false;
    form->BitBtn1Click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !world.messages.shown.empty(); }));
    EXPECT_EQ(world.messages.shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(world.messages.shown[0].Caption, QStringLiteral("Error"));
    EXPECT_EQ(world.messages.shown[0].Text, QStringLiteral("خطا - عدم برقراری ارتباط با اينترنت"));
    EXPECT_EQ(world.shell.Opened(), QStringList{QString::fromStdString(server.Url(""))});
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Idle);
    EXPECT_EQ(server.Connections(), 0u);
    EXPECT_FALSE(form->Label2->isVisible());
}

TEST_F(UpdateFlow, ASecondPressMidDownloadOpensTheSiteAndEmptiesTheLabelsButStartsNothing) {
    // Long enough (about 5 s) that a slow sanitizer build still sees it mid-way.
    ScriptedReply slow = ScriptedReply::Ok(testsupport::PatternBytes(2'000'000));
    slow.paceBytes = 20'000;
    slow.paceInterval = std::chrono::milliseconds(50);
    server.Enqueue(slow);
    form->BitBtn1Click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return BytesShown() > 0; }));
    form->BitBtn1Click();
    EXPECT_TRUE(form->Label2->text().isEmpty());
    EXPECT_TRUE(form->status->text().isEmpty());
    EXPECT_EQ(world.shell.Opened().size(), 2);
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return form->FlowState() == TForm1::TFlowState::Ending; }));
    EXPECT_EQ(server.Connections(), 2u) << "the patch asked for and one download";
    EXPECT_EQ(harness::ReadFile(ClientFile()), slow.body);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("2000000"));
}

TEST_F(UpdateFlow, APressWhileTheSuccessBoxIsUpStartsNothing) {
    world.messages.holdBoxes = true;
    server.Enqueue(ScriptedReply::Ok(testsupport::PatternBytes(1000)));
    form->BitBtn1Click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return world.messages.held.size() == 1; }));
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Confirming);
    form->BitBtn1Click();
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Confirming);
    // The client starts only once the box is dismissed.
    EXPECT_EQ(world.shell.Opened().size(), 2) << "the site, twice";
    world.messages.held[0]();
    ASSERT_TRUE(ProcessEventsUntil([&] { return world.shell.Opened().size() == 3; }));
    EXPECT_EQ(server.Connections(), 2u) << "the patch asked for and one download";
}

TEST_F(UpdateFlow, ClosingMidDownloadCancelsAndLeavesNoTemporaryFile) {
    ScriptedReply slow = ScriptedReply::Ok(testsupport::PatternBytes(1'000'000));
    slow.paceBytes = 10'000;
    slow.paceInterval = std::chrono::milliseconds(100);
    server.Enqueue(slow);
    form->BitBtn1Click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return BytesShown() > 0; }));
    EXPECT_EQ(folder.Entries().size(), 2u) << "the download goes to a file beside the client";
    form->close();
    form.reset(); // joins the worker
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{harness::kClientName});
    EXPECT_EQ(harness::ReadFile(ClientFile()), kOldClient);
    EXPECT_TRUE(world.processes.Terminated().empty());
    EXPECT_TRUE(world.messages.shown.empty()) << "a cancelled transfer shows nothing";
}

TEST_F(UpdateFlow, ClosingWhileTheSuccessBoxIsUpReleasesTheWorkerWithoutStartingTheClient) {
    world.messages.holdBoxes = true;
    server.Enqueue(ScriptedReply::Ok(testsupport::PatternBytes(1000)));
    form->BitBtn1Click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return world.messages.held.size() == 1; }));
    form->close();
    form.reset();
    EXPECT_EQ(world.shell.Opened().size(), 1) << "only the site";
    EXPECT_EQ(world.quits, 0);
}

} // namespace
