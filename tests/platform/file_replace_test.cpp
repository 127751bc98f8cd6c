#include "file_replace.h"
#include "own_files.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using harness::ReadFile;
using harness::WriteFile;

class FileReplace : public ::testing::Test {
protected:
    harness::ScratchFolder folder_;
    const fs::path target_ = folder_.Path() / "Zorvane_Online_Sardel.exe";
};

TEST_F(FileReplace, NewFileTakesThePlaceOfTheOldOrOfNothing) {
    const fs::path first = platform::CreateTemporaryFileBeside(target_);
    WriteFile(first, "first client");
    std::error_code error;
    ASSERT_TRUE(platform::ReplaceFileAtomically(first, target_, error)) << error.message();
    EXPECT_EQ(ReadFile(target_), "first client");
    EXPECT_FALSE(fs::exists(first));

    const fs::path second = platform::CreateTemporaryFileBeside(target_);
    WriteFile(second, std::string(100000, 'x'));
    ASSERT_TRUE(platform::ReplaceFileAtomically(second, target_, error)) << error.message();
    EXPECT_EQ(ReadFile(target_), std::string(100000, 'x'));
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"Zorvane_Online_Sardel.exe"});
}

TEST_F(FileReplace, FailureLeavesBothFilesAsTheyWere) {
    const fs::path temporary = platform::CreateTemporaryFileBeside(target_);
    WriteFile(temporary, "new");
    // A folder in the target's place cannot be replaced by a file.
    fs::create_directories(target_ / "inside");
    std::error_code error;
    EXPECT_FALSE(
        platform::ReplaceFileAtomically(temporary, target_, error, std::chrono::milliseconds(200)));
    EXPECT_TRUE(error);
    EXPECT_EQ(ReadFile(temporary), "new");
    EXPECT_TRUE(fs::is_directory(target_ / "inside"));

    EXPECT_FALSE(platform::ReplaceFileAtomically(folder_.Path() / "missing.part",
                                                 folder_.Path() / "other.exe", error,
                                                 std::chrono::milliseconds(0)));
    EXPECT_TRUE(error);
}

} // namespace
