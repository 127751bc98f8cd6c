#include "process_terminator.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using platform::ExeNameMatches;
using platform::ProcessEntry;

TEST(ExeNameMatch, OnlyAsciiLettersAreCaseFolded) {
    EXPECT_TRUE(ExeNameMatches(u"NOTEPAD.EXE", u"notepad.exe"));
    EXPECT_TRUE(ExeNameMatches(u"Notepad.exe", u"notepad.exe"));
    EXPECT_TRUE(ExeNameMatches(u"nötepad.exe", u"NÖTEPAD.EXE") == false);
    EXPECT_TRUE(ExeNameMatches(u"NöTEPAD.EXE", u"nötepad.exe"));
    EXPECT_FALSE(ExeNameMatches(u"NÖTEPAD.EXE", u"nötepad.exe"));
    EXPECT_FALSE(ExeNameMatches(u"mynotepad.exe", u"notepad.exe"));
    EXPECT_FALSE(ExeNameMatches(u"notepad.exe ", u"notepad.exe"));
}

TEST(ExeNameMatch, FileNamePartOrWholeName) {
    EXPECT_TRUE(ExeNameMatches(u"C:\\Windows\\notepad.exe", u"notepad.exe"));
    EXPECT_TRUE(ExeNameMatches(u"C:notepad.exe", u"NOTEPAD.EXE"));
    EXPECT_FALSE(ExeNameMatches(u"copy:notepad.exe", u"notepad.exe")) << "only a drive prefix";
    // The whole name is tried too, so a caller may give a full path.
    EXPECT_TRUE(ExeNameMatches(u"C:\\Windows\\notepad.exe", u"c:\\windows\\NOTEPAD.exe"));
#ifndef _WIN32
    EXPECT_TRUE(ExeNameMatches(u"/usr/bin/notepad.exe", u"notepad.exe"));
#endif
}

TEST(ExeNameMatch, EmptyNameMatchesNothing) {
    EXPECT_FALSE(ExeNameMatches(u"", u""));
    EXPECT_FALSE(ExeNameMatches(u"C:\\dir\\", u""));
}

/// A scripted process list that records what it is asked to end.
class FakeProcesses final : public platform::ProcessSeam {
public:
    std::optional<std::vector<ProcessEntry>> entries;
    std::map<std::uint32_t, bool> terminateResult;
    std::vector<std::uint32_t> terminated;

    std::optional<std::vector<ProcessEntry>> Snapshot() override { return entries; }
    bool Terminate(const ProcessEntry &process) override {
        terminated.push_back(process.ProcessId);
        return terminateResult.count(process.ProcessId) ? terminateResult[process.ProcessId] : true;
    }
};

TEST(TerminateByName, EveryMatchIsAttemptedAndTheLastResultCounts) {
    FakeProcesses processes;
    processes.entries = std::vector<ProcessEntry>{
        {10, u"explorer.exe"}, {11, u"notepad.exe"}, {12, u"NOTEPAD.EXE"}, {13, u"x.exe"}};
    processes.terminateResult = {{11, true}, {12, false}};
    EXPECT_FALSE(platform::TerminateProcessByName(processes, u"notepad.exe"));
    EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{11, 12}));

    processes.terminated.clear();
    processes.terminateResult = {{11, false}, {12, true}};
    EXPECT_TRUE(platform::TerminateProcessByName(processes, u"notepad.exe"));
    EXPECT_EQ(processes.terminated.size(), 2u);
}

TEST(TerminateByName, NoSnapshotOrNoMatchIsFalseWithNothingEnded) {
    FakeProcesses processes;
    EXPECT_FALSE(platform::TerminateProcessByName(processes, u"notepad.exe"));
    processes.entries = std::vector<ProcessEntry>{{10, u"explorer.exe"}};
    EXPECT_FALSE(platform::TerminateProcessByName(processes, u"notepad.exe"));
    EXPECT_FALSE(platform::TerminateProcessByName(processes, u""));
    EXPECT_TRUE(processes.terminated.empty());
}

TEST(TerminateByName, NamesAreCutAt260CodeUnitsAndAtTheFirstZero) {
    FakeProcesses processes;
    const std::u16string longName = std::u16string(250, u'a') + u"notepad.exe"; // 261 units
    processes.entries =
        std::vector<ProcessEntry>{{20, std::u16string(u"notepad.exe\0garbage", 19)},
                                  {21, longName},
                                  {22, std::u16string(249, u'b') + u"notepad.exe"}}; // exactly 260
    EXPECT_TRUE(platform::TerminateProcessByName(processes, u"notepad.exe"));
    EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{20}));
    EXPECT_TRUE(
        platform::TerminateProcessByName(processes, std::u16string(249, u'B') + u"NOTEPAD.exe"));
}

} // namespace
