// Updates from a publisher that signs its client: the signature is fetched first and checked
// with the built-in key before anything is ended or replaced. Keys and signatures come from the
// minisign tool.
#include "minisign_tool.h"
#include "server_window_fixture.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>

using harness::kClientName;
using testsupport::ScriptedReply;

namespace {

const std::string kClientPath = "/program_download/" + harness::kClientName;

class AuthenticUpdate : public harness::ServerWindowTest {
protected:
    void MakeForm(const std::string &key) {
        UpdaterServices services = Services();
        services.StallTimeout = std::chrono::milliseconds(2000);
        services.PublisherKey = key;
        form = std::make_unique<TForm1>(std::move(services));
    }

    /// Serves `signatureReply` and then, when given, `body`; presses; expects the warning that
    /// the file is not authentic and an untouched client that nobody ended. Without a body the
    /// signature must be refused before the client is asked for.
    void ExpectRefused(const ScriptedReply &signatureReply, const char *what,
                       const std::optional<std::string> &body = std::nullopt,
                       const QString &warning = WindowText::NotAuthentic()) {
        SCOPED_TRACE(what);
        server.Enqueue(signatureReply);
        if (body)
            server.Enqueue(ScriptedReply::Ok(*body));
        world.messages.shown.clear();
        const std::size_t before = server.Requests().size();
        const std::size_t ended = world.processes.Terminated().size();
        ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
        // With a body: the signature, the patch (none) and the client.
        EXPECT_EQ(server.Requests().size(), before + (body ? 3 : 1));
        EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Idle);
        EXPECT_EQ(harness::ReadFile(ClientFile()), installed);
        EXPECT_EQ(folder.Entries(), leftBeside);
        EXPECT_EQ(world.processes.Terminated().size(), ended) << "nobody was ended";
        ASSERT_EQ(world.messages.shown.size(), 1u);
        EXPECT_EQ(world.messages.shown[0].Kind, TMessageKind::Warning);
        EXPECT_EQ(world.messages.shown[0].Text, warning);
    }

    harness::MinisignKey publisher;
    harness::MinisignKey stranger;
    /// What a refused run must leave: the installed client and the files beside it.
    std::string installed = kOldClient;
    std::vector<std::string> leftBeside{harness::kClientName};
};

TEST_F(AuthenticUpdate, AClientSignedByThePublisherUpdatesInEitherSignatureForm) {
    std::size_t round = 0;
    for (const bool legacy : {false, true}) {
        SCOPED_TRACE(legacy ? "legacy signature" : "prehashed signature");
        harness::WriteFile(ClientFile(), kOldClient);
        MakeForm(publisher.PublicKey());
        const std::string body = testsupport::PatternBytes(legacy ? 700'001 : 2'500'000);
        server.Enqueue(ScriptedReply::Ok(publisher.SignBytes(body, legacy), "text/plain"));
        server.Enqueue(ScriptedReply::Ok(body));
        ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
        ++round;
        ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
        EXPECT_EQ(harness::ReadFile(ClientFile()), body);
        EXPECT_EQ(world.processes.Terminated().size(), round);
        EXPECT_EQ(world.messages.shown.back().Text, WindowText::UpdateSucceeded());
        // The signature's small transfer never shows on the bar: it ends at the client's size.
        EXPECT_EQ(form->Label2->text(), QString::number(body.size()));
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 3 * round);
        EXPECT_EQ(requests[3 * round - 3].requestLine, "GET " + kClientPath + ".minisig HTTP/1.1");
        EXPECT_EQ(requests[3 * round - 1].requestLine, "GET " + kClientPath + " HTTP/1.1");
        form.reset();
    }
}

TEST_F(AuthenticUpdate, AnythingButThePublishersSignatureOfTheseBytesIsRefused) {
    MakeForm(publisher.PublicKey());
    const std::string body = testsupport::PatternBytes(900'000);
    const std::string signature = publisher.SignBytes(body);
    std::string flipped = body;
    flipped[450'000] = static_cast<char>(flipped[450'000] ^ 0x20);

    ExpectRefused(ScriptedReply::Ok(signature), "a flipped byte in the body", flipped);
    ExpectRefused(ScriptedReply::Ok(signature), "a body one byte short of the signed one",
                  body.substr(0, body.size() - 1));
    // A missing, malformed or foreign signature is refused before the client is downloaded.
    ExpectRefused(ScriptedReply::Ok(stranger.SignBytes(body)), "another key's signature");
    ExpectRefused(ScriptedReply::Status(404, "Not Found", "no signature here"),
                  "no .minisig on the server");
    ExpectRefused(ScriptedReply::Ok("<html>not a signature</html>", "text/html"),
                  "a garbage .minisig");
    ExpectRefused(ScriptedReply::Ok(std::string(4 * 1024 * 1024, 'A')), "a .minisig of megabytes");
}

TEST_F(AuthenticUpdate, ReleasesOnlyMoveForwardAndOnlyTheClientsOwnSignatureIsTaken) {
    const auto release = [](std::int64_t time, const std::string &file = kClientName) {
        return "timestamp:" + std::to_string(time) + "\tfile:" + file + "\thashed";
    };
    const std::string newer = testsupport::PatternBytes(200'000);
    const std::string older = testsupport::PatternBytes(100'000);
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    MakeForm(publisher.PublicKey());
    ExpectRefused(ScriptedReply::Ok(publisher.SignBytes(newer, false, release(2000, "tool.exe"))),
                  "another file the publisher signed");
    ExpectRefused(ScriptedReply::Ok(publisher.SignBytes(
                      newer, false, release(2000) + "\texpires:" + std::to_string(now - 90'000))),
                  "a signature expired more than a day ago");
    ExpectRefused(ScriptedReply::Status(503, "Service Unavailable"), "a server in trouble",
                  std::nullopt, WindowText::ServerRejected());

    // The newer release is installed and its signature kept beside it, asked for past caches.
    server.Enqueue(ScriptedReply::Ok(publisher.SignBytes(newer, false, release(2000))));
    server.Enqueue(ScriptedReply::Ok(newer));
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_TRUE(harness::ReadFile(ClientFile()) == newer);
    const auto signatureRequest = server.Requests()[server.Requests().size() - 3];
    ASSERT_EQ(signatureRequest.requestLine, "GET " + kClientPath + ".minisig HTTP/1.1");
    EXPECT_EQ(signatureRequest.Header("Cache-Control"), "no-cache");
    installed = newer;
    leftBeside = {kClientName, kClientName + ".minisig"};

    // An older release stays refused, by the kept signature and, once that is gone, by the
    // state folder; so does one without a date and the floor's own time with other bytes.
    const std::string olderSignature = publisher.SignBytes(older, false, release(1500));
    MakeForm(publisher.PublicKey());
    ExpectRefused(ScriptedReply::Ok(olderSignature), "an older release");
    ExpectRefused(ScriptedReply::Ok(publisher.SignBytes(older, false, "file:" + kClientName)),
                  "an undated release once a floor exists");
    ExpectRefused(ScriptedReply::Ok(publisher.SignBytes(older, false, release(2000))),
                  "the installed release's time with other bytes");
    std::filesystem::remove(ClientFile().string() + ".minisig");
    leftBeside = {kClientName};
    MakeForm(publisher.PublicKey());
    ExpectRefused(ScriptedReply::Ok(olderSignature),
                  "an older release with the kept signature deleted");
}

TEST_F(AuthenticUpdate, ABuildWithoutAKeyUpdatesAnUnsignedClientAndAsksForNoSignature) {
    MakeForm("");
    const std::string body = testsupport::PatternBytes(300'000);
    server.Enqueue(ScriptedReply::Ok(body));
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_EQ(harness::ReadFile(ClientFile()), body);
    ASSERT_EQ(server.Requests().size(), 2u) << "the patch (none), then the client";
    EXPECT_EQ(server.Requests()[1].requestLine, "GET " + kClientPath + " HTTP/1.1");
}

} // namespace
