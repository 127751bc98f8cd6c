#pragma once

// Keys and signatures made by Debian's minisign tool (ZORVANE_MINISIGN), so the updater is
// checked against what publishers will really run.
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

namespace harness {

/// A key pair made with `minisign -G -W` in a folder of its own.
class MinisignKey {
public:
    MinisignKey() {
        Run("-G -p " + Quote(folder_.Path() / "key.pub") + " -s " +
            Quote(folder_.Path() / "key.sec") + " -W");
        std::ifstream in(folder_.Path() / "key.pub");
        std::string comment;
        std::getline(in, comment);
        std::getline(in, publicKey_);
    }

    /// The one-line public key text, as a build is given it.
    const std::string &PublicKey() const { return publicKey_; }

    /// Signs `file` and returns the `.minisig` text (`legacy`: minisign -l). The trusted comment
    /// is minisign's own form, "timestamp:<time>\tfile:<name>\thashed", with a time that rises
    /// by a second at every signature, as for releases signed one after another; or
    /// `trustedComment` when given.
    std::string Sign(const std::filesystem::path &file, bool legacy = false,
                     std::string trustedComment = {}) const {
        static std::int64_t nextTime = std::time(nullptr);
        if (trustedComment.empty())
            trustedComment = "timestamp:" + std::to_string(nextTime++) +
                             "\tfile:" + file.filename().string() + "\thashed";
        const auto signature = folder_.Path() / "out.minisig";
        const auto comment = folder_.Path() / "comment.txt";
        WriteFile(comment, trustedComment);
        Run(std::string("-S") + (legacy ? " -l" : "") + " -s " + Quote(folder_.Path() / "key.sec") +
            " -m " + Quote(file) + " -x " + Quote(signature) + " -t \"$(cat " + Quote(comment) +
            ")\"");
        return ReadFile(signature);
    }

    /// Signs `bytes` as a file named `name` (the client's, unless a test wants another).
    std::string SignBytes(const std::string &bytes, bool legacy = false,
                          const std::string &trustedComment = {},
                          const std::string &name = "Zorvane_Online_Sardel.exe") const {
        const auto file = folder_.Path() / name;
        WriteFile(file, bytes);
        return Sign(file, legacy, trustedComment);
    }

private:
    static std::string Quote(const std::filesystem::path &path) {
        return "'" + path.string() + "'";
    }
    static void Run(const std::string &arguments) {
        const std::string command =
            std::string(ZORVANE_MINISIGN) + " " + arguments + " >/dev/null 2>&1 </dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    ScratchFolder folder_;
    std::string publicKey_;
};

} // namespace harness
