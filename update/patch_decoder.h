#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

/// Bounds on what a patch may ask of the decoder. The defaults are the updater's.
struct TPatchLimits {
    /// Largest result, and so the largest client a patch can make (512 MiB). The zstd tool
    /// declares the result's size in the frame header; a larger one is refused before a byte is
    /// decoded. The decoder holds the whole result in memory while it works (a patch may copy
    /// from anywhere in it), so this also bounds that memory.
    std::uint64_t MaxResult = std::uint64_t{512} << 20;
    /// Largest window a frame may declare, as a power of two (2^29 = 512 MiB). `zstd
    /// --patch-from` makes the window cover the reference and the result, so this must allow
    /// real clients; a frame declaring more is refused before anything is allocated.
    int MaxWindowLog = 29;
    /// Largest reference (installed client) a patch is applied to.
    std::uint64_t MaxReference = std::uint64_t{512} << 20;

    /// A new release is at most this many times its reference plus `kResultMargin`: a patch that
    /// declares more is refused before decoding (the whole download follows), so a small patch
    /// cannot make the updater fill memory and disk far beyond what the client could become.
    static constexpr std::uint64_t kResultGrowth = 4;
    static constexpr std::uint64_t kResultMargin = std::uint64_t{32} << 20;
};

/// The largest result a patch of a `referenceSize`-byte reference may declare.
std::uint64_t MaxResultFrom(std::uint64_t referenceSize);

/// A patch that cannot be applied: corrupt, truncated, over a bound, or made for another file.
/// `what()` is a short English text for logs and tests.
class EPatchInvalid : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Rebuilds a file from a patch made by `zstd --patch-from=OLD NEW`, fed piece by piece as it
/// arrives, with OLD (the reference) in memory. The result streams out through `output` in
/// pieces; nothing of it is kept here beyond what the decoder needs to look back at.
///
/// A patch is one zstd frame that declares the result's size and carries a checksum of it (the
/// tool writes both by default): the size is checked against the limits before decoding starts,
/// and the checksum proves at the end that the reference was the right one and nothing was
/// damaged. A frame without them, a second frame, trailing bytes, more input than zstd's worst
/// case for the declared result, or any decoder error raises `EPatchInvalid`. Memory stays below
/// the reference plus `MaxResult` plus about 1 MiB, whatever the input; time grows with the result,
/// which is bounded too.
///
/// One thread at a time. `reference` must stay unchanged while the decoder lives.
class TPatchDecoder {
public:
    using TOutput = std::function<void(const char *data, std::size_t len)>;

    TPatchDecoder(const char *reference, std::size_t referenceSize, TOutput output,
                  const TPatchLimits &limits = {});
    ~TPatchDecoder();
    TPatchDecoder(const TPatchDecoder &) = delete;
    TPatchDecoder &operator=(const TPatchDecoder &) = delete;

    /// Decodes the next `len` bytes of the patch. Throws `EPatchInvalid`, or whatever `output`
    /// throws; the decoder is spent after a throw.
    void Add(const char *data, std::size_t len);
    /// Ends the patch: throws `EPatchInvalid` unless one whole frame was decoded and checked.
    void Finish();

    /// The result's size declared by the frame (0 until its header has arrived).
    std::uint64_t DeclaredSize() const { return declared_; }
    /// Result bytes handed to `output` so far.
    std::uint64_t Produced() const { return produced_; }

private:
    void ReadHeader(const char *&data, std::size_t &len);
    void Decode(const char *data, std::size_t len);

    struct Context;
    std::unique_ptr<Context> context_;
    const char *reference_;
    std::size_t referenceSize_;
    TOutput output_;
    TPatchLimits limits_;
    std::string header_; ///< the frame header as it arrives, until it is complete
    bool headerRead_ = false;
    bool frameEnded_ = false;
    std::uint64_t declared_ = 0;
    std::uint64_t produced_ = 0;
    std::uint64_t consumed_ = 0; ///< patch bytes handed to the decoder
    std::uint64_t maxInput_ = 0;
};
