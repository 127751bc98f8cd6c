// The patch decoder against patches made with libzstd as the zstd tool's --patch-from makes them
// (the reference as the compressor's prefix), fed in pieces as they arrive, and against bad input
// of every kind: each is refused for its own reason, producing nothing it should not.
#include "patch_decoder.h"
#include "test_bytes.h"

#include <gtest/gtest.h>
#include <zstd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string kOld = harness::RandomBytes(300'000, 1);
const std::string kNew = harness::ChangedInPlaces(kOld, 4000, 2);

struct PatchSettings {
    int level = 3;
    bool longMatching = false;
    bool checksum = true;
    bool declaresSize = true;
};

/// A patch from `old` to `now`: one frame compressed against `old` as its prefix, with a window
/// that covers both, as `zstd --patch-from` writes it.
std::string MakePatch(const std::string &old, const std::string &now, PatchSettings settings = {}) {
    ZSTD_CCtx *context = ZSTD_createCCtx();
    int windowLog = 10; // zstd's smallest window
    while ((std::size_t{1} << windowLog) < old.size() + now.size())
        ++windowLog;
    ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, settings.level);
    ZSTD_CCtx_setParameter(context, ZSTD_c_windowLog, windowLog);
    ZSTD_CCtx_setParameter(context, ZSTD_c_enableLongDistanceMatching, settings.longMatching);
    ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, settings.checksum);
    ZSTD_CCtx_setParameter(context, ZSTD_c_contentSizeFlag, settings.declaresSize);
    ZSTD_CCtx_refPrefix(context, old.data(), old.size());
    std::string patch(ZSTD_compressBound(now.size()), '\0');
    std::size_t size = 0;
    if (settings.declaresSize) {
        size = ZSTD_compress2(context, patch.data(), patch.size(), now.data(), now.size());
    } else {
        // A streamed frame whose length was not known in advance declares none.
        ZSTD_inBuffer in{now.data(), now.size(), 0};
        ZSTD_outBuffer out{patch.data(), patch.size(), 0};
        size = ZSTD_compressStream2(context, &out, &in, ZSTD_e_end);
        EXPECT_EQ(size, 0u);
        size = out.pos;
    }
    ZSTD_freeCCtx(context);
    EXPECT_FALSE(ZSTD_isError(size)) << ZSTD_getErrorName(size);
    patch.resize(ZSTD_isError(size) ? 0 : size);
    return patch;
}

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

TEST(PatchDecoder, RebuildsTheNewFileAtAnyLevelInAnyPieces) {
    for (const PatchSettings settings :
         {PatchSettings{}, PatchSettings{19, true}, PatchSettings{1}}) {
        const std::string patch = MakePatch(kOld, kNew, settings);
        ASSERT_FALSE(patch.empty());
        EXPECT_LT(patch.size(), kNew.size() / 10) << settings.level << ": a patch, not a copy";
        for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{16384}})
            EXPECT_TRUE(Apply(kOld, patch, piece) == kNew)
                << "level " << settings.level << ", pieces of " << piece;
    }
}

TEST(PatchDecoder, RefusesEveryBadPatchForItsOwnReason) {
    const std::string patch = MakePatch(kOld, kNew);
    std::string flipped = patch;
    flipped[patch.size() / 2] = static_cast<char>(flipped[patch.size() / 2] ^ 0x40);
    std::string otherReference = kOld;
    otherReference[1000] = static_cast<char>(otherReference[1000] ^ 1);
    const std::uint64_t bound = TPatchLimits{}.MaxResult;
    // Descriptor bits: 0xC0 an 8-byte size, 0x20 a single segment, 0x04 a checksum. A header
    // refused for a bound must produce nothing at all: the check comes before any decoding.
    const struct {
        const char *what;
        std::string reference;
        std::string patch;
        const char *reason;
        bool producesNothing;
    } cases[] = {
        {"empty", kOld, "", "empty", true},
        {"random bytes", kOld, harness::RandomBytes(5000, 3), "not a zstd frame", true},
        {"cut short by one byte", kOld, patch.substr(0, patch.size() - 1), "", false},
        {"cut in half", kOld, patch.substr(0, patch.size() / 2), "", false},
        {"a flipped byte", kOld, flipped, "", false},
        {"another reference", otherReference, patch, "", false},
        {"no reference at all", "", patch, "", false},
        {"two frames", kOld, patch + patch, "bytes follow", false},
        {"bytes after the frame", kOld, patch + "x", "bytes follow", false},
        {"no checksum", kOld, MakePatch(kOld, kNew, {3, false, false}), "no checksum", true},
        {"no declared size", kOld, MakePatch(kOld, kNew, {3, false, true, false}),
         "does not declare", true},
        {"a window over the bound", kOld, Header(0xC4, "\xA0" + Le64(100)) + "\x01\x00\x00",
         "window", true},
        {"a result over the bound", kOld, Header(0xE4, Le64(bound + 1)) + "\x01\x00\x00",
         "larger than any client", true},
        {"a result of a terabyte", kOld, Header(0xE4, Le64(std::uint64_t{1} << 40)),
         "larger than any client", true},
        {"a result far beyond what the reference grows to", kOld,
         Header(0xE4, Le64(MaxResultFrom(kOld.size()) + 1)) + "\x01\x00\x00", "grows", true},
        // Empty raw blocks (3-byte headers of size 0) after the frame's header, without end.
        {"endless empty blocks", kOld, Header(0xE4, Le64(1000)) + std::string(30'000, '\0'),
         "longer than any patch", true},
        {"a dictionary", kOld, Header(0xE5, "\x07" + Le64(100)) + "\x01\x00\x00", "dictionary",
         true},
        {"a skippable frame", kOld, std::string("\x50\x2A\x4D\x18\x00\x00\x00\x00", 8) + patch,
         "not a zstd frame", true},
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
            EXPECT_NE(std::string(error.what()).find(bad.reason), std::string::npos)
                << bad.what << ": refused for " << error.what();
        }
        EXPECT_LE(produced, bad.producesNothing ? 0 : kNew.size()) << bad.what;
    }
}

} // namespace
