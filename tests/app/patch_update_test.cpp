// Updates by patch against a real nginx, with patches made by the publisher's script (the zstd
// tool underneath): the patch replaces the whole download, anything wrong with it falls back to
// the whole download in the same press, and with a key an up-to-date client is not fetched at
// all. nginx's access log shows what was sent.
#include "form_harness.h"
#include "minisign_tool.h"
#include "nginx_server.h"
#include "patch_tools.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

using harness::ProcessEventsUntil;

namespace {

const std::string kClientName = "Zorvane_Online_Sardel.exe";
const std::string kOld = harness::RandomBytes(1'500'000, 11);
const std::string kNew = harness::ChangedInPlaces(kOld, 10'000, 12);

/// One line of nginx's access log: what was asked for and what was sent.
struct Sent {
    std::string path;
    int status = 0;
    long long bytes = 0;
};

class PatchUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        harness::EnsureApplication();
        nginx = std::make_unique<testsupport::NginxServer>(
            "access_log " + (logs.Path() / "access.log").string() + ";\n");
        ASSERT_TRUE(nginx->Running()) << nginx->Error();
        served = nginx->Root() / "program_download";
        std::filesystem::create_directories(served);
        std::filesystem::permissions(served, std::filesystem::perms::owner_all |
                                                 std::filesystem::perms::others_read |
                                                 std::filesystem::perms::others_exec);
        harness::WriteFile(served / kClientName, kNew);
    }
    void TearDown() override { form.reset(); }

    /// Signs the served client with `key`.
    void Sign(const harness::MinisignKey &key) {
        harness::WriteFile(served / (kClientName + ".minisig"), key.Sign(served / kClientName));
    }

    /// Runs the publisher's script with `earlier` as the only earlier release; the patches go
    /// beside the served client.
    void PublishPatches(const std::string &earlier) {
        harness::WriteFile(releases.Path() / "earlier.exe", earlier);
        const std::string command = "ZORVANE_PATCH_LEVEL=3 " + std::string(ZORVANE_PATCH_SCRIPT) +
                                    " '" + (served / kClientName).string() + "' '" +
                                    releases.Path().string() + "' '" + served.string() +
                                    "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        ASSERT_FALSE(PatchFiles().empty());
    }

    /// The patches beside the served client.
    std::vector<std::filesystem::path> PatchFiles() const {
        std::vector<std::filesystem::path> patches;
        for (const auto &entry : std::filesystem::directory_iterator(served))
            if (entry.path().extension() == ".zst")
                patches.push_back(entry.path());
        return patches;
    }

    /// Puts `bytes` in the client's place; none when empty.
    void Install(const std::string &bytes) {
        if (bytes.empty())
            std::filesystem::remove(ClientFile());
        else
            harness::WriteFile(ClientFile(), bytes);
    }

    /// Presses the button of a fresh window in a fresh world and waits for the run to end.
    void Press(const std::string &key = {}) {
        form.reset();
        world = std::make_unique<harness::FakeWorld>();
        UpdaterServices services =
            world->Services(QString::fromStdString(nginx->BaseUrl()), folder.Path());
        services.PublisherKey = key;
        form = std::make_unique<TForm1>(std::move(services));
        form->BitBtn1Click();
        ASSERT_TRUE(ProcessEventsUntil([&] {
            return form->FlowState() == TForm1::TFlowState::Idle ||
                   form->FlowState() == TForm1::TFlowState::Ending;
        }));
    }

    /// The press ended in the success box with `kNew` installed and nothing else left, the
    /// running client ended once, right before the replace.
    void ExpectUpdated() {
        ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
        // Compared without printing: a megabyte of bytes in a failure says nothing.
        EXPECT_TRUE(harness::ReadFile(ClientFile()) == kNew) << "not the new client";
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{kClientName});
        EXPECT_EQ(world->processes.Terminated(), std::vector<std::uint32_t>{4242});
        ASSERT_EQ(world->messages.shown.size(), 1u);
        EXPECT_EQ(world->messages.shown[0].Text, WindowText::UpdateSucceeded());
    }

    /// What nginx sent, in order, since the last call.
    std::vector<Sent> SentSinceLastLook() {
        std::ifstream in(logs.Path() / "access.log");
        std::vector<Sent> sent;
        std::size_t line = 0;
        for (std::string text; std::getline(in, text); ++line) {
            if (line < linesSeen)
                continue;
            // ... "GET /program_download/NAME HTTP/1.1" STATUS BYTES ...
            const auto start = text.find("\"GET ") + 5;
            const auto end = text.find(' ', start);
            std::istringstream after(text.substr(text.find('"', end) + 1));
            Sent entry;
            entry.path = text.substr(start, end - start);
            entry.path = entry.path.substr(entry.path.rfind('/') + 1);
            after >> entry.status >> entry.bytes;
            sent.push_back(entry);
        }
        linesSeen = line;
        return sent;
    }

    std::filesystem::path ClientFile() const { return folder.Path() / kClientName; }
    static std::string PatchName(const std::string &from) {
        return kClientName + ".from-" + harness::Sha256Of(from) + ".zst";
    }

    harness::ScratchFolder folder;
    harness::ScratchFolder logs;
    harness::ScratchFolder releases;
    std::unique_ptr<harness::FakeWorld> world;
    std::unique_ptr<testsupport::NginxServer> nginx;
    std::filesystem::path served;
    std::size_t linesSeen = 0;
    std::unique_ptr<TForm1> form;
};

TEST_F(PatchUpdate, AnOldClientUpdatesThroughItsPatchAndTheWholeFileIsNeverSent) {
    PublishPatches(kOld);
    const auto patchSize = std::filesystem::file_size(served / PatchName(kOld));
    EXPECT_LT(patchSize, kNew.size() / 20);
    Install(kOld);
    Press();
    ExpectUpdated();
    const auto sent = SentSinceLastLook();
    ASSERT_EQ(sent.size(), 1u) << "the patch alone";
    EXPECT_EQ(sent[0].path, PatchName(kOld));
    EXPECT_EQ(sent[0].status, 200);
    // The bar and the byte count follow the patch, the only transfer.
    EXPECT_EQ(form->Label2->text(), QString::number(patchSize));
    EXPECT_EQ(form->ProgressBar1->Text(), QStringLiteral("100%"));
}

TEST_F(PatchUpdate, WithoutAPatchForTheInstalledClientOrWithoutAClientTheWholeFileComes) {
    PublishPatches(kOld);
    Install(harness::RandomBytes(70'000, 13));
    Press();
    ExpectUpdated();
    auto sent = SentSinceLastLook();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].status, 404) << "no patch from this client";
    EXPECT_EQ(sent[1].path, kClientName);
    EXPECT_EQ(sent[1].status, 200);

    // No installed client: nothing to patch, so nothing is asked but the client.
    Install("");
    Press();
    ASSERT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_TRUE(harness::ReadFile(ClientFile()) == kNew) << "not the new client";
    sent = SentSinceLastLook();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].path, kClientName);
}

TEST_F(PatchUpdate, ABrokenPatchFallsBackToTheWholeFileInTheSamePressWithoutAWarning) {
    PublishPatches(kOld);
    const auto patch = served / PatchName(kOld);
    const std::string good = harness::ReadFile(patch);
    std::string flipped = good;
    flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 0x10);
    const struct {
        const char *what;
        std::string bytes;
    } broken[] = {
        {"a flipped byte", flipped},
        {"cut in half", good.substr(0, good.size() / 2)},
        // A sound frame, but made from another client: only the result's checksum tells.
        {"for another client", harness::ZstdPatch(harness::ChangedInPlaces(kOld, 100, 14), kNew)},
    };
    for (const auto &bad : broken) {
        SCOPED_TRACE(bad.what);
        harness::WriteFile(patch, bad.bytes);
        Install(kOld);
        Press();
        ExpectUpdated();
        const auto sent = SentSinceLastLook();
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0].path, PatchName(kOld));
        EXPECT_EQ(sent[1].path, kClientName);
        EXPECT_EQ(sent[1].status, 200);
    }
}

TEST_F(PatchUpdate, WithAKeyAnUpToDateClientIsNeitherDownloadedNorRewritten) {
    harness::MinisignKey key;
    Sign(key);
    PublishPatches(kOld);
    Install(kNew);
    const auto written = std::filesystem::last_write_time(ClientFile()) - std::chrono::hours(1);
    std::filesystem::last_write_time(ClientFile(), written);
    Press(key.PublicKey());
    ExpectUpdated();
    ASSERT_TRUE(ProcessEventsUntil([&] { return world->quits == 1; }));
    EXPECT_EQ(std::filesystem::last_write_time(ClientFile()), written) << "not rewritten";
    const auto sent = SentSinceLastLook();
    ASSERT_EQ(sent.size(), 1u) << "only the signature";
    EXPECT_EQ(sent[0].path, kClientName + ".minisig");
    ASSERT_EQ(world->shell.Opened().size(), 2) << "the site, then the client";
    EXPECT_EQ(world->shell.Opened()[1], QString::fromStdU16String(ClientFile().u16string()));
}

TEST_F(PatchUpdate, WithAKeyAPatchThatBuildsAnotherClientIsRefusedAndTheSignedOneComes) {
    harness::MinisignKey key;
    Sign(key);
    // A sound patch from the installed client, checksum and all, to a client nobody signed.
    std::string tampered = kNew;
    tampered[kNew.size() / 2] = static_cast<char>(tampered[kNew.size() / 2] ^ 1);
    harness::WriteFile(served / PatchName(kOld), harness::ZstdPatch(kOld, tampered));
    Install(kOld);
    Press(key.PublicKey());
    ExpectUpdated();
    const auto sent = SentSinceLastLook();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1].path, PatchName(kOld));
    EXPECT_EQ(sent[1].status, 200);
    EXPECT_EQ(sent[2].path, kClientName);
}

} // namespace
