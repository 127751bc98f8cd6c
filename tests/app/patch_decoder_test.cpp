// The patch decoder against patches made by the zstd tool, fed in pieces as they arrive, and
// against bad input of every kind: each is refused with a reason, within its bounds.
#include "patch_decoder.h"
#include "patch_tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string kOld = harness::RandomBytes(300'000, 1);
const std::string kNew = harness::ChangedInPlaces(kOld, 4000, 2);

/// Applies `patch` to `reference`, fed in pieces of `piece` bytes, and returns the result.
std::string Apply(const std::string &reference, const std::string &patch,
                  std::size_t piece = 65536) {
    std::string result;
    TPatchDecoder decoder(reference.data(), reference.size(),
                          [&](const char *data, std::size_t len) { result.append(data, len); });
    for (std::size_t at = 0; at < patch.size(); at += piece)
        decoder.Add(patch.data() + at, std::min(piece, patch.size() - at));
    decoder.Finish();
    EXPECT_EQ(decoder.Produced(), decoder.DeclaredSize());
    return result;
}

/// A frame header: the magic, the descriptor byte `descriptor`, then `rest`.
std::string Header(unsigned char descriptor, const std::string &rest) {
    return std::string("\x28\xB5\x2F\xFD", 4) + static_cast<char>(descriptor) + rest;
}

/// `value` as 8 little-endian bytes.
std::string Le64(std::uint64_t value) {
    std::string bytes;
    for (int i = 0; i < 8; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

TEST(PatchDecoder, RebuildsTheNewFileFromTheToolsPatchesAtAnyLevelInAnyPieces) {
    for (const char *options : {"", "-19 --long", "-1 -T2"}) {
        const std::string patch = harness::ZstdPatch(kOld, kNew, options);
        ASSERT_FALSE(patch.empty());
        EXPECT_LT(patch.size(), kNew.size() / 10) << options << ": a patch, not a copy";
        for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{16384}})
            EXPECT_TRUE(Apply(kOld, patch, piece) == kNew) << options << ", pieces of " << piece;
    }
}

TEST(PatchDecoder, RefusesEveryBadPatchWithAReasonAndNeverOutgrowsItsBounds) {
    const std::string patch = harness::ZstdPatch(kOld, kNew);
    std::string flipped = patch;
    flipped[patch.size() / 2] = static_cast<char>(flipped[patch.size() / 2] ^ 0x40);
    std::string otherReference = kOld;
    otherReference[1000] = static_cast<char>(otherReference[1000] ^ 1);
    const std::uint64_t bound = TPatchLimits{}.MaxResult;
    // Descriptor bits: 0xC0 an 8-byte size, 0x20 a single segment, 0x04 a checksum.
    const struct {
        const char *what;
        std::string reference;
        std::string patch;
    } cases[] = {
        {"empty", kOld, ""},
        {"random bytes", kOld, harness::RandomBytes(5000, 3)},
        {"cut short by one byte", kOld, patch.substr(0, patch.size() - 1)},
        {"cut in half", kOld, patch.substr(0, patch.size() / 2)},
        {"a flipped byte", kOld, flipped},
        {"another reference", otherReference, patch},
        {"no reference at all", "", patch},
        {"two frames", kOld, patch + patch},
        {"bytes after the frame", kOld, patch + "x"},
        {"no checksum", kOld, harness::ZstdPatch(kOld, kNew, "--no-check")},
        {"no declared size", kOld, harness::ZstdPatch(kOld, kNew, "--no-content-size")},
        {"a window over the bound", kOld, Header(0xC4, "\xA0" + Le64(100)) + "\x01\x00\x00"},
        {"a result over the bound", kOld, Header(0xE4, Le64(bound + 1)) + "\x01\x00\x00"},
        {"a result of a terabyte", kOld, Header(0xE4, Le64(std::uint64_t{1} << 40))},
        {"a dictionary", kOld, Header(0xE5, "\x07" + Le64(100)) + "\x01\x00\x00"},
        {"a skippable frame", kOld, std::string("\x50\x2A\x4D\x18\x00\x00\x00\x00", 8) + patch},
    };
    for (const auto &bad : cases) {
        std::size_t produced = 0;
        try {
            TPatchDecoder decoder(bad.reference.data(), bad.reference.size(),
                                  [&](const char *, std::size_t len) { produced += len; });
            for (std::size_t at = 0; at < bad.patch.size(); at += 4096)
                decoder.Add(bad.patch.data() + at,
                            std::min<std::size_t>(4096, bad.patch.size() - at));
            decoder.Finish();
            ADD_FAILURE() << bad.what << ": accepted";
        } catch (const EPatchInvalid &error) {
            EXPECT_STRNE(error.what(), "") << bad.what;
        }
        EXPECT_LE(produced, kNew.size()) << bad.what;
    }
}

} // namespace
