// Verification of files against signatures made by the real minisign tool, fed in pieces as a
// download arrives, and the streaming form of the legacy algorithm against libsodium's own
// one-shot verification.
#include "fixture_support.h"
#include "signature_check.h"

#include <gtest/gtest.h>

#include <sodium.h>

#include <algorithm>
#include <random>
#include <string>

using namespace fixtures;
using verify::StreamingVerifier;
using verify::Verdict;

namespace {

/// Feeds `file` in pieces of `piece` bytes and returns the verdict.
Verdict Check(const char *keyText, const std::string &signatureText, const std::string &file,
              std::size_t piece = 65536) {
    StreamingVerifier verifier(Key(keyText), Signature(signatureText));
    for (std::size_t at = 0; at < file.size(); at += piece)
        verifier.Update(file.data() + at, std::min(piece, file.size() - at));
    return verifier.Finish();
}

TEST(SignatureCheck, AcceptsTheSignedFileInAnyPiecesForBothAlgorithms) {
    const std::string file = SampleFile();
    for (const char *signature : {kPrehashedSignatureRaw, kLegacySignatureRaw}) {
        for (const std::size_t piece :
             {std::size_t{1}, std::size_t{7}, std::size_t{4096}, std::size_t{65536}, file.size()}) {
            EXPECT_EQ(Check(kKeyA, signature, file, piece), Verdict::Authentic)
                << "pieces of " << piece;
        }
    }
    EXPECT_EQ(Check(kKeyA, kEmptyFileSignatureRaw, ""), Verdict::Authentic);
    EXPECT_EQ(Check(kKeyA, kLongCommentSignatureRaw, file), Verdict::Authentic);
    EXPECT_EQ(Check(kKeyB, kOtherKeySignatureRaw, file), Verdict::Authentic);
}

TEST(SignatureCheck, RefusesAFileThatDiffersInAnyByteOrLength) {
    const std::string file = SampleFile();
    for (const char *signature : {kPrehashedSignatureRaw, kLegacySignatureRaw}) {
        for (const std::size_t at : {std::size_t{0}, file.size() / 2, file.size() - 1}) {
            std::string flipped = file;
            flipped[at] = static_cast<char>(flipped[at] ^ 0x01);
            EXPECT_EQ(Check(kKeyA, signature, flipped), Verdict::BadSignature) << "byte " << at;
        }
        EXPECT_EQ(Check(kKeyA, signature, file.substr(0, file.size() - 1)), Verdict::BadSignature);
        EXPECT_EQ(Check(kKeyA, signature, file + "x"), Verdict::BadSignature);
        EXPECT_EQ(Check(kKeyA, signature, ""), Verdict::BadSignature);
    }
    EXPECT_EQ(Check(kKeyA, kEmptyFileSignatureRaw, file), Verdict::BadSignature);
}

TEST(SignatureCheck, RefusesSignaturesThatAreNotTheBuiltInKeys) {
    const std::string file = SampleFile();
    // Made by another key: its key id gives it away before a byte is downloaded.
    EXPECT_EQ(verify::CheckSignatureHeader(Key(kKeyA), Signature(kOtherKeySignatureRaw)),
              Verdict::KeyIdMismatch);
    EXPECT_EQ(Check(kKeyA, kOtherKeySignatureRaw, file), Verdict::KeyIdMismatch);

    // Another key's signature relabelled with our key id: the global signature fails.
    auto lines = Lines(kOtherKeySignatureRaw);
    auto bytes = FromBase64(lines[1]);
    const auto ourId = Key(kKeyA).keyId;
    std::copy(ourId.begin(), ourId.end(), bytes.begin() + 2);
    lines[1] = ToBase64(bytes);
    EXPECT_EQ(Check(kKeyA, Join(lines), file), Verdict::BadGlobalSignature);

    // Our file signature with an edited trusted comment, or with the legacy tag swapped in.
    for (const char *signature : {kPrehashedSignatureRaw, kLegacySignatureRaw}) {
        auto edited = Lines(signature);
        edited[2] += " (edited)";
        EXPECT_EQ(Check(kKeyA, Join(edited), file), Verdict::BadGlobalSignature);
    }
    auto relabelled = Lines(kPrehashedSignatureRaw);
    auto tagged = FromBase64(relabelled[1]);
    tagged[1] = 'd'; // "ED" becomes "Ed": the same signature now claims to cover the raw bytes
    relabelled[1] = ToBase64(tagged);
    EXPECT_EQ(Check(kKeyA, Join(relabelled), file), Verdict::BadSignature);
}

TEST(SignatureCheck, LegacyStreamingAgreesWithLibsodiumOnSignaturesGoodAndBad) {
    ASSERT_GE(sodium_init(), 0);
    std::mt19937 random(12345);
    std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> publicKey{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey{};
    crypto_sign_keypair(publicKey.data(), secretKey.data());
    verify::MinisignPublicKey key;
    std::copy(publicKey.begin(), publicKey.end(), key.key.begin());
    key.keyId = {1, 2, 3, 4, 5, 6, 7, 8};

    // The group order L, little-endian: adding it to S gives the malleated twin of a signature.
    const unsigned char order[32] = {0xed, 0xd3, 0xf5, 0x5c, 0x1a, 0x63, 0x12, 0x58,
                                     0xd6, 0x9c, 0xf7, 0xa2, 0xde, 0xf9, 0xde, 0x14,
                                     0,    0,    0,    0,    0,    0,    0,    0,
                                     0,    0,    0,    0,    0,    0,    0,    0x10};
    for (int trial = 0; trial < 200; ++trial) {
        std::string message(random() % 3000, '\0');
        for (auto &c : message)
            c = static_cast<char>(random());
        verify::MinisignSignature signature;
        signature.algorithm = verify::SignatureAlgorithm::Legacy;
        signature.keyId = key.keyId;
        crypto_sign_detached(signature.signature.data(), nullptr,
                             reinterpret_cast<const unsigned char *>(message.data()),
                             message.size(), secretKey.data());
        switch (trial % 5) {
        case 0: // untouched
            break;
        case 1: // one bit of R
            signature.signature[random() % 32] ^= static_cast<unsigned char>(1u << (random() % 8));
            break;
        case 2: // one bit of S
            signature.signature[32 + random() % 32] ^=
                static_cast<unsigned char>(1u << (random() % 8));
            break;
        case 3: // S + L: the same point equation, a non-canonical scalar
            sodium_add(signature.signature.data() + 32, order, 32);
            break;
        case 4: // one bit of the message
            if (!message.empty())
                message[random() % message.size()] ^= 0x10;
            break;
        }
        std::string covered(signature.signature.begin(), signature.signature.end());
        crypto_sign_detached(signature.globalSignature.data(), nullptr,
                             reinterpret_cast<const unsigned char *>(covered.data()),
                             covered.size(), secretKey.data());

        const bool libsodium =
            crypto_sign_verify_detached(signature.signature.data(),
                                        reinterpret_cast<const unsigned char *>(message.data()),
                                        message.size(), publicKey.data()) == 0;
        StreamingVerifier verifier(key, signature);
        const std::size_t half = message.size() / 2;
        verifier.Update(message.data(), half);
        verifier.Update(message.data() + half, message.size() - half);
        EXPECT_EQ(verifier.Finish() == Verdict::Authentic, libsodium) << "trial " << trial;
        EXPECT_EQ(libsodium, trial % 5 == 0 || (trial % 5 == 4 && message.empty()))
            << "trial " << trial;
    }
}

} // namespace
