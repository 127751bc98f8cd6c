// Ends real processes on this machine. Every name carries this test's process id, so nothing
// else running here can match.
#include "child_process.h"
#include "process_terminator.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::Child;
using namespace std::chrono_literals;

class TerminatorOnRealProcesses : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("terminator-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    /// A copy of sleep whose executable file is named `name`.
    std::string SleepNamed(const std::string &name) {
        const fs::path copy = folder_ / name;
        fs::copy_file(kSleep, copy, fs::copy_options::overwrite_existing);
        fs::permissions(copy, fs::perms::owner_all);
        return copy.string();
    }

    static bool Terminate(const std::string &name) {
        return platform::TerminateProcessByName(platform::SystemProcesses(),
                                                platform::Utf8ToUtf16(name));
    }

    static constexpr const char *kSleep = "/bin/sleep";
    const std::string pid_ = std::to_string(::getpid());
    fs::path folder_;
};

TEST_F(TerminatorOnRealProcesses, EndsEveryAsciiCaseVariantAndPathButNotLongerNames) {
    const std::string name = "notepad-" + pid_ + ".exe";
    std::string upper = name;
    for (char &c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    std::string capitalised = name;
    capitalised[0] = 'N';

    Child byArgv0(kSleep, name);
    Child byExecutable(SleepNamed(name), "sleeper");
    Child inCapitals(kSleep, upper);
    Child capitalFirst(kSleep, capitalised);
    Child byPath(kSleep, "/opt/games/" + name);
    Child containing(kSleep, "my" + name);

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
    Child asciiCapitals(kSleep, "NöTEPAD-" + pid_ + ".EXE");
    Child allCapitals(kSleep, "NÖTEPAD-" + pid_ + ".EXE");

    EXPECT_TRUE(Terminate(name));
    EXPECT_TRUE(asciiCapitals.WasKilled());
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(allCapitals.IsRunning());
}

TEST_F(TerminatorOnRealProcesses, TwoMatchesBothEndedAndNoMatchEndsNothing) {
    const std::string name = "zorvane-" + pid_ + ".exe";
    Child first(kSleep, name);
    Child second(kSleep, name);
    EXPECT_TRUE(Terminate(name));
    EXPECT_TRUE(first.WasKilled());
    EXPECT_TRUE(second.WasKilled());

    Child bystander(kSleep, "bystander-" + pid_ + ".exe");
    EXPECT_FALSE(Terminate("absent-" + pid_ + ".exe"));
    EXPECT_FALSE(Terminate(""));
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(bystander.IsRunning());
}

TEST(PosixProcessSeam, SnapshotListsThisProcessAndRefusesBadIds) {
    const auto snapshot = platform::SystemProcesses().Snapshot();
    ASSERT_TRUE(snapshot.has_value());
    const auto self = std::uint32_t(::getpid());
    EXPECT_NE(std::find_if(snapshot->begin(), snapshot->end(),
                           [&](const platform::ProcessEntry &e) { return e.ProcessId == self; }),
              snapshot->end());
    EXPECT_FALSE(platform::SystemProcesses().Terminate(0));
    EXPECT_FALSE(platform::SystemProcesses().Terminate(0xFFFFFFFFu));
}

} // namespace
