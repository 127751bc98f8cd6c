#include "shell_seam.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

TEST(PosixShell, StartsAFileWithoutExecutePermissionDetached) {
    const fs::path folder = fs::temp_directory_path() / ("shell-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path program = folder / "client.exe";
    const fs::path marker = folder / "started";
    {
        std::ofstream script(program);
        script << "#!/bin/sh\ntouch '" << marker.string() << "'\n";
    }
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_write);

    EXPECT_TRUE(platform::SystemShell().Open(platform::Utf8ToUtf16(program.string())));
    bool started = false;
    for (int i = 0; i < 200 && !started; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        started = fs::exists(marker);
    }
    EXPECT_TRUE(started);
    EXPECT_NE(fs::status(program).permissions() & fs::perms::owner_exec, fs::perms::none);
    fs::remove_all(folder);
}

TEST(PosixShell, MissingFileOrEmptyTargetIsRefused) {
    EXPECT_FALSE(platform::SystemShell().Open(u""));
    EXPECT_FALSE(platform::SystemShell().Open(u"/nonexistent/folder/client.exe"));
}

} // namespace
