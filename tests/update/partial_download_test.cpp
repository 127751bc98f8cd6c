// What the engine leaves in the client's folder: a broken download kept as "<client>.part" with
// its info, taken over only when everything recorded still holds, and temporary names that never
// meet.
#include "file_replace.h"
#include "partial_download.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using harness::ReadFile;
using harness::WriteFile;

constexpr const char *kUrl = "http://127.0.0.1:1/program_download/Zorvane_Online_Sardel.exe";

TEST(PartialDownload, KeptBytesAreClaimedOnceForTheSameAddressAndNothingIsLeftBehind) {
    harness::ScratchFolder folder;
    const auto target = folder.Path() / "Zorvane_Online_Sardel.exe";
    const auto temporary = platform::TemporaryPathBeside(target);
    WriteFile(temporary, "first half");
    ASSERT_TRUE(KeepPartialDownload(temporary, target, {kUrl, "\"v1\"", 20, 10}));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"Zorvane_Online_Sardel.exe.part",
                                                         "Zorvane_Online_Sardel.exe.part.info"}));

    const auto claimedInto = platform::TemporaryPathBeside(target);
    const auto claimed = ClaimPartialDownload(target, kUrl, claimedInto);
    ASSERT_TRUE(claimed);
    EXPECT_EQ(claimed->Validator, "\"v1\"");
    EXPECT_EQ(claimed->Length, 20);
    EXPECT_EQ(claimed->Size, 10);
    EXPECT_EQ(ReadFile(claimedInto), "first half");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{claimedInto.filename().string()});
    EXPECT_FALSE(ClaimPartialDownload(target, kUrl, platform::TemporaryPathBeside(target)));
}

TEST(PartialDownload, AnythingThatNoLongerMatchesIsDiscardedInsteadOfContinued) {
    const struct {
        const char *what;
        std::string url;
        std::string bytes;
        std::string info; ///< replaces the written info when not empty
    } cases[] = {
        {"another address", std::string(kUrl) + "2", "first half", ""},
        {"grown since it was kept", kUrl, "first half and more", ""},
        {"an info file of another program", kUrl, "first half", "something else\n"},
        {"an info file far too large", kUrl, "first half", std::string(100'000, 'x')},
        {"a length the bytes already reach", kUrl, "first half",
         "zorvane partial download 1\n" + std::string(kUrl) + "\n\"v1\"\n10\n10\n"},
    };
    for (const auto &changed : cases) {
        harness::ScratchFolder folder;
        const auto target = folder.Path() / "Zorvane_Online_Sardel.exe";
        const auto temporary = platform::TemporaryPathBeside(target);
        WriteFile(temporary, "first half");
        ASSERT_TRUE(KeepPartialDownload(temporary, target, {kUrl, "\"v1\"", 20, 10}));
        WriteFile(PartialPathOf(target), changed.bytes);
        if (!changed.info.empty())
            WriteFile(target.string() + ".part.info", changed.info);

        EXPECT_FALSE(ClaimPartialDownload(target, changed.url,
                                          platform::TemporaryPathBeside(target)))
            << changed.what;
        EXPECT_TRUE(folder.Entries().empty()) << changed.what;
    }
}

TEST(PartialDownload, RefusesToKeepWhatCouldNotBeContinued) {
    harness::ScratchFolder folder;
    const auto target = folder.Path() / "Zorvane_Online_Sardel.exe";
    for (const TPartialDownload &info :
         {TPartialDownload{kUrl, "", 20, 10}, TPartialDownload{kUrl, "\"v1\"\r\nX: y", 20, 10},
          TPartialDownload{kUrl, "\"v1\"", 10, 10}, TPartialDownload{kUrl, "\"v1\"", 20, 0}}) {
        const auto temporary = platform::TemporaryPathBeside(target);
        WriteFile(temporary, "first half");
        EXPECT_FALSE(KeepPartialDownload(temporary, target, info)) << info.Validator;
        std::filesystem::remove(temporary);
        EXPECT_TRUE(folder.Entries().empty()) << info.Validator;
    }
}

TEST(TemporaryFiles, NamesBesideTheClientNeverRepeat) {
    const std::filesystem::path target = "folder/Zorvane_Online_Sardel.exe";
    std::set<std::filesystem::path> names;
    for (int i = 0; i < 1000; ++i) {
        const auto name = platform::TemporaryPathBeside(target);
        EXPECT_EQ(name.parent_path(), target.parent_path());
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 1000u);
}

} // namespace
