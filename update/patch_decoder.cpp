// Applying a zstd patch to a reference in memory, with the frame header checked against the
// limits before the decoder allocates anything.
#include "patch_decoder.h"

#include <zstd.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

/// A zstd frame's first four bytes, little-endian 0xFD2FB528.
constexpr std::array<unsigned char, 4> kFrameMagic = {0x28, 0xB5, 0x2F, 0xFD};
/// Magic, frame header descriptor, window descriptor, 4-byte dictionary id, 8-byte size.
constexpr std::size_t kMaxHeaderSize = 18;

/// What the frame header says, read by hand from its documented layout: libzstd's own reader
/// is part of its experimental interface, which must not be used with the shared library.
struct TFrameHeader {
    std::size_t size = 0; ///< bytes of the header; 0 while more bytes are needed
    bool checksum = false;
    bool sizeDeclared = false;
    std::uint64_t contentSize = 0;
    std::uint64_t windowSize = 0;
    std::uint32_t dictionaryId = 0;
};

std::uint64_t LittleEndian(const unsigned char *bytes, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;)
        value = (value << 8) | bytes[i];
    return value;
}

/// Reads the header at the start of `bytes`; `size` 0 when more bytes are needed.
TFrameHeader ParseFrameHeader(const std::string &text) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    TFrameHeader header;
    for (std::size_t i = 0; i < kFrameMagic.size() && i < text.size(); ++i)
        if (bytes[i] != kFrameMagic[i])
            throw EPatchInvalid("not a zstd frame");
    if (text.size() < 5)
        return header;
    const unsigned descriptor = bytes[4];
    const unsigned sizeFlag = descriptor >> 6;
    const bool singleSegment = (descriptor >> 5) & 1;
    if ((descriptor >> 3) & 1)
        throw EPatchInvalid("the frame header's reserved bit is set");
    header.checksum = (descriptor >> 2) & 1;
    static constexpr std::size_t kIdSizes[] = {0, 1, 2, 4};
    static constexpr std::size_t kSizeSizes[] = {0, 2, 4, 8};
    const std::size_t idSize = kIdSizes[descriptor & 3];
    const std::size_t sizeSize = sizeFlag == 0 && singleSegment ? 1 : kSizeSizes[sizeFlag];
    const std::size_t windowAt = 5;
    const std::size_t idAt = windowAt + (singleSegment ? 0 : 1);
    const std::size_t sizeAt = idAt + idSize;
    if (text.size() < sizeAt + sizeSize)
        return header;
    header.size = sizeAt + sizeSize;
    header.dictionaryId = static_cast<std::uint32_t>(LittleEndian(bytes + idAt, idSize));
    header.sizeDeclared = sizeSize > 0;
    header.contentSize =
        LittleEndian(bytes + sizeAt, sizeSize) + (sizeSize == 2 ? 256 : 0); // 2 bytes: +256
    if (singleSegment) {
        header.windowSize = header.contentSize;
    } else {
        const unsigned window = bytes[windowAt];
        const std::uint64_t base = std::uint64_t{1} << (10 + (window >> 3));
        header.windowSize = base + (base / 8) * (window & 7);
    }
    return header;
}

} // namespace

struct TPatchDecoder::Context {
    ZSTD_DCtx *decoder = nullptr;
    std::vector<char> buffer;
    ~Context() { ZSTD_freeDCtx(decoder); }
};

std::uint64_t MaxResultFrom(std::uint64_t referenceSize) {
    return referenceSize * TPatchLimits::kResultGrowth + TPatchLimits::kResultMargin;
}

TPatchDecoder::TPatchDecoder(const char *reference, std::size_t referenceSize, TOutput output,
                             const TPatchLimits &limits)
    : context_(std::make_unique<Context>()), reference_(reference), referenceSize_(referenceSize),
      output_(std::move(output)), limits_(limits) {
    if (referenceSize_ > limits_.MaxReference)
        throw EPatchInvalid("the reference is larger than a patch may be applied to");
    context_->decoder = ZSTD_createDCtx();
    if (!context_->decoder)
        throw EPatchInvalid("no memory for the decoder");
    // The header check refuses larger windows first; this keeps the decoder to the same bound.
    if (ZSTD_isError(
            ZSTD_DCtx_setParameter(context_->decoder, ZSTD_d_windowLogMax, limits_.MaxWindowLog)) ||
        ZSTD_isError(ZSTD_DCtx_refPrefix(context_->decoder, reference_, referenceSize_)))
        throw EPatchInvalid("the decoder refused its settings");
    context_->buffer.resize(ZSTD_DStreamOutSize());
}

TPatchDecoder::~TPatchDecoder() = default;

void TPatchDecoder::Add(const char *data, std::size_t len) {
    if (len == 0)
        return;
    if (frameEnded_)
        throw EPatchInvalid("bytes follow the patch's frame");
    if (!headerRead_)
        ReadHeader(data, len);
    if (headerRead_ && len > 0)
        Decode(data, len);
}

void TPatchDecoder::ReadHeader(const char *&data, std::size_t &len) {
    // The header is at most 18 bytes; it may arrive split over pieces.
    const std::size_t before = header_.size();
    header_.append(data, std::min(len, kMaxHeaderSize - before));
    const TFrameHeader header = ParseFrameHeader(header_);
    if (header.size == 0) {
        data += len;
        len = 0;
        return;
    }
    if (!header.checksum)
        throw EPatchInvalid("the frame carries no checksum of its result");
    if (!header.sizeDeclared)
        throw EPatchInvalid("the frame does not declare its result's size");
    if (header.dictionaryId != 0)
        throw EPatchInvalid("the frame names a dictionary instead of a reference");
    if (header.contentSize > limits_.MaxResult)
        throw EPatchInvalid("the declared result is larger than any client");
    if (header.contentSize > MaxResultFrom(referenceSize_))
        throw EPatchInvalid("the declared result is larger than a release of the reference grows");
    if (header.windowSize > (std::uint64_t{1} << limits_.MaxWindowLog))
        throw EPatchInvalid("the frame's window is larger than the memory bound");
    declared_ = header.contentSize;
    // zstd never makes a frame larger than its worst case for the declared result: more input
    // is padding (empty blocks) that would otherwise keep the decoder busy without end.
    maxInput_ = ZSTD_compressBound(static_cast<std::size_t>(declared_)) + kMaxHeaderSize;
    headerRead_ = true;
    // The decoder reads the header too: hand it what was held back, then the rest of the piece.
    const std::size_t used = header.size - before;
    Decode(header_.data(), header.size);
    data += used;
    len -= used;
}

void TPatchDecoder::Decode(const char *data, std::size_t len) {
    consumed_ += len;
    if (consumed_ > maxInput_)
        throw EPatchInvalid("the patch is longer than any patch of its declared result");
    ZSTD_inBuffer in{data, len, 0};
    for (;;) {
        ZSTD_outBuffer out{context_->buffer.data(), context_->buffer.size(), 0};
        const std::size_t next = ZSTD_decompressStream(context_->decoder, &out, &in);
        if (ZSTD_isError(next))
            throw EPatchInvalid(std::string("the patch does not decode: ") +
                                ZSTD_getErrorName(next));
        if (out.pos > 0) {
            produced_ += out.pos;
            if (produced_ > declared_)
                throw EPatchInvalid("the result is longer than the frame declared");
            output_(context_->buffer.data(), out.pos);
        }
        if (next == 0) {
            frameEnded_ = true;
            if (in.pos < in.size)
                throw EPatchInvalid("bytes follow the patch's frame");
            return;
        }
        // A full output buffer may leave more decoded bytes inside the decoder.
        if (in.pos == in.size && out.pos < out.size)
            return;
    }
}

void TPatchDecoder::Finish() {
    if (!frameEnded_)
        throw EPatchInvalid(header_.empty() ? "the patch is empty"
                                            : "the patch ends before its frame does");
    if (produced_ != declared_)
        throw EPatchInvalid("the result's size is not the declared one");
}
