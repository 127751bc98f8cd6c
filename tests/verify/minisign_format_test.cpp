// The parsers of minisign's key text and signature files, on what the real tool wrote and on
// every kind of damaged or hostile input.
#include "fixture_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fixtures;
using verify::ParseMinisignPublicKey;
using verify::ParseMinisignSignature;
using verify::SignatureAlgorithm;

namespace {

/// The prehashed fixture with its signature line decoded, changed by `edit` and encoded again.
std::string WithSignatureBytes(void (*edit)(std::vector<unsigned char> &)) {
    auto lines = Lines(kPrehashedSignatureRaw);
    auto bytes = FromBase64(lines[1]);
    edit(bytes);
    lines[1] = ToBase64(bytes);
    return Join(lines);
}

TEST(MinisignFormat, ReadsKeysAndSignaturesAsTheToolWritesThem) {
    const auto a = Key(kKeyA);
    const auto b = Key(kKeyB);
    EXPECT_NE(a.keyId, b.keyId);
    EXPECT_NE(a.key, b.key);
    // Surrounding white space, as a key copied from a terminal brings along, is ignored.
    const auto spaced = ParseMinisignPublicKey(std::string("  ") + kKeyA + "\r\n");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->key, a.key);

    const auto prehashed = Signature(kPrehashedSignatureRaw);
    EXPECT_EQ(prehashed.algorithm, SignatureAlgorithm::Prehashed);
    EXPECT_EQ(prehashed.keyId, a.keyId);
    EXPECT_NE(prehashed.trustedComment.find("file:sample.bin"), std::string::npos);
    EXPECT_EQ(Signature(kLegacySignatureRaw).algorithm, SignatureAlgorithm::Legacy);
    EXPECT_EQ(Signature(kOtherKeySignatureRaw).keyId, b.keyId);
    EXPECT_EQ(Signature(kLongCommentSignatureRaw).trustedComment, std::string(4000, 't'));

    // Windows line ends and a missing final line feed are accepted too.
    std::string crlf;
    for (const auto &line : Lines(kPrehashedSignatureRaw))
        crlf += line + "\r\n";
    EXPECT_EQ(Signature(crlf).signature, prehashed.signature);
    std::string unterminated = kPrehashedSignatureRaw;
    unterminated.pop_back();
    EXPECT_EQ(Signature(unterminated).globalSignature, prehashed.globalSignature);
}

TEST(MinisignFormat, RefusesKeyTextsThatAreNotAnEd25519Key) {
    const std::string a = kKeyA;
    const std::string secretLike(a.size() + 100, 'R');
    std::vector<unsigned char> wrongTag = FromBase64(a);
    wrongTag[1] = 'X';
    const std::string cases[] = {
        "",
        a.substr(0, a.size() - 4),                      // too short
        a + "AAAA",                                     // too long
        a.substr(0, 10) + "*" + a.substr(11),           // not base64
        "untrusted comment: minisign public key\n" + a, // the whole .pub file
        secretLike,                                     // some other blob
        ToBase64(wrongTag),                             // not an "Ed" key
        std::string(a.size(), '\0'),                    // binary
    };
    for (const auto &text : cases) {
        std::string why;
        EXPECT_FALSE(ParseMinisignPublicKey(text, &why)) << "key text: " << text;
        EXPECT_FALSE(why.empty());
    }
}

TEST(MinisignFormat, RefusesDamagedOrHostileSignatureFilesWithAReason) {
    const std::string good = kPrehashedSignatureRaw;
    const auto lines = Lines(good);
    auto replaceLine = [&](std::size_t index, const std::string &text) {
        auto copy = lines;
        copy[index] = text;
        return Join(copy);
    };
    std::string binary(300, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 37 + 11);

    const std::pair<const char *, std::string> cases[] = {
        {"empty", ""},
        {"one line", lines[0] + "\n"},
        {"no global signature line", lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n"},
        {"binary", binary},
        {"huge", std::string(10 * 1024 * 1024, 'A')},
        {"a trusted comment of megabytes",
         replaceLine(2, "trusted comment: " + std::string(3 * 1024 * 1024, 'c'))},
        {"a trusted comment just over the limit",
         replaceLine(2,
                     "trusted comment: " + std::string(verify::kMaxTrustedCommentSize + 1, 'c'))},
        {"an untrusted comment over the limit",
         replaceLine(0, "untrusted comment: " +
                            std::string(verify::kMaxUntrustedCommentSize + 1, 'u'))},
        {"no untrusted comment prefix", replaceLine(0, "comment: signature")},
        {"no trusted comment prefix", replaceLine(2, "timestamp:1")},
        {"truncated signature base64", replaceLine(1, lines[1].substr(0, lines[1].size() - 5))},
        {"signature base64 one character short", replaceLine(1, lines[1].substr(1))},
        {"signature with a bad character", replaceLine(1, "!" + lines[1].substr(1))},
        {"signature line of another length", replaceLine(1, lines[1] + "AAAA")},
        {"truncated global signature", replaceLine(3, lines[3].substr(0, 40))},
        {"global signature with bad padding",
         replaceLine(3, lines[3].substr(0, lines[3].size() - 2) + "A=")},
        {"text after the global signature", good + "extra\n"},
        {"a fifth line that is a second signature", good + lines[1] + "\n"},
        {"unknown algorithm tag",
         WithSignatureBytes([](std::vector<unsigned char> &b) { b[1] = 'X'; })},
        {"algorithm tag of another family",
         WithSignatureBytes([](std::vector<unsigned char> &b) { b[0] = 'e'; })},
        {"lines swapped", Join({lines[0], lines[3], lines[2], lines[1]})},
        {"NUL inside the signature line",
         replaceLine(1, lines[1].substr(0, 20) + '\0' + lines[1].substr(21))},
    };
    for (const auto &[what, text] : cases) {
        std::string why;
        EXPECT_FALSE(ParseMinisignSignature(text, &why)) << what;
        EXPECT_FALSE(why.empty()) << what;
    }
}

} // namespace
