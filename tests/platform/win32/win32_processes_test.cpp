// Tool Help and OpenProcess/TerminateProcess against real processes: copies of a small helper
// program started under the client's name, and the system's own notepad. A test that would end a
// process it did not start (a real client or notepad already running) is skipped.
#include "process_terminator.h"
#include "win32_test_support.h"

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using win32_test::StartedProcess;

const std::u16string kClient = u"Zorvane_Online_Sardel.exe";

bool Terminate(const std::u16string &name) {
    return platform::TerminateProcessByName(platform::SystemProcesses(), name);
}

class TerminatorOnWindows : public ::testing::Test {
protected:
    void SetUp() override { folder_ = win32_test::MakeFolder(L"terminator"); }
    void TearDown() override { win32_test::RemoveFolder(folder_); }

    /// A copy of the helper program named `name`.
    fs::path HelperNamed(const std::wstring &name) {
        const fs::path copy = folder_ / name;
        fs::copy_file(win32_test::ExecutableFolder() / L"win32_test_sleeper.exe", copy,
                      fs::copy_options::overwrite_existing);
        return copy;
    }

    fs::path folder_;
};

TEST(ToolHelpEntry, SizeFieldMustCoverTheWholeWideEntry) {
    // The wide entry is 556 bytes in a 32-bit process; in a 64-bit one it is wider, and a walk
    // with the size field at 556 is refused there.
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32W entry{};
    entry.dwSize = 556;
    const bool shortSizeAccepted = ::Process32FirstW(snapshot, &entry) != FALSE;
    entry.dwSize = sizeof entry;
    const bool fullSizeAccepted = ::Process32FirstW(snapshot, &entry) != FALSE;
    ::CloseHandle(snapshot);
#ifdef _WIN64
    EXPECT_EQ(sizeof entry, 568u);
    EXPECT_FALSE(shortSizeAccepted);
#else
    EXPECT_EQ(sizeof entry, 556u);
    EXPECT_TRUE(shortSizeAccepted);
#endif
    EXPECT_TRUE(fullSizeAccepted);
}

TEST(ToolHelpEntry, SnapshotHoldsThisProcessUnderItsFileName) {
    const auto snapshot = platform::SystemProcesses().Snapshot();
    ASSERT_TRUE(snapshot.has_value());
    const auto self = std::find_if(snapshot->begin(), snapshot->end(), [](const auto &entry) {
        return entry.ProcessId == ::GetCurrentProcessId();
    });
    ASSERT_NE(self, snapshot->end());
    EXPECT_EQ(self->ExeFile, u"win32_seam_tests.exe");
}

TEST_F(TerminatorOnWindows, EndsEveryCopyOfTheClientInAnyAsciiCaseAndNothingElse) {
    if (win32_test::AnyProcessNamed(kClient))
        GTEST_SKIP() << "a client is already running on this machine";
    const fs::path client = HelperNamed(L"Zorvane_Online_Sardel.exe");
    StartedProcess first(client);
    StartedProcess second(client);
    StartedProcess bystander(HelperNamed(L"My_Zorvane_Online_Sardel.exe"));
    ASSERT_TRUE(first.Started() && second.Started() && bystander.Started());

    EXPECT_TRUE(Terminate(u"zorvane_online_SARDEL.EXE"));
    EXPECT_TRUE(first.EndedWith(0));
    EXPECT_TRUE(second.EndedWith(0));
    EXPECT_TRUE(bystander.IsRunning());

    EXPECT_FALSE(Terminate(kClient)) << "nothing left to end";
}

TEST_F(TerminatorOnWindows, NonAsciiLettersMustMatchExactly) {
    // "é" (U+00E9) and "É" (U+00C9) differ only in case, outside ASCII.
    const fs::path helper = HelperNamed(L"\u00e9diteur_zorvane.exe");
    if (win32_test::AnyProcessNamed(u"\u00e9diteur_zorvane.exe"))
        GTEST_SKIP() << "a process of the test's name is already running";
    StartedProcess process(helper);
    ASSERT_TRUE(process.Started());

    EXPECT_FALSE(Terminate(u"\u00c9DITEUR_ZORVANE.EXE"));
    EXPECT_TRUE(process.IsRunning());
    EXPECT_TRUE(Terminate(u"\u00e9DITEUR_ZORVANE.EXE"));
    EXPECT_TRUE(process.EndedWith(0));
}

TEST_F(TerminatorOnWindows, EndsTheSystemNotepadStartedHidden) {
    if (win32_test::AnyProcessNamed(u"notepad.exe"))
        GTEST_SKIP() << "a notepad is already running on this machine";
    std::wstring system(MAX_PATH, L'\0');
    system.resize(::GetSystemDirectoryW(system.data(), UINT(system.size())));
    StartedProcess notepad(fs::path(system) / L"notepad.exe");
    ASSERT_TRUE(notepad.Started());

    EXPECT_TRUE(Terminate(u"NOTEPAD.EXE"));
    EXPECT_TRUE(notepad.EndedWith(0));
}

TEST_F(TerminatorOnWindows, AnIdNoLongerUnderTheSnapshotsNameIsNotEnded) {
    StartedProcess other(HelperNamed(L"zorvane_other_program.exe"));
    ASSERT_TRUE(other.Started());
    // The snapshot saw the client under this id; the id has gone to another process since.
    auto &processes = platform::SystemProcesses();
    EXPECT_FALSE(processes.Terminate({other.Id(), kClient}));
    EXPECT_TRUE(other.IsRunning());
    EXPECT_TRUE(processes.Terminate({other.Id(), u"ZORVANE_OTHER_PROGRAM.exe"}));
    EXPECT_TRUE(other.EndedWith(0));
}

/// The real process list with one extra entry, named like the client, whose process cannot be
/// opened (process id 0 is never a process that can be ended).
class WithUnopenableClient final : public platform::ProcessSeam {
public:
    explicit WithUnopenableClient(bool first) : first_(first) {}

    std::optional<std::vector<platform::ProcessEntry>> Snapshot() override {
        auto entries = platform::SystemProcesses().Snapshot();
        if (entries)
            entries->insert(first_ ? entries->begin() : entries->end(), {0, kClient});
        return entries;
    }
    bool Terminate(const platform::ProcessEntry &process) override {
        return platform::SystemProcesses().Terminate(process);
    }

private:
    bool first_;
};

TEST_F(TerminatorOnWindows, RefusedOpenGivesFalseAndTheWalkGoesOn) {
    if (win32_test::AnyProcessNamed(kClient))
        GTEST_SKIP() << "a client is already running on this machine";
    const fs::path client = HelperNamed(L"Zorvane_Online_Sardel.exe");
    EXPECT_FALSE(platform::SystemProcesses().Terminate({0, kClient}));

    {
        StartedProcess process(client);
        ASSERT_TRUE(process.Started());
        WithUnopenableClient refusedFirst(true);
        EXPECT_TRUE(platform::TerminateProcessByName(refusedFirst, kClient));
        EXPECT_TRUE(process.EndedWith(0));
    }
    {
        StartedProcess process(client);
        ASSERT_TRUE(process.Started());
        WithUnopenableClient refusedLast(false);
        EXPECT_FALSE(platform::TerminateProcessByName(refusedLast, kClient));
        EXPECT_TRUE(process.EndedWith(0));
    }
}

} // namespace
