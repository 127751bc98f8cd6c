// A download that breaks off continues by itself: a server that cuts the body at chosen places,
// with an ETag and ranges, in front of the window.
#include "server_window_fixture.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <memory>

using harness::ProcessEventsUntil;
using std::chrono::milliseconds;
using testsupport::ScriptedReply;

namespace {

constexpr std::size_t kOverlap = 64 * 1024;
/// Far longer than any wait of these tests: only a press or a stop ends it in time.
constexpr std::chrono::minutes kLongPause{1};

class AutomaticContinuation : public harness::ServerWindowTest {
protected:
    void SetUp() override {
        ServerWindowTest::SetUp();
        OpenWindow({milliseconds(10), milliseconds(20), milliseconds(40)});
    }

    void OpenWindow(std::vector<milliseconds> pauses) {
        UpdaterServices services = Services();
        services.ContinuationPauses = std::move(pauses);
        form = std::make_unique<TForm1>(std::move(services));
    }

    /// Presses and waits until the first transfer has broken off and the pause has begun.
    void PressUntilThePause() {
        form->BitBtn1Click();
        ASSERT_TRUE(ProcessEventsUntil([&] { return form->ContinuationPausing(); }));
    }
    std::filesystem::path PartFile() const {
        return folder.Path() / (harness::kClientName + ".part");
    }

    /// The file from byte `kept` on (a 206 with its range after the first piece), cut after
    /// `cutAfter` new bytes. Without a key a continuation asks again for the last 64 KiB it
    /// kept, so the reply starts that much earlier.
    void Serve(std::size_t kept, std::size_t cutAfter = SIZE_MAX) {
        const std::size_t from = kept - std::min<std::size_t>(kept, kOverlap);
        if (cutAfter != SIZE_MAX)
            cutAfter += kept - from;
        ScriptedReply reply = ScriptedReply::FromByte(file, from, "\"release-7\"");
        reply.closeAfterBodyBytes = cutAfter;
        server.Enqueue(reply);
    }

    /// The requests for the client itself (not for a patch).
    std::vector<testsupport::RecordedRequest> ClientRequests() const {
        std::vector<testsupport::RecordedRequest> client;
        for (const auto &request : server.Requests())
            if (request.requestLine.find(".from-") == std::string::npos)
                client.push_back(request);
        return client;
    }

    const std::string file = testsupport::PatternBytes(400'000);
};

TEST_F(AutomaticContinuation, TwoCutsAreBridgedWithoutAWordAndTheClientArrivesWhole) {
    Serve(0, 100'000);
    Serve(100'000, 150'000);
    Serve(250'000);
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_EQ(harness::ReadFile(ClientFile()), file);
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].Kind, TMessageKind::Information);
    EXPECT_EQ(form->Label2->text(), QString::number(file.size()));

    const auto requests = ClientRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_FALSE(requests[0].HasHeader("Range"));
    EXPECT_EQ(requests[1].Header("Range"), "bytes=" + std::to_string(100'000 - kOverlap) + "-");
    EXPECT_EQ(requests[2].Header("Range"), "bytes=" + std::to_string(250'000 - kOverlap) + "-");
    EXPECT_EQ(requests[2].Header("If-Range"), "\"release-7\"");
}

TEST_F(AutomaticContinuation, AFourthCutGivesTheConnectionWarningAndKeepsThePartialFile) {
    Serve(0, 50'000);
    Serve(50'000, 50'000);
    Serve(100'000, 50'000);
    Serve(150'000, 50'000);
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Idle);
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].Text, WindowText::ConnectionLost());
    EXPECT_EQ(ClientRequests().size(), 4u);
    EXPECT_EQ(harness::ReadFile(ClientFile()), kOldClient);
    EXPECT_EQ(harness::ReadFile(PartFile()), file.substr(0, 200'000));
    EXPECT_TRUE(world.processes.Terminated().empty());
}

TEST_F(AutomaticContinuation, APressInThePauseContinuesAtOnce) {
    OpenWindow({kLongPause});
    Serve(0, 100'000);
    Serve(100'000);
    PressUntilThePause();
    form->BitBtn1Click();
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return form->FlowState() == TForm1::TFlowState::Ending; }));
    EXPECT_TRUE(harness::ReadFile(ClientFile()) == file) << "not the whole client";
    ASSERT_EQ(ClientRequests().size(), 2u);
    EXPECT_EQ(ClientRequests()[1].Header("Range"),
              "bytes=" + std::to_string(100'000 - kOverlap) + "-");
}

TEST_F(AutomaticContinuation, ClosingTheWindowInThePauseEndsItKeepsThePartialFileAndShowsNothing) {
    OpenWindow({kLongPause});
    Serve(0, 100'000);
    PressUntilThePause();
    form->close();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !form->IdThreadComponent1->Active(); }));
    QCoreApplication::processEvents(); // what the worker posted last
    EXPECT_TRUE(world.messages.shown.empty());
    EXPECT_EQ(ClientRequests().size(), 1u);
    EXPECT_TRUE(harness::ReadFile(PartFile()) == file.substr(0, 100'000)) << "not the cut bytes";
    EXPECT_EQ(harness::ReadFile(ClientFile()), kOldClient);
    EXPECT_TRUE(world.processes.Terminated().empty());
}

} // namespace
