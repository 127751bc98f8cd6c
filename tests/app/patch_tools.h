#pragma once

// What a publisher's tools make: patches by Debian's zstd tool (ZORVANE_ZSTD) and file hashes by
// sha256sum, so the updater is checked against what publishers really run.
#include "scratch_folder.h"
#include "test_bytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace harness {

/// Runs `zstd OPTIONS --patch-from=OLD NEW` and returns the patch.
inline std::string ZstdPatch(const std::string &old, const std::string &now,
                             const std::string &options = "") {
    const ScratchFolder scratch;
    const auto &folder = scratch.Path();
    WriteFile(folder / "old", old);
    WriteFile(folder / "new", now);
    const std::string command = std::string(ZORVANE_ZSTD) + " -q -f " + options +
                                " --patch-from='" + (folder / "old").string() + "' '" +
                                (folder / "new").string() + "' -o '" + (folder / "patch").string() +
                                "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadFile(folder / "patch");
}

/// The SHA-256 of `bytes` as `sha256sum` prints it: what names a patch from them.
inline std::string Sha256Of(const std::string &bytes) {
    const ScratchFolder scratch;
    const auto file = scratch.Path() / "hashed";
    WriteFile(file, bytes);
    const std::string command = "sha256sum '" + file.string() + "'";
    std::string hex;
    if (FILE *pipe = ::popen(command.c_str(), "r")) {
        char digits[65] = {};
        if (std::fread(digits, 1, 64, pipe) == 64)
            hex = digits;
        ::pclose(pipe);
    }
    EXPECT_EQ(hex.size(), 64u) << command;
    return hex;
}

} // namespace harness
