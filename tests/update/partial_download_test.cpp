// What the engine leaves in the client's folder: a broken download kept as "<client>.part" with
// its info, taken over only when everything recorded still holds, and temporary names that never
// meet.
#include "own_files.h"
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
    const auto temporary = platform::CreateTemporaryFileBeside(target);
    WriteFile(temporary, "first half");
    ASSERT_TRUE(KeepPartialDownload(temporary, target, {kUrl, "\"v1\"", 20, 10}));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"Zorvane_Online_Sardel.exe.part",
                                                          "Zorvane_Online_Sardel.exe.part.info"}));

    const auto claimedInto = platform::CreateTemporaryFileBeside(target);
    const auto claimed = ClaimPartialDownload(target, kUrl, claimedInto);
    ASSERT_TRUE(claimed);
    EXPECT_EQ(claimed->Validator, "\"v1\"");
    EXPECT_EQ(claimed->Length, 20);
    EXPECT_EQ(claimed->Size, 10);
    EXPECT_EQ(ReadFile(claimedInto), "first half");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{claimedInto.filename().string()});
    EXPECT_FALSE(ClaimPartialDownload(target, kUrl, platform::CreateTemporaryFileBeside(target)));
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
        const auto temporary = platform::CreateTemporaryFileBeside(target);
        WriteFile(temporary, "first half");
        ASSERT_TRUE(KeepPartialDownload(temporary, target, {kUrl, "\"v1\"", 20, 10}));
        WriteFile(PartialPathOf(target), changed.bytes);
        if (!changed.info.empty())
            WriteFile(target.string() + ".part.info", changed.info);

        const auto into = platform::CreateTemporaryFileBeside(target);
        EXPECT_FALSE(ClaimPartialDownload(target, changed.url, into)) << changed.what;
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{into.filename().string()})
            << changed.what;
    }
}

TEST(PartialDownload, APlantedLinkOrSharedFileIsNeverContinuedAndItsTargetStaysUntouched) {
    harness::ScratchFolder folder;
    harness::ScratchFolder elsewhere;
    const auto target = folder.Path() / "Zorvane_Online_Sardel.exe";
    const auto victim = elsewhere.Path() / "victim";
    WriteFile(victim, "first half");
    for (const bool hardLink : {false, true}) {
        const auto temporary = platform::CreateTemporaryFileBeside(target);
        WriteFile(temporary, "first half");
        ASSERT_TRUE(KeepPartialDownload(temporary, target, {kUrl, "\"v1\"", 20, 10}));
        std::filesystem::remove(PartialPathOf(target));
        std::error_code error;
        if (hardLink)
            std::filesystem::create_hard_link(victim, PartialPathOf(target), error);
        else
            std::filesystem::create_symlink(victim, PartialPathOf(target), error);
        if (error)
            GTEST_SKIP() << "this system makes no links here: " << error.message();

        const auto into = platform::CreateTemporaryFileBeside(target);
        EXPECT_FALSE(ClaimPartialDownload(target, kUrl, into)) << hardLink;
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{into.filename().string()});
        std::filesystem::remove(into);
        EXPECT_EQ(ReadFile(victim), "first half");
    }
}

TEST(PartialDownload, RefusesToKeepWhatCouldNotBeContinued) {
    harness::ScratchFolder folder;
    const auto target = folder.Path() / "Zorvane_Online_Sardel.exe";
    for (const TPartialDownload &info :
         {TPartialDownload{kUrl, "", 20, 10}, TPartialDownload{kUrl, "\"v1\"\r\nX: y", 20, 10},
          TPartialDownload{kUrl, "\"v1\"", 10, 10}, TPartialDownload{kUrl, "\"v1\"", 20, 0}}) {
        const auto temporary = platform::CreateTemporaryFileBeside(target);
        WriteFile(temporary, "first half");
        EXPECT_FALSE(KeepPartialDownload(temporary, target, info)) << info.Validator;
        std::filesystem::remove(temporary);
        EXPECT_TRUE(folder.Entries().empty()) << info.Validator;
    }
}

TEST(PartialDownload, ResumesOnlyWithAValidatorThatTellsTwoFilesApart) {
    const std::string modified = "Tue, 01 Dec 2026 10:00:00 GMT";
    const struct {
        const char *etag;
        const char *lastModified;
        const char *date;
        const char *validator;
    } cases[] = {
        {"\"5f-a1\"", "", "", "\"5f-a1\""},
        {"W/\"5f-a1\"", modified.c_str(), "Tue, 01 Dec 2026 12:00:00 GMT", ""},
        {"", modified.c_str(), "Tue, 01 Dec 2026 10:01:00 GMT", modified.c_str()},
        {"", modified.c_str(), "Tue, 01 Dec 2026 10:00:59 GMT", ""},
        {"", modified.c_str(), "", ""},
        {"", "Tuesday, 01-Dec-26 10:00:00 GMT", "Wed, 02 Dec 2026 10:00:00 GMT", ""},
    };
    for (const auto &reply : cases)
        EXPECT_EQ(ResumeValidator(reply.etag, reply.lastModified, reply.date), reply.validator)
            << reply.etag << " | " << reply.lastModified << " | " << reply.date;
    EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), 784111777);
    EXPECT_EQ(ParseHttpDate("Thu, 29 Feb 2024 23:59:59 GMT"), 1709251199);
}

TEST(TemporaryFiles, AreNewFilesOfUnguessableNamesAndOnlyTheirLeftoversAreCleared) {
    harness::ScratchFolder folder;
    const auto target = folder.Path() / "Zorvane_Online_Sardel.exe";
    std::set<std::filesystem::path> names;
    for (int i = 0; i < 100; ++i) {
        const auto name = platform::CreateTemporaryFileBeside(target);
        EXPECT_EQ(name.parent_path(), target.parent_path());
        EXPECT_TRUE(platform::IsTemporaryNameOf(name, target)) << name;
        EXPECT_TRUE(platform::IsOwnPlainFile(name)) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 100u);
    const auto companion = platform::CreateTemporaryFileBeside(target.string() + ".part.info");
    EXPECT_TRUE(platform::IsTemporaryNameOf(companion, target)) << companion;

    // Whatever is not of our naming stays: the client, its partial file, look-alikes.
    for (const char *kept :
         {"Zorvane_Online_Sardel.exe", "Zorvane_Online_Sardel.exe.part",
          "Zorvane_Online_Sardel.exe.0123456789abcdeX.tmp", "Other.exe.0123456789abcdef.tmp"})
        WriteFile(folder.Path() / kept, "keep");
    platform::RemoveLeftoverTemporaryFiles(target);
    EXPECT_EQ(folder.Entries().size(), 4u);
}

} // namespace
