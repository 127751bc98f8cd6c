// ShellExecuteW "open" starting a program, as the update starts the new client.
#include "process_terminator.h"
#include "shell_seam.h"
#include "win32_test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class ShellOnWindows : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = win32_test::MakeFolder(L"shell");
        client_ = folder_ / L"Zorvane_Online_Sardel.exe";
        fs::copy_file(win32_test::ExecutableFolder() / L"win32_test_sleeper.exe", client_);
        marker_ = fs::path(client_) += L".started";
        // Never end a client that this test did not start.
        if (win32_test::AnyProcessNamed(u"Zorvane_Online_Sardel.exe")) {
            skipped_ = true;
            GTEST_SKIP() << "a client is already running on this machine";
        }
    }
    void TearDown() override {
        if (!skipped_)
            platform::TerminateProcessByName(platform::SystemProcesses(),
                                             u"Zorvane_Online_Sardel.exe");
        win32_test::RemoveFolder(folder_);
    }

    fs::path folder_;
    fs::path client_;
    fs::path marker_;
    bool skipped_ = false;
};

TEST_F(ShellOnWindows, OpenStartsAProgramByItsPath) {
    const std::wstring path = client_.wstring();
    EXPECT_TRUE(platform::SystemShell().Open(std::u16string(path.begin(), path.end())));
    EXPECT_TRUE(win32_test::WaitForFile(marker_));
}

TEST_F(ShellOnWindows, OpenStartsTheClientByItsBareNameFromTheCurrentFolder) {
    const fs::path previous = fs::current_path();
    fs::current_path(folder_);
    const bool opened = platform::SystemShell().Open(u"Zorvane_Online_Sardel.exe");
    fs::current_path(previous);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(win32_test::WaitForFile(marker_));
}

TEST_F(ShellOnWindows, OpenOfAMissingProgramIsRefused) {
    const std::wstring path = (folder_ / L"absent.exe").wstring();
    EXPECT_FALSE(platform::SystemShell().Open(std::u16string(path.begin(), path.end())));
    EXPECT_FALSE(fs::exists(fs::path(path) += L".started"));
}

} // namespace
