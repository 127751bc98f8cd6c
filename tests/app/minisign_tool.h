#pragma once

// Keys and signatures made by Debian's minisign tool (ZORVANE_MINISIGN), so the updater is
// checked against what publishers will really run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace harness {

/// A key pair made with `minisign -G -W` in a folder of its own.
class MinisignKey {
public:
    MinisignKey() {
        static int next = 0;
        folder_ = std::filesystem::temp_directory_path() /
                  ("zorvane-key-" + std::to_string(::getpid()) + "-" + std::to_string(next++));
        std::filesystem::create_directories(folder_);
        Run("-G -p " + Quote(folder_ / "key.pub") + " -s " + Quote(folder_ / "key.sec") + " -W");
        std::ifstream in(folder_ / "key.pub");
        std::string comment;
        std::getline(in, comment);
        std::getline(in, publicKey_);
    }
    ~MinisignKey() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    MinisignKey(const MinisignKey &) = delete;
    MinisignKey &operator=(const MinisignKey &) = delete;

    /// The one-line public key text, as a build is given it.
    const std::string &PublicKey() const { return publicKey_; }

    /// Signs `file` and returns the `.minisig` text (`legacy`: minisign -l).
    std::string Sign(const std::filesystem::path &file, bool legacy = false) const {
        const auto signature = folder_ / "out.minisig";
        Run(std::string("-S") + (legacy ? " -l" : "") + " -s " + Quote(folder_ / "key.sec") +
            " -m " + Quote(file) + " -x " + Quote(signature));
        std::ifstream in(signature, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    /// Signs `bytes` (written to a scratch file first).
    std::string SignBytes(const std::string &bytes, bool legacy = false) const {
        const auto file = folder_ / "file.bin";
        std::ofstream(file, std::ios::binary) << bytes;
        return Sign(file, legacy);
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

    std::filesystem::path folder_;
    std::string publicKey_;
};

} // namespace harness
