// The updater replacing its own file after a press: a newer updater signed by the publisher
// takes the running one's place (which waits as ".old" for the next start), anything else
// costs one request and changes nothing. The updater's file is a scratch copy, named as a
// player might have named it.
#include "minisign_tool.h"
#include "own_program.h"
#include "self_update.h"
#include "self_update_thread.h"
#include "server_list.h"
#include "server_window_fixture.h"
#include "window_texts.h"

#include "TIdHTTP.h"

#include <gtest/gtest.h>

#include <cstdlib>

using testsupport::ScriptedReply;

namespace {

constexpr char kOwnVersion[] = "1.0.9";
const verify::ReleaseVersion kOwn{{1, 0, 9}};
const std::string kOldUpdater = "#!/bin/sh\necho the running updater\n";
const std::string kServedName = UpdaterServerName;

class SelfUpdate : public harness::ServerWindowTest {
protected:
    void SetUp() override {
        ServerWindowTest::SetUp();
        harness::WriteFile(OwnFile(), kOldUpdater);
        std::filesystem::permissions(OwnFile(), std::filesystem::perms(0750));
    }

    std::filesystem::path OwnFile() const { return programs.Path() / "my-updater"; }

    /// The publisher's signature of `bytes` as the served updater with `comment` after its time.
    std::string SignUpdater(const std::string &bytes, const std::string &comment) const {
        return publisher.SignBytes(bytes, false, "timestamp:1700000000\t" + comment, kServedName);
    }

    harness::MinisignKey publisher;
    harness::ScratchFolder programs;
    /// Outlives the window, which the fixture's TearDown ends.
    TSelfUpdateThread selfUpdate;
};

TEST_F(SelfUpdate, ANewerSignedUpdaterReplacesTheRunningOneAfterThePress) {
    // A press that finds the client current (its signature alone), then the updater's own update:
    // 1.0.10 is above 1.0.9 number by number, though not as text.
    const std::string newUpdater =
        "#!/bin/sh\necho ran > \"$(dirname \"$0\")/new-updater-ran.marker\"\n";
    server.Enqueue(ScriptedReply::Ok(publisher.SignBytes(kOldClient)));
    server.Enqueue(
        ScriptedReply::Ok(SignUpdater(newUpdater, "file:" + kServedName + "\tversion:1.0.10")));
    server.Enqueue(ScriptedReply::Ok(newUpdater));
    UpdaterServices services = Services();
    services.PublisherKey = publisher.PublicKey();
    services.OwnProgram = OwnFile();
    services.OwnVersion = kOwnVersion;
    services.SelfUpdate = &selfUpdate;
    form = std::make_unique<TForm1>(std::move(services));
    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(*form));
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Ending);
    EXPECT_EQ(world.messages.shown.back().Text, WindowText::UpdateSucceeded());
    form.reset(); // the window is gone; the updater's own update goes on

    EXPECT_EQ(selfUpdate.Finish(std::chrono::seconds(20)), TSelfUpdateOutcome::Replaced);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].requestLine,
              "GET /program_download/" + kServedName + ".minisig HTTP/1.1");
    EXPECT_EQ(requests[2].requestLine, "GET /program_download/" + kServedName + " HTTP/1.1");
    EXPECT_EQ(harness::ReadFile(OwnFile()), newUpdater);
    EXPECT_NE(
        harness::ReadFile(world.LogFile()).find("updater's own update: the updater is replaced"),
        std::string::npos);
    EXPECT_EQ(std::filesystem::status(OwnFile()).permissions(), std::filesystem::perms(0750));
    EXPECT_EQ(harness::ReadFile(platform::ReplacedProgramPath(OwnFile())), kOldUpdater);
    ASSERT_EQ(std::system(OwnFile().c_str()), 0);
    EXPECT_EQ(programs.Entries(),
              (std::vector<std::string>{"my-updater", "my-updater.old", "new-updater-ran.marker"}));

    // The next start removes the replaced file, but never what a link in its place points to.
    platform::RemoveReplacedProgram(OwnFile());
    EXPECT_FALSE(std::filesystem::exists(platform::ReplacedProgramPath(OwnFile())));
    std::filesystem::create_symlink(OwnFile(), platform::ReplacedProgramPath(OwnFile()));
    platform::RemoveReplacedProgram(OwnFile());
    EXPECT_TRUE(std::filesystem::is_symlink(platform::ReplacedProgramPath(OwnFile())));
    EXPECT_EQ(harness::ReadFile(OwnFile()), newUpdater);
}

TEST_F(SelfUpdate, AStoppedDownloadIsKeptAndTheNextAttemptAsksOnlyForTheRest) {
    const std::string newUpdater = testsupport::PatternBytes(600'000);
    const std::string signature =
        SignUpdater(newUpdater, "file:" + kServedName + "\tversion:1.1.0");
    const std::string etag = "\"updater-1.1.0\"";
    ScriptedReply stalling = ScriptedReply::FromByte(newUpdater, 0, etag);
    stalling.stallAfterBodyBytes = 400'000;
    server.Enqueue(ScriptedReply::Ok(signature));
    server.Enqueue(stalling);
    TSelfUpdateSettings settings;
    settings.OwnFile = OwnFile();
    settings.ServerFileName = kServedName;
    settings.OwnVersion = kOwn;
    settings.PublisherKey = publisher.PublicKey();
    settings.ServerBases = {server.Url("")};
    {
        TSelfUpdateThread stopped;
        stopped.Start(settings);
        // Two of the file's 128 KiB buffers on disk: bytes have arrived.
        ASSERT_TRUE(harness::ProcessEventsUntil([&] {
            for (const auto &entry : std::filesystem::directory_iterator(programs.Path()))
                if (entry.path().extension() == ".tmp" && entry.file_size() >= 262'144)
                    return true;
            return false;
        }));
        EXPECT_EQ(stopped.Finish(std::chrono::milliseconds(0)), TSelfUpdateOutcome::Cancelled);
    }
    EXPECT_EQ(programs.Entries(),
              (std::vector<std::string>{"my-updater", "my-updater.part", "my-updater.part.info"}));
    EXPECT_EQ(harness::ReadFile(OwnFile()), kOldUpdater);

    const auto kept = std::filesystem::file_size(programs.Path() / "my-updater.part");
    server.Enqueue(ScriptedReply::Ok(signature));
    server.Enqueue(ScriptedReply::FromByte(newUpdater, kept, etag));
    TSelfUpdateThread next;
    next.Start(settings);
    EXPECT_EQ(next.Finish(std::chrono::seconds(20)), TSelfUpdateOutcome::Replaced);
    EXPECT_EQ(server.Requests().back().Header("Range"), "bytes=" + std::to_string(kept) + "-");
    EXPECT_TRUE(harness::ReadFile(OwnFile()) == newUpdater);
}

TEST_F(SelfUpdate, AnythingButANewerUpdaterCostsOneRequestAndChangesNothing) {
    const std::string named = "file:" + kServedName + "\tversion:";
    const std::pair<std::string, TSelfUpdateOutcome> cases[] = {
        {named + "1.0.9", TSelfUpdateOutcome::NotNewer},
        {named + "0.99.99", TSelfUpdateOutcome::NotNewer},
        {named + "1.1", TSelfUpdateOutcome::Failed}, // a version must have three numbers
        {"file:" + kServedName + "\thashed", TSelfUpdateOutcome::Failed},
        {"file:Zorvane_Online_Sardel.exe\tversion:2.0.0", TSelfUpdateOutcome::Failed},
    };
    TIdHTTP http;
    TServerList servers({server.Url("")});
    std::size_t asked = 0;
    for (const auto &[comment, outcome] : cases) {
        SCOPED_TRACE(comment);
        server.Enqueue(ScriptedReply::Ok(SignUpdater("#!/bin/sh\n", comment)));
        EXPECT_EQ(UpdateSelf(http, servers, OwnFile(), kServedName, kOwn, publisher.PublicKey(),
                             nullptr, {}),
                  outcome);
        EXPECT_EQ(server.Requests().size(), ++asked);
        EXPECT_EQ(harness::ReadFile(OwnFile()), kOldUpdater);
        EXPECT_EQ(programs.Entries(), std::vector<std::string>{"my-updater"});
    }
    // A build without a key asks nothing.
    EXPECT_EQ(UpdateSelf(http, servers, OwnFile(), kServedName, kOwn, {}, nullptr, {}),
              TSelfUpdateOutcome::Failed);
    EXPECT_EQ(server.Requests().size(), asked);
}

} // namespace
