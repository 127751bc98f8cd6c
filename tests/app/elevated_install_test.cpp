// A client folder the player cannot write: the window downloads and verifies with the player's
// rights, then the updater's elevated copy (its real entry, a child process with root's rights)
// installs. The test process plays the player by taking "nobody" as its effective user, so it
// needs root; the copy keeps "nobody" as its real user, as a program run with an
// administrator's rights keeps the player's identity.
#include "elevated_copy.h"
#include "minisign_tool.h"
#include "server_window_fixture.h"
#include "staged_install.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

extern char **environ;

namespace {

using testsupport::ScriptedReply;

/// Starts the program as a child of the player's with root's rights unless told otherwise, and
/// waits for it.
class ChildElevation final : public platform::ElevationSeam {
public:
    uid_t player = 0;
    bool decline = false;
    bool grant = true;
    std::vector<std::string> environment;
    /// What another process of the player's does to the staged files before the copy starts.
    std::function<void()> beforeStart;
    std::atomic<int> requests{0};

    bool Available() override { return true; }
    platform::ElevatedRun RunElevated(const std::filesystem::path &program,
                                      const std::u16string &argument,
                                      const std::filesystem::path &folder, std::uintptr_t,
                                      std::stop_token) override {
        ++requests;
        platform::ElevatedRun run;
        if (decline)
            return run;
        if (beforeStart)
            beforeStart();
        const std::string text(argument.begin(), argument.end());
        std::vector<char *> argv{const_cast<char *>(program.c_str()),
                                 const_cast<char *>(text.c_str()), nullptr};
        std::vector<char *> envp;
        for (std::string &entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            // Granted: root's rights for the player; otherwise only the player's.
            if (::setresuid(player, grant ? 0 : player, grant ? 0 : player) != 0 ||
                ::chdir(folder.c_str()) != 0)
                ::_exit(126);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        run.End = platform::ElevatedRun::TEnd::Exited;
        run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        return run;
    }
};

class ElevatedInstall : public harness::ServerWindowTest {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "playing the player and the administrator needs root";
        ServerWindowTest::SetUp();
        elevation.player = ::getpwnam("nobody")->pw_uid;
        std::filesystem::create_directory(stateFolder);
        ASSERT_EQ(::chown(stateFolder.c_str(), elevation.player, ~gid_t(0)), 0);
        for (char **entry = environ; *entry; ++entry)
            if (std::string_view(*entry).find("XDG_STATE_HOME=") != 0)
                elevation.environment.emplace_back(*entry);
        elevation.environment.push_back("XDG_STATE_HOME=" + world.state.Path().string());
        elevation.environment.push_back("ZORVANE_TEST_PUBLISHER_KEY=" + publisher.PublicKey());
    }

    /// A new window whose press finds `body` published, signed by the publisher.
    void Publish(const std::string &body) {
        UpdaterServices services = Services();
        services.PublisherKey = publisher.PublicKey();
        services.StateFolder = stateFolder;
        services.Log = std::make_shared<platform::SupportLog>(stateFolder / "updater.log");
        services.Elevation = &elevation;
        services.OwnProgram = ZORVANE_ELEVATED_COPY;
        form = std::make_unique<TForm1>(std::move(services));
        server.Enqueue(ScriptedReply::Ok(publisher.SignBytes(body), "text/plain"));
        server.Enqueue(ScriptedReply::Ok(body));
    }

    /// Presses as the player: its writes in root's folders are refused.
    void PressAsPlayer() {
        ASSERT_EQ(::seteuid(elevation.player), 0);
        const bool ended = harness::PressAndWaitForTheRunToEnd(*form);
        ASSERT_EQ(::seteuid(0), 0);
        ASSERT_TRUE(ended);
    }

    std::string Staged() const {
        return harness::ReadFile(StagedClientIn(stateFolder, ClientFile()).File);
    }

    harness::MinisignKey publisher;
    ChildElevation elevation;
    const std::filesystem::path stateFolder = world.state.Path() / "zorvane";
    const std::string body = testsupport::PatternBytes(300'001);
};

TEST_F(ElevatedInstall, TheElevatedCopyInstallsOnceAndTheWindowStartsTheClient) {
    Publish(body);
    PressAsPlayer();
    EXPECT_EQ(harness::ReadFile(ClientFile()), body);
    EXPECT_EQ(elevation.requests, 1);
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].Kind, TMessageKind::Information);
    ASSERT_TRUE(harness::ProcessEventsUntil([&] { return world.shell.Opened().size() == 2; }));
    EXPECT_EQ(world.shell.Opened()[1].toStdString(), ClientFile().string()) << "started from here";
    EXPECT_FALSE(std::filesystem::exists(StagedClientIn(stateFolder, ClientFile()).File));
    const std::string log = harness::ReadFile(stateFolder / "updater.log");
    EXPECT_NE(log.find("asking for an elevated copy"), std::string::npos) << log;
    EXPECT_NE(log.find("status 0: installed the new client"), std::string::npos) << log;

    // The same bytes again are up to date: nothing to install, no elevation.
    world.messages.shown.clear();
    Publish(body);
    PressAsPlayer();
    EXPECT_EQ(elevation.requests, 1);
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].Kind, TMessageKind::Information);
}

TEST_F(ElevatedInstall, EveryWayTheCopyCannotInstallLeavesTheOldClientAndWarnsOnce) {
    const auto staged = StagedClientIn(stateFolder, ClientFile());
    // Root's own file: the player may point a link at it, never make the copy read it.
    const auto rootsFile = world.state.Path() / "roots-file";
    const struct {
        const char *what;
        std::function<void(const std::string &next)> arrange;
        QString warning;
        const char *logged;
    } cases[] = {
        {"declined", [&](auto &) { elevation.decline = true; }, WindowText::ReplaceFailed(),
         "not started"},
        {"still not writable", [&](auto &) { elevation.grant = false; },
         WindowText::ReplaceFailed(), "status 84"},
        {"staged client changed after its check",
         [&](auto &) {
             elevation.beforeStart = [&] { harness::WriteFile(staged.File, Staged() + "x"); };
         },
         WindowText::NotAuthentic(), "status 83"},
        {"staged client a link to root's file",
         [&](const std::string &next) {
             harness::WriteFile(rootsFile, next);
             elevation.beforeStart = [&] {
                 std::filesystem::remove(staged.File);
                 std::filesystem::create_symlink(rootsFile, staged.File);
             };
         },
         WindowText::ReplaceFailed(), "status 82"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string next = testsupport::PatternBytes(5'000) + c.what;
        elevation.decline = false;
        elevation.grant = true;
        elevation.beforeStart = {};
        elevation.requests = 0;
        c.arrange(next);
        world.messages.shown.clear();
        Publish(next);
        PressAsPlayer();
        harness::ExpectFailedRun(*form, world, folder, kOldClient, c.warning);
        EXPECT_EQ(elevation.requests, 1);
        const std::string log = harness::ReadFile(stateFolder / "updater.log");
        EXPECT_NE(log.rfind(c.logged), std::string::npos) << log;
        EXPECT_FALSE(std::filesystem::exists(staged.File));
    }
}

TEST_F(ElevatedInstall, TheCopyTakesNoPathFromItsArguments) {
    std::string program = "zorvane-updater", argument = ElevatedCopyArgument, path = "/tmp";
    char *withPath[] = {program.data(), argument.data(), path.data(), nullptr};
    EXPECT_EQ(RunElevatedCopyIfAsked(3, withPath, publisher.PublicKey()),
              int(TStagedInstallStatus::BadRequest));
    char *plain[] = {program.data(), nullptr};
    EXPECT_EQ(RunElevatedCopyIfAsked(1, plain), std::nullopt) << "no argument: the window";
    EXPECT_EQ(harness::ReadFile(ClientFile()), kOldClient);
}

} // namespace
