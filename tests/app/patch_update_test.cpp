// Updates by patch against a real nginx, with patches made by the publisher's script (the zstd
// tool underneath): the patch replaces the whole download, anything wrong with it falls back to
// the whole download in the same press, and with a key an up-to-date client is not fetched at
// all. nginx's access log shows what was sent.
#include "form_harness.h"
#include "minisign_tool.h"
#include "nginx_server.h"
#include "patch_tools.h"

#include <gtest/gtest.h>

#include <memory>

using harness::kClientName;
using harness::ProcessEventsUntil;
using Lines = std::vector<std::string>;

namespace {

const std::string kOld = harness::RandomBytes(1'500'000, 11);
const std::string kNew = harness::ChangedInPlaces(kOld, 10'000, 12);
const std::string kWholeFile = kClientName + " 200";

std::string PatchFrom(const std::string &client) {
    return kClientName + ".from-" + harness::Sha256Of(client) + ".zst";
}

class PatchUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        harness::EnsureApplication();
        nginx = std::make_unique<testsupport::NginxServer>("access_log " +
                                                           (logs.Path() / "log").string() + ";");
        ASSERT_TRUE(nginx->Running()) << nginx->Error();
        served = nginx->Serve("program_download/" + kClientName, kNew).parent_path();
        harness::WriteFile(ClientFile(), kOld);
    }
    void TearDown() override { form.reset(); }

    /// Runs the publisher's script with `kOld` as the one earlier release.
    void PublishPatches() {
        harness::WriteFile(releases.Path() / "1.0.1.exe", kOld);
        const std::string command = "ZORVANE_PATCH_LEVEL=3 " + std::string(ZORVANE_PATCH_SCRIPT) +
                                    " '" + (served / kClientName).string() + "' '" +
                                    releases.Path().string() + "' '" + served.string() +
                                    "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    /// Presses the button of a fresh window in a fresh world and expects the success box with
    /// `kNew` installed, nothing else left, the running client ended once (before the replace)
    /// and the new one started. Returns what nginx sent meanwhile as "NAME STATUS" lines.
    Lines PressAndExpectTheNewClient(const std::string &key = {}) {
        form.reset();
        world = std::make_unique<harness::FakeWorld>();
        UpdaterServices services =
            world->Services(QString::fromStdString(nginx->BaseUrl()), folder.Path());
        services.PublisherKey = key;
        form = std::make_unique<TForm1>(std::move(services));
        form->BitBtn1Click();
        EXPECT_TRUE(ProcessEventsUntil([&] { return world->quits == 1; }));
        // Compared without printing: a megabyte of bytes in a failure says nothing.
        EXPECT_TRUE(harness::ReadFile(ClientFile()) == kNew) << "not the new client";
        // With a key, the accepted signature is kept beside the client.
        const Lines left =
            key.empty() ? Lines{kClientName} : Lines{kClientName, kClientName + ".minisig"};
        EXPECT_EQ(folder.Entries(), left);
        EXPECT_EQ(world->processes.Terminated(), std::vector<std::uint32_t>{4242});
        EXPECT_EQ(world->messages.shown.size(), 1u) << "the success box alone";
        EXPECT_EQ(world->shell.Opened().size(), 2) << "the site, then the client";

        Lines sent;
        std::ifstream in(logs.Path() / "log");
        for (std::string line; std::getline(in, line);) {
            // ... "GET /program_download/NAME HTTP/1.1" STATUS ...
            const auto name = line.find("/program_download/") + 18;
            const auto status = line.find("\" ", name) + 2;
            sent.push_back(line.substr(name, line.find(' ', name) - name) + " " +
                           line.substr(status, 3));
        }
        sent.erase(sent.begin(), sent.begin() + std::ptrdiff_t(linesSeen));
        linesSeen += sent.size();
        return sent;
    }

    std::filesystem::path ClientFile() const { return folder.Path() / kClientName; }

    harness::ScratchFolder folder;
    harness::ScratchFolder logs;
    harness::ScratchFolder releases;
    std::unique_ptr<testsupport::NginxServer> nginx;
    std::filesystem::path served;
    std::size_t linesSeen = 0;
    std::unique_ptr<harness::FakeWorld> world;
    std::unique_ptr<TForm1> form;
};

TEST_F(PatchUpdate, AnOldClientUpdatesThroughItsPatchAndTheWholeFileIsNeverSent) {
    PublishPatches();
    const auto patchSize = std::filesystem::file_size(served / PatchFrom(kOld));
    EXPECT_LT(patchSize, kNew.size() / 20);
    EXPECT_EQ(PressAndExpectTheNewClient(), Lines{PatchFrom(kOld) + " 200"});
    // The bar and the byte count follow the patch, the only transfer.
    EXPECT_EQ(form->Label2->text(), QString::number(patchSize));
    EXPECT_EQ(form->ProgressBar1->Text(), QStringLiteral("100%"));
}

TEST_F(PatchUpdate, WithoutAPatchForTheInstalledClientOrWithoutAClientTheWholeFileComes) {
    PublishPatches();
    const std::string unknown = harness::RandomBytes(70'000, 13);
    harness::WriteFile(ClientFile(), unknown);
    EXPECT_EQ(PressAndExpectTheNewClient(), (Lines{PatchFrom(unknown) + " 404", kWholeFile}));
    std::filesystem::remove(ClientFile());
    EXPECT_EQ(PressAndExpectTheNewClient(), Lines{kWholeFile}) << "nothing to patch";
}

TEST_F(PatchUpdate, ABrokenPatchFallsBackToTheWholeFileInTheSamePressWithoutAWarning) {
    PublishPatches();
    const std::string good = harness::ReadFile(served / PatchFrom(kOld));
    std::string flipped = good;
    flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 0x10);
    // The last one is a sound frame made from another client, in which everything after the
    // first tenth lies 1000 bytes further on: only the result's checksum tells.
    std::string another = kOld;
    another.insert(kOld.size() / 10, harness::RandomBytes(1000, 14));
    for (const std::string &broken :
         {flipped, good.substr(0, good.size() / 2), harness::ZstdPatch(another, kNew)}) {
        harness::WriteFile(served / PatchFrom(kOld), broken);
        harness::WriteFile(ClientFile(), kOld);
        EXPECT_EQ(PressAndExpectTheNewClient(), (Lines{PatchFrom(kOld) + " 200", kWholeFile}));
    }
}

TEST_F(PatchUpdate, WithAKeyAnUpToDateClientIsNeitherDownloadedNorRewritten) {
    harness::MinisignKey key;
    harness::WriteFile(served / (kClientName + ".minisig"), key.Sign(served / kClientName));
    PublishPatches();
    harness::WriteFile(ClientFile(), kNew);
    const auto written = std::filesystem::last_write_time(ClientFile()) - std::chrono::hours(1);
    std::filesystem::last_write_time(ClientFile(), written);
    EXPECT_EQ(PressAndExpectTheNewClient(key.PublicKey()), Lines{kClientName + ".minisig 200"});
    EXPECT_EQ(std::filesystem::last_write_time(ClientFile()), written) << "rewritten";
}

TEST_F(PatchUpdate, WithAKeyAPatchThatBuildsAnotherClientIsRefusedAndTheSignedOneComes) {
    harness::MinisignKey key;
    harness::WriteFile(served / (kClientName + ".minisig"), key.Sign(served / kClientName));
    // A sound patch from the installed client, checksum and all, to a client nobody signed.
    std::string tampered = kNew;
    tampered[kNew.size() / 2] = static_cast<char>(tampered[kNew.size() / 2] ^ 1);
    harness::WriteFile(served / PatchFrom(kOld), harness::ZstdPatch(kOld, tampered));
    EXPECT_EQ(PressAndExpectTheNewClient(key.PublicKey()),
              (Lines{kClientName + ".minisig 200", PatchFrom(kOld) + " 200", kWholeFile}));
}

} // namespace
