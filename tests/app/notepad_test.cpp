// Button3 ends real processes named "notepad.exe". The test runs in a process namespace of its
// own (see the CMake file), so the only processes it can see, and end, are the copies of sleep
// it starts in a folder of its own.
#include "child_process.h"
#include "form_harness.h"
#include "process_seam.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;
using testsupport::Child;

class NotepadButton : public ::testing::Test {
protected:
    void SetUp() override {
        // The first process of a new process namespace has id 1.
        if (::getpid() != 1)
            GTEST_SKIP() << "ends every notepad.exe it sees: runs only in a process namespace";
        harness::EnsureApplication();
        UpdaterServices services =
            world.Services(QStringLiteral("http://127.0.0.1:9"), folder.Path());
        services.Processes = &platform::SystemProcesses();
        form = std::make_unique<TForm1>(std::move(services));
    }

    /// A copy of sleep named `name` in the test's folder.
    std::string SleepNamed(const std::string &name) {
        const fs::path copy = folder.Path() / name;
        fs::copy_file("/bin/sleep", copy, fs::copy_options::overwrite_existing);
        fs::permissions(copy, fs::perms::owner_all);
        return copy.string();
    }

    harness::FakeWorld world;
    harness::ScratchFolder folder;
    std::unique_ptr<TForm1> form;
};

TEST_F(NotepadButton, EndsEveryNotepadInAnyAsciiCaseAndNothingElse) {
    Child byExecutable(SleepNamed("notepad.exe"), "sleeper");
    // argv[0] names the program only for Wine's loader.
    Child byArgv0(SleepNamed("wine64-preloader"), folder.Path().string() + "/notepad.exe");
    Child inCapitals(SleepNamed("NOTEPAD.EXE"), "NOTEPAD.EXE");
    Child mixedCase(SleepNamed("NotePad.Exe"), "NotePad.Exe");
    Child longerName(SleepNamed("notepad.exe.bak"), "notepad.exe.bak");
    Child otherName(SleepNamed("mynotepad.exe"), "mynotepad.exe");

    form->Button3->click();
    EXPECT_TRUE(byExecutable.WasKilled());
    EXPECT_TRUE(byArgv0.WasKilled());
    EXPECT_TRUE(inCapitals.WasKilled());
    EXPECT_TRUE(mixedCase.WasKilled());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(longerName.IsRunning());
    EXPECT_TRUE(otherName.IsRunning());

    // With no notepad left, a press changes nothing the user could see.
    const QString memo = form->Memo1->toPlainText();
    form->Button3->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(longerName.IsRunning());
    EXPECT_TRUE(world.messages.shown.empty());
    EXPECT_EQ(form->Memo1->toPlainText(), memo);
    EXPECT_EQ(form->FlowState(), TForm1::TFlowState::Idle);
}

} // namespace
