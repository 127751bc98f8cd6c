// Resuming against a real nginx: the first transfer of a signed client stalls at about 40 %
// (nginx slows a request without a Range to a crawl after that point), the partial file is
// kept, and the next press asks only for the rest. nginx's access log shows what was sent.
#include "form_harness.h"
#include "minisign_tool.h"
#include "nginx_server.h"
#include "test_http_server.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

using harness::kClientName;

namespace {

constexpr std::size_t kSize = 4'000'000;
constexpr std::size_t kCutAt = 1'600'000; // 40 %

/// nginx configuration: an access log of our own, and requests without a Range slowed to one
/// byte a second after `kCutAt` bytes, which the updater's short stall time-out ends.
std::string NginxConfig(const std::filesystem::path &log, bool ranges) {
    std::ostringstream config;
    config << "access_log " << log.string() << ";\n";
    if (!ranges)
        config << "max_ranges 0;\n";
    config << "location /program_download/ {\n"
           << "  if ($http_range = \"\") { limit_rate_after " << kCutAt << "; limit_rate 1; }\n"
           << "}\n";
    return config.str();
}

class Resume : public ::testing::Test {
protected:
    void Start(bool ranges, bool withKey = true) {
        harness::EnsureApplication();
        nginx = std::make_unique<testsupport::NginxServer>(
            NginxConfig(logs.Path() / "access.log", ranges));
        ASSERT_TRUE(nginx->Running()) << nginx->Error();
        Publish(testsupport::PatternBytes(kSize));
        harness::WriteFile(ClientFile(), "old client\n");
        UpdaterServices services =
            world.Services(QString::fromStdString(nginx->BaseUrl()), folder.Path());
        services.StallTimeout = std::chrono::milliseconds(700);
        services.PublisherKey = withKey ? key.PublicKey() : std::string();
        form = std::make_unique<TForm1>(std::move(services));
    }
    void TearDown() override { form.reset(); }

    std::filesystem::path ClientFile() const { return folder.Path() / kClientName; }
    std::filesystem::path PartFile() const { return folder.Path() / (kClientName + ".part"); }

    /// Puts `client` and its signature on the server.
    void Publish(const std::string &client) {
        const auto file = nginx->Serve("program_download/" + kClientName, client);
        nginx->Serve("program_download/" + kClientName + ".minisig", key.Sign(file));
    }

    void PressAndWaitForTheRunToEnd() {
        world.messages.shown.clear();
        ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    }

    /// The first press stalls at the cut: a connection warning, the partial file kept.
    void FirstPressBreaksOff() {
        PressAndWaitForTheRunToEnd();
        ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Idle);
        ASSERT_EQ(world.messages.shown.size(), 1u);
        EXPECT_EQ(world.messages.shown[0].Text, WindowText::ConnectionLost());
        ASSERT_TRUE(std::filesystem::exists(PartFile()));
        EXPECT_GE(std::filesystem::file_size(PartFile()), kCutAt);
        EXPECT_LT(std::filesystem::file_size(PartFile()), kSize);
        EXPECT_EQ(harness::ReadFile(ClientFile()), "old client\n");
        EXPECT_TRUE(world.processes.Terminated().empty());
    }

    /// Publishes another client of the original's length, dated `later` after the original,
    /// and returns it.
    std::string PublishAnotherOfTheSameLength(std::filesystem::file_time_type::duration later) {
        const std::string another = testsupport::PatternBytes(kSize + 77).substr(77);
        const auto served = nginx->Root() / "program_download" / kClientName;
        const auto date = std::filesystem::last_write_time(served);
        Publish(another);
        std::filesystem::last_write_time(served, date + later);
        return another;
    }

    /// The second press got the whole file with a 200 (the log's second line for the client),
    /// the client is byte for byte `expected` and only its accepted signature is beside it.
    void ExpectWholeFileOnTheSecondPress(const std::string &expected) {
        ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
        EXPECT_EQ(harness::ReadFile(ClientFile()), expected);
        ExpectTheSecondClientReply(200, expected.size());
        EXPECT_EQ(form->Label2->text(), QString::number(expected.size()));
        EXPECT_EQ(folder.Entries(), KeptFiles());
    }

    /// What an update leaves beside the client: the accepted signature, nothing else.
    static std::vector<std::string> KeptFiles() { return {kClientName, kClientName + ".minisig"}; }

    /// nginx's access log holds two replies for the client itself (not its signature), the
    /// second a `status` of `bytes` bytes.
    void ExpectTheSecondClientReply(int status, std::uintmax_t bytes) const {
        std::ifstream in(logs.Path() / "access.log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            if (line.find(kClientName + " HTTP") != std::string::npos)
                lines.push_back(line);
        ASSERT_EQ(lines.size(), 2u);
        const std::string reply =
            "\" " + std::to_string(status) + " " + std::to_string(bytes) + " ";
        EXPECT_NE(lines[1].find(reply), std::string::npos) << lines[1];
    }

    harness::MinisignKey key;
    harness::FakeWorld world;
    harness::ScratchFolder folder;
    harness::ScratchFolder logs;
    std::unique_ptr<testsupport::NginxServer> nginx;
    std::unique_ptr<TForm1> form;
};

TEST_F(Resume, TheNextPressAsksOnlyForTheRestAndTheVerifiedClientArrivesWhole) {
    Start(true);
    FirstPressBreaksOff();
    const auto kept = std::filesystem::file_size(PartFile());

    PressAndWaitForTheRunToEnd();
    ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_EQ(harness::ReadFile(ClientFile()), testsupport::PatternBytes(kSize));
    EXPECT_EQ(folder.Entries(), KeptFiles()) << "no partial file left";
    EXPECT_EQ(form->Label2->text(), QString::number(kSize)) << "the count shows the whole file";
    EXPECT_EQ(form->ProgressBar1->Text(), QStringLiteral("100%"));
    // The clock stands still (1 ms per attempt): the speed is this attempt's bytes alone, not
    // the whole file's, which would credit it with what the first press fetched.
    EXPECT_EQ(form->status->text(),
              QStringLiteral("0.00 s|%1.00 KB/s").arg(static_cast<qint64>(kSize - kept)));
    ExpectTheSecondClientReply(206, kSize - kept);
}

TEST_F(Resume, AFileChangedOnTheServerBetweenPressesIsDownloadedWholeAgain) {
    Start(true);
    FirstPressBreaksOff();
    // nginx's ETag is the modification second and the size, which the new file shares with the
    // old one when both land within one second: move the time on so the validator differs and
    // If-Range makes nginx send the whole new file.
    const std::string changed = PublishAnotherOfTheSameLength(std::chrono::hours(1));
    PressAndWaitForTheRunToEnd();
    ExpectWholeFileOnTheSecondPress(changed);
}

TEST_F(Resume, WithoutAKeyAFileSwappedForOneOfTheSameLengthAndDateIsNeverSpliced) {
    Start(true, false);
    FirstPressBreaksOff();
    // The same length and date: the same ETag.
    const std::string swapped = PublishAnotherOfTheSameLength({});
    // The repeated bytes differ from the kept ones: the download starts from zero (and breaks
    // at the cut again); the next press continues the new file alone.
    PressAndWaitForTheRunToEnd();
    EXPECT_EQ(harness::ReadFile(ClientFile()), "old client\n");
    PressAndWaitForTheRunToEnd();
    ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_TRUE(harness::ReadFile(ClientFile()) == swapped) << "spliced";
}

TEST_F(Resume, AServerWithoutRangesSendsTheWholeFileAndTheDownloadStartsFromZero) {
    Start(false);
    FirstPressBreaksOff();
    PressAndWaitForTheRunToEnd();
    ExpectWholeFileOnTheSecondPress(testsupport::PatternBytes(kSize));
}

} // namespace
