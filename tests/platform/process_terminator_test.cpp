// Ends real processes on this machine. Every name carries this test's process id, so nothing
// else running here can match.
#include "child_process.h"
#include "process_terminator.h"
#include "scratch_folder.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using testsupport::Child;
using namespace std::chrono_literals;

class TerminatorOnRealProcesses : public ::testing::Test {
protected:
    /// A copy of sleep whose executable file is named `name`, made once (it may be running).
    std::string SleepNamed(const std::string &name) {
        const fs::path copy = folder_.Path() / name;
        if (!fs::exists(copy))
            fs::copy_file(kSleep, copy);
        fs::permissions(copy, fs::perms::owner_all);
        return copy.string();
    }
    /// A copy of sleep named like Wine's loader, whose argv[0] names the program it runs.
    std::string WineLoader() { return SleepNamed("wine64-preloader"); }

    static bool Terminate(const std::string &name) {
        return platform::TerminateProcessByName(platform::SystemProcesses(),
                                                platform::Utf8ToUtf16(name));
    }

    static constexpr const char *kSleep = "/bin/sleep";
    const std::string pid_ = std::to_string(::getpid());
    harness::ScratchFolder folder_;
};

TEST_F(TerminatorOnRealProcesses, EndsEveryAsciiCaseVariantAndPathButNotLongerNames) {
    const std::string name = "notepad-" + pid_ + ".exe";
    std::string upper = name;
    for (char &c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    std::string capitalised = name;
    capitalised[0] = 'N';

    Child byArgv0(WineLoader(), name);
    Child byExecutable(SleepNamed(name), "sleeper");
    Child inCapitals(WineLoader(), upper);
    Child capitalFirst(WineLoader(), capitalised);
    Child byPath(WineLoader(), "/opt/games/" + name);
    Child containing(WineLoader(), "my" + name);

    EXPECT_TRUE(Terminate(name));
    EXPECT_TRUE(byArgv0.WasKilled());
    EXPECT_TRUE(byExecutable.WasKilled());
    EXPECT_TRUE(inCapitals.WasKilled());
    EXPECT_TRUE(capitalFirst.WasKilled());
    EXPECT_TRUE(byPath.WasKilled());
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(containing.IsRunning());
}

TEST_F(TerminatorOnRealProcesses, NonAsciiLettersMustMatchExactly) {
    const std::string name = "nötepad-" + pid_ + ".exe";
    Child asciiCapitals(WineLoader(), "NöTEPAD-" + pid_ + ".EXE");
    Child allCapitals(WineLoader(), "NÖTEPAD-" + pid_ + ".EXE");

    EXPECT_TRUE(Terminate(name));
    EXPECT_TRUE(asciiCapitals.WasKilled());
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(allCapitals.IsRunning());
}

TEST_F(TerminatorOnRealProcesses, TwoMatchesBothEndedAndNoMatchEndsNothing) {
    const std::string name = "zorvane-" + pid_ + ".exe";
    Child first(WineLoader(), name);
    Child second(SleepNamed(name), "sleeper");
    EXPECT_TRUE(Terminate(name));
    EXPECT_TRUE(first.WasKilled());
    EXPECT_TRUE(second.WasKilled());

    Child bystander(kSleep, "bystander-" + pid_ + ".exe");
    EXPECT_FALSE(Terminate("absent-" + pid_ + ".exe"));
    EXPECT_FALSE(Terminate(""));
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(bystander.IsRunning());
}

TEST_F(TerminatorOnRealProcesses, Argv0NamesOnlyAWineProgramAndAColonCutsOnlyADrivePrefix) {
    const std::string name = "zorvane-" + pid_ + ".exe";
    Child byWindowsPath(WineLoader(), "C:\\games\\" + name);
    Child byDrive(WineLoader(), "Z:" + name);
    Child notWine(kSleep, name);
    Child colonInFileName(SleepNamed("v2:" + name), "sleeper");
    EXPECT_TRUE(Terminate(name));
    EXPECT_TRUE(byWindowsPath.WasKilled());
    EXPECT_TRUE(byDrive.WasKilled());
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(notWine.IsRunning());
    EXPECT_TRUE(colonInFileName.IsRunning());
}

TEST_F(TerminatorOnRealProcesses, AnIdNoLongerUnderTheSnapshotsNameIsNotEnded) {
    const std::string name = "other-" + pid_;
    Child other(SleepNamed(name), "sleeper");
    // The snapshot saw the client under this id; the id has gone to another process since.
    auto &processes = platform::SystemProcesses();
    EXPECT_FALSE(processes.Terminate({other.Id(), u"Zorvane_Online_Sardel.exe"}));
    EXPECT_TRUE(other.IsRunning());
    EXPECT_TRUE(processes.Terminate({other.Id(), platform::Utf8ToUtf16(name)}));
    EXPECT_TRUE(other.WasKilled());
}

TEST(PosixProcessSeam, SnapshotListsThisProcessAndRefusesBadIds) {
    const auto snapshot = platform::SystemProcesses().Snapshot();
    ASSERT_TRUE(snapshot.has_value());
    const auto self = std::uint32_t(::getpid());
    EXPECT_NE(std::find_if(snapshot->begin(), snapshot->end(),
                           [&](const platform::ProcessEntry &e) { return e.ProcessId == self; }),
              snapshot->end());
    EXPECT_FALSE(platform::SystemProcesses().Terminate({0, u"x"}));
    EXPECT_FALSE(platform::SystemProcesses().Terminate({0xFFFFFFFFu, u"x"}));
}

} // namespace
