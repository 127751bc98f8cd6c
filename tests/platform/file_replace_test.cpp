#include "file_replace.h"
#include "own_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path &file, const std::string &bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

class FileReplace : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("replace-" + std::to_string(std::hash<std::string>{}(
                              ::testing::UnitTest::GetInstance()->current_test_info()->name())));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        target_ = folder_ / "Zorvane_Online_Sardel.exe";
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
    fs::path target_;
};

TEST_F(FileReplace, NewFileTakesThePlaceOfTheOldOrOfNothing) {
    const fs::path first = platform::CreateTemporaryFileBeside(target_);
    WriteAll(first, "first client");
    std::error_code error;
    ASSERT_TRUE(platform::ReplaceFileAtomically(first, target_, error)) << error.message();
    EXPECT_EQ(ReadAll(target_), "first client");
    EXPECT_FALSE(fs::exists(first));

    const fs::path second = platform::CreateTemporaryFileBeside(target_);
    WriteAll(second, std::string(100000, 'x'));
    ASSERT_TRUE(platform::ReplaceFileAtomically(second, target_, error)) << error.message();
    EXPECT_EQ(ReadAll(target_), std::string(100000, 'x'));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(FileReplace, FailureLeavesBothFilesAsTheyWere) {
    const fs::path temporary = platform::CreateTemporaryFileBeside(target_);
    WriteAll(temporary, "new");
    // A folder in the target's place cannot be replaced by a file.
    fs::create_directories(target_ / "inside");
    std::error_code error;
    EXPECT_FALSE(
        platform::ReplaceFileAtomically(temporary, target_, error, std::chrono::milliseconds(200)));
    EXPECT_TRUE(error);
    EXPECT_EQ(ReadAll(temporary), "new");
    EXPECT_TRUE(fs::is_directory(target_ / "inside"));

    EXPECT_FALSE(platform::ReplaceFileAtomically(folder_ / "missing.part", folder_ / "other.exe",
                                                 error, std::chrono::milliseconds(0)));
    EXPECT_TRUE(error);
}

} // namespace
