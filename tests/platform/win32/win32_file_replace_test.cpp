// MoveFileExW with replace-existing and write-through, against a target that another handle or
// a running program holds.
#include "file_replace.h"
#include "own_files.h"
#include "process_terminator.h"
#include "scratch_folder.h"
#include "win32_test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using harness::ReadFile;
using harness::WriteFile;
using namespace std::chrono_literals;

/// The target opened for reading, shared for reading and writing but not for deleting, as a
/// program that still uses the file would hold it.
class HeldOpen {
public:
    explicit HeldOpen(const fs::path &file)
        : handle_(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    HeldOpen(const HeldOpen &) = delete;
    HeldOpen &operator=(const HeldOpen &) = delete;
    ~HeldOpen() { Release(); }

    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (Held())
            ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

class ReplaceOnWindows : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = win32_test::MakeFolder(L"replace");
        target_ = folder_ / L"Zorvane_Online_Sardel.exe";
        WriteFile(target_, old_);
        temporary_ = platform::CreateTemporaryFileBeside(target_);
        WriteFile(temporary_, new_);
    }
    void TearDown() override { win32_test::RemoveFolder(folder_); }

    const std::string old_ = std::string("old client\0\r\n", 13) + std::string(4096, 'o');
    const std::string new_ = std::string("new client\0\r\n", 13) + std::string(8192, 'n');
    fs::path folder_;
    fs::path target_;
    fs::path temporary_;
};

TEST_F(ReplaceOnWindows, TargetHeldWithoutDeleteSharingFailsCleanly) {
    HeldOpen holder(target_);
    ASSERT_TRUE(holder.Held());
    std::error_code error;
    EXPECT_FALSE(platform::ReplaceFileAtomically(temporary_, target_, error, 300ms));
    EXPECT_TRUE(error.value() == ERROR_SHARING_VIOLATION || error.value() == ERROR_ACCESS_DENIED)
        << error.value() << " " << error.message();
    EXPECT_EQ(ReadFile(target_), old_);
    EXPECT_EQ(ReadFile(temporary_), new_);
}

TEST_F(ReplaceOnWindows, RetriesUntilTheHolderLetsGo) {
    HeldOpen holder(target_);
    ASSERT_TRUE(holder.Held());
    std::thread release([&] {
        std::this_thread::sleep_for(300ms);
        holder.Release();
    });
    std::error_code error;
    const bool replaced = platform::ReplaceFileAtomically(temporary_, target_, error);
    release.join();
    ASSERT_TRUE(replaced) << error.message();
    EXPECT_EQ(ReadFile(target_), new_);
    EXPECT_FALSE(fs::exists(temporary_));
}

TEST_F(ReplaceOnWindows, ReplacesTheClientThatWasJustEnded) {
    if (win32_test::AnyProcessNamed(u"Zorvane_Online_Sardel.exe"))
        GTEST_SKIP() << "a client is already running on this machine";
    fs::copy_file(win32_test::ExecutableFolder() / L"win32_test_sleeper.exe", target_,
                  fs::copy_options::overwrite_existing);
    win32_test::StartedProcess client(target_);
    ASSERT_TRUE(client.Started());
    ASSERT_TRUE(win32_test::WaitForFile(fs::path(target_) += L".started"));

    // As the update does it: end the client without waiting, then replace at once.
    EXPECT_TRUE(platform::TerminateProcessByName(platform::SystemProcesses(),
                                                 u"Zorvane_Online_Sardel.exe"));
    std::error_code error;
    ASSERT_TRUE(platform::ReplaceFileAtomically(temporary_, target_, error)) << error.message();
    EXPECT_EQ(ReadFile(target_), new_);
    EXPECT_TRUE(client.EndedWith(0));
}

} // namespace
