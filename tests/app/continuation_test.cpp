// A download that breaks off continues by itself: a server that cuts the body at chosen places,
// with an ETag and ranges, in front of the window.
#include "form_harness.h"
#include "test_http_server.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <memory>

using harness::ProcessEventsUntil;
using testsupport::ScriptedReply;
using testsupport::TestHttpServer;

namespace {

const std::string kClientName = "Zorvane_Online_Sardel.exe";
constexpr std::size_t kOverlap = 64 * 1024;

class AutomaticContinuation : public ::testing::Test {
protected:
    void SetUp() override {
        harness::EnsureApplication();
        harness::WriteFile(folder.Path() / kClientName, "old client\n");
        server.AnswerAlways(".exe.from-", ScriptedReply::Status(404, "Not Found"));
        UpdaterServices services =
            world.Services(QString::fromStdString(server.Url("")), folder.Path());
        services.ContinuationPauses = {std::chrono::milliseconds(10), std::chrono::milliseconds(20),
                                       std::chrono::milliseconds(40)};
        form = std::make_unique<TForm1>(std::move(services));
    }
    void TearDown() override { form.reset(); }

    /// The file from byte `kept` on (a 206 with its range after the first piece), cut after
    /// `cutAfter` new bytes. Without a key a continuation asks again for the last 64 KiB it
    /// kept, so the reply starts that much earlier.
    void Serve(std::size_t kept, std::size_t cutAfter = SIZE_MAX) {
        const std::size_t from = kept - std::min<std::size_t>(kept, kOverlap);
        if (cutAfter != SIZE_MAX)
            cutAfter += kept - from;
        ScriptedReply reply = ScriptedReply::Ok(file.substr(from));
        if (from > 0) {
            reply.statusLine = "HTTP/1.1 206 Partial Content";
            reply.headers.push_back({"Content-Range", "bytes " + std::to_string(from) + "-" +
                                                          std::to_string(file.size() - 1) + "/" +
                                                          std::to_string(file.size())});
        }
        reply.headers.push_back({"ETag", "\"release-7\""});
        reply.headers.push_back({"Accept-Ranges", "bytes"});
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

    void PressAndWaitForTheRunToEnd() {
        form->BitBtn1Click();
        ASSERT_TRUE(ProcessEventsUntil([&] {
            return form->FlowState() == TForm1::TFlowState::Idle ||
                   form->FlowState() == TForm1::TFlowState::Ending;
        }));
    }

    const std::string file = testsupport::PatternBytes(400'000);
    harness::FakeWorld world;
    harness::ScratchFolder folder;
    TestHttpServer server;
    std::unique_ptr<TForm1> form;
};

TEST_F(AutomaticContinuation, TwoCutsAreBridgedWithoutAWordAndTheClientArrivesWhole) {
    Serve(0, 100'000);
    Serve(100'000, 150'000);
    Serve(250'000);
    PressAndWaitForTheRunToEnd();
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_EQ(harness::ReadFile(folder.Path() / kClientName), file);
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
    PressAndWaitForTheRunToEnd();
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Idle);
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].Text, WindowText::ConnectionLost());
    EXPECT_EQ(ClientRequests().size(), 4u);
    EXPECT_EQ(harness::ReadFile(folder.Path() / kClientName), "old client\n");
    EXPECT_EQ(harness::ReadFile(folder.Path() / (kClientName + ".part")), file.substr(0, 200'000));
    EXPECT_TRUE(world.processes.Terminated().empty());
}

} // namespace
