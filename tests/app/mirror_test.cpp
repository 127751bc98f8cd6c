// Updates from the publisher's mirrors: every file is asked from the publisher first and then
// from each mirror, past servers that are down, in trouble, or serve another release.
#include "loopback_port.h"
#include "minisign_tool.h"
#include "server_window_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using harness::kClientName;
using testsupport::ScriptedReply;

namespace {

const std::string kClientPath = "/program_download/" + kClientName;

class MirrorUpdate : public harness::ServerWindowTest {
protected:
    /// The window asks the test server first, then `firstMirror`, then `mirror`.
    void MakeForm(const std::string &key, const std::string &firstMirror) {
        UpdaterServices services = Services();
        const QString publisher = QString::fromStdString(server.Url(""));
        services.Endpoints = UpdaterEndpoints::From(
            publisher, publisher, {}, QString::fromStdString(firstMirror + ";" + mirror.Url("")));
        services.PublisherKey = key;
        form = std::make_unique<TForm1>(std::move(services));
    }

    static std::vector<std::string> RequestLines(const testsupport::TestHttpServer &from) {
        std::vector<std::string> lines;
        for (const auto &request : from.Requests())
            lines.push_back(request.requestLine.substr(0, request.requestLine.find(" HTTP/")));
        return lines;
    }

    testsupport::TestHttpServer mirror;
};

TEST_F(MirrorUpdate, APublisherInTroubleAndADeadMirrorLeaveTheUpdateToTheNextMirror) {
    testsupport::OfferNoPatches(mirror);
    server.Enqueue(ScriptedReply::Status(503, "Service Unavailable"));
    const std::string body = testsupport::PatternBytes(400'000);
    mirror.Enqueue(ScriptedReply::Ok(body));
    MakeForm("", "http://127.0.0.1:" + std::to_string(testsupport::FreeLoopbackPort()));

    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_TRUE(harness::ReadFile(ClientFile()) == body);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{kClientName});
    // The patch and the client, each asked from the publisher first.
    ASSERT_EQ(RequestLines(server).size(), 2u);
    EXPECT_EQ(RequestLines(server)[1], "GET " + kClientPath);
    ASSERT_EQ(RequestLines(mirror).size(), 2u);
    EXPECT_EQ(RequestLines(mirror)[1], "GET " + kClientPath);
}

TEST_F(MirrorUpdate, AMirrorWithAnOlderReleaseIsPassedOverForTheNextOnesNewer) {
    harness::MinisignKey publisher;
    const auto release = [](int time) {
        return "timestamp:" + std::to_string(time) + "\tfile:" + kClientName + "\thashed";
    };
    // The installed client is the release of time 2000; the publisher has not published yet.
    harness::WriteFile(ClientFile().string() + ".minisig",
                       publisher.SignBytes(kOldClient, false, release(2000)));
    server.AnswerAlways(".minisig", ScriptedReply::Status(404, "Not Found"));
    server.AnswerAlways(kClientPath + " ", ScriptedReply::Status(404, "Not Found"));
    testsupport::TestHttpServer stale;
    stale.Enqueue(ScriptedReply::Ok(publisher.SignBytes(
        testsupport::PatternBytes(100'000), false, release(1500))));
    const std::string newer = testsupport::PatternBytes(300'000);
    const std::string newerSignature = publisher.SignBytes(newer, false, release(3000));
    testsupport::OfferNoPatches(mirror);
    mirror.Enqueue(ScriptedReply::Ok(newerSignature));
    mirror.Enqueue(ScriptedReply::Ok(newer));

    MakeForm(publisher.PublicKey(), stale.Url(""));

    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_TRUE(harness::ReadFile(ClientFile()) == newer);
    EXPECT_EQ(harness::ReadFile(ClientFile().string() + ".minisig"), newerSignature);
    // The stale mirror was asked for the signature only: its client is another release.
    EXPECT_EQ(RequestLines(stale), std::vector<std::string>{"GET " + kClientPath + ".minisig"});
    EXPECT_EQ(RequestLines(mirror).back(), "GET " + kClientPath);
}

TEST_F(MirrorUpdate, ADownloadThatBrokeOnAMirrorContinuesThereOnTheNextPress) {
    testsupport::OfferNoPatches(mirror);
    server.AnswerAlways(kClientPath + " ", ScriptedReply::Status(503, "Service Unavailable"));
    const std::string body = testsupport::PatternBytes(300'000);
    const auto reply = [&](std::size_t from) {
        return ScriptedReply::FromByte(body, from, "\"release-8\"");
    };
    ScriptedReply broken = reply(0);
    broken.closeAfterBodyBytes = 200'000;
    mirror.Enqueue(broken);
    // Without a key the continuation asks again for the last 64 KiB it kept.
    mirror.Enqueue(reply(200'000 - 64 * 1024));
    MakeForm("", "http://127.0.0.1:" + std::to_string(testsupport::FreeLoopbackPort()));

    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Idle);
    ASSERT_TRUE(std::filesystem::exists(ClientFile().string() + ".part"));
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_TRUE(harness::ReadFile(ClientFile()) == body);
    const auto asked = RequestLines(server);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "GET " + kClientPath), 1)
        << "the second press asked the mirror that had sent the bytes first";
    EXPECT_EQ(mirror.Requests().back().Header("Range"),
              "bytes=" + std::to_string(200'000 - 64 * 1024) + "-");
}

} // namespace
