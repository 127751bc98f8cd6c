#pragma once

#include "minisign_fixtures.h"
#include "minisign_format.h"

#include <gtest/gtest.h>

#include <sodium.h>

#include <string>
#include <vector>

namespace fixtures {

/// The file the fixtures signed: the same line repeated to 200000 bytes.
inline std::string SampleFile() {
    const std::string line = "Zorvane_Online_Sardel.exe sample build 1.0\n";
    std::string out;
    while (out.size() < 200000)
        out += line;
    out.resize(200000);
    return out;
}

inline verify::MinisignPublicKey Key(const char *text) {
    std::string why;
    const auto key = verify::ParseMinisignPublicKey(text, &why);
    EXPECT_TRUE(key) << why;
    return key.value_or(verify::MinisignPublicKey{});
}

inline verify::MinisignSignature Signature(const std::string &text) {
    std::string why;
    const auto signature = verify::ParseMinisignSignature(text, &why);
    EXPECT_TRUE(signature) << why;
    return signature.value_or(verify::MinisignSignature{});
}

/// The lines of a `.minisig` text, without their line feeds.
inline std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

inline std::string Join(const std::vector<std::string> &lines) {
    std::string out;
    for (const auto &line : lines)
        out += line + "\n";
    return out;
}

inline std::vector<unsigned char> FromBase64(const std::string &text) {
    std::vector<unsigned char> out(text.size());
    std::size_t length = 0;
    EXPECT_EQ(sodium_base642bin(out.data(), out.size(), text.data(), text.size(), nullptr, &length,
                                nullptr, sodium_base64_VARIANT_ORIGINAL),
              0);
    out.resize(length);
    return out;
}

inline std::string ToBase64(const std::vector<unsigned char> &bytes) {
    std::string out(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(out.data(), out.size(), bytes.data(), bytes.size(),
                      sodium_base64_VARIANT_ORIGINAL);
    out.resize(out.size() - 1); // the terminating NUL
    return out;
}

} // namespace fixtures
