#include "scratch_folder.h"
#include "shell_seam.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

TEST(PosixShell, StartsAFileWithoutExecutePermissionDetached) {
    const harness::ScratchFolder folder;
    const fs::path program = folder.Path() / "client.exe";
    const fs::path marker = folder.Path() / "started";
    harness::WriteFile(program, "#!/bin/sh\ntouch '" + marker.string() + "'\n");
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_write);

    EXPECT_TRUE(platform::SystemShell().Open(platform::Utf8ToUtf16(program.string())));
    bool started = false;
    for (int i = 0; i < 200 && !started; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        started = fs::exists(marker);
    }
    EXPECT_TRUE(started);
    EXPECT_NE(fs::status(program).permissions() & fs::perms::owner_exec, fs::perms::none);
}

TEST(PosixShell, MissingFileOrEmptyTargetIsRefused) {
    EXPECT_FALSE(platform::SystemShell().Open(u""));
    EXPECT_FALSE(platform::SystemShell().Open(u"/nonexistent/folder/client.exe"));
}

} // namespace
