#pragma once

// What a publisher's tools make: patches by Debian's zstd tool (ZORVANE_ZSTD) and file hashes by
// sha256sum, so the updater is checked against what publishers really run.
#include "test_bytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace harness {

/// Runs `zstd OPTIONS --patch-from=OLD NEW` and returns the patch.
inline std::string ZstdPatch(const std::string &old, const std::string &now,
                             const std::string &options = "") {
    static int next = 0;
    const auto folder =
        std::filesystem::temp_directory_path() /
        ("zorvane-zstd-" + std::to_string(::getpid()) + "-" + std::to_string(next++));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "old", std::ios::binary) << old;
    std::ofstream(folder / "new", std::ios::binary) << now;
    const std::string command = std::string(ZORVANE_ZSTD) + " -q -f " + options +
                                " --patch-from='" + (folder / "old").string() + "' '" +
                                (folder / "new").string() + "' -o '" + (folder / "patch").string() +
                                "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(folder / "patch", std::ios::binary);
    std::string patch{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove_all(folder);
    return patch;
}

/// The SHA-256 of `bytes` as `sha256sum` prints it: what names a patch from them.
inline std::string Sha256Of(const std::string &bytes) {
    const auto file =
        std::filesystem::temp_directory_path() / ("zorvane-hash-" + std::to_string(::getpid()));
    std::ofstream(file, std::ios::binary) << bytes;
    const std::string command = "sha256sum '" + file.string() + "'";
    std::string hex;
    if (FILE *pipe = ::popen(command.c_str(), "r")) {
        char digits[65] = {};
        if (std::fread(digits, 1, 64, pipe) == 64)
            hex = digits;
        ::pclose(pipe);
    }
    std::filesystem::remove(file);
    EXPECT_EQ(hex.size(), 64u) << command;
    return hex;
}

} // namespace harness
