// Feeds arbitrary patches to the patch decoder with a reference taken from the input too, in
// pieces of varying size, so every path of the frame header reader and of the decoder is
// reached. The input is: 2 bytes (little-endian) of reference length, the reference, the patch.
// The seeds are made by `zstd --patch-from` (fuzz/make-patch-seeds).
#include "patch_decoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 3)
        return 0;
    const std::size_t wanted = data[0] | (std::size_t{data[1]} << 8);
    const std::size_t referenceSize = wanted < size - 2 ? wanted : size - 2;
    const auto *reference = reinterpret_cast<const char *>(data + 2);
    const std::string_view patch(reference + referenceSize, size - 2 - referenceSize);

    // Small bounds keep each run fast; the bound checks themselves are the same code.
    TPatchLimits limits;
    limits.MaxResult = std::uint64_t{8} << 20;
    limits.MaxWindowLog = 23;
    std::uint64_t produced = 0;
    try {
        TPatchDecoder decoder(
            reference, referenceSize, [&](const char *, std::size_t len) { produced += len; },
            limits);
        // Pieces of 1, 2, 3, ... bytes: headers and blocks split at every kind of place.
        std::size_t piece = 1;
        for (std::size_t at = 0; at < patch.size(); at += piece++)
            decoder.Add(patch.data() + at, std::min(piece, patch.size() - at));
        decoder.Finish();
        if (produced != decoder.DeclaredSize() || produced > limits.MaxResult)
            __builtin_trap(); // accepted, but not what the frame promised
    } catch (const EPatchInvalid &error) {
        if (error.what()[0] == '\0' || produced > limits.MaxResult)
            __builtin_trap(); // every refusal says why, and none after outgrowing the bound
    }
    return 0;
}
