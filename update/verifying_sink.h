#pragma once

#include "TIdSink.h"
#include "minisign_format.h"
#include "signature_check.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

/// Streams a download into a file (keeping what the file already holds, for a continuation)
/// and, when given a signature, feeds every byte of the whole file to its verifier: a
/// continuation first reads the kept bytes back from the disk, and a body that starts from zero
/// starts the verifier again.
///
/// A continuation may start before the file's end, by at most `kMaxOverlap` bytes: those bytes
/// must then arrive again exactly as kept before anything is appended, which proves the server
/// still sends the same file; otherwise the sink fails and `OverlapMismatched` tells why.
class TVerifyingFileSink final : public TIdSink {
public:
    /// `signature` empty: the bytes are only written.
    TVerifyingFileSink(std::filesystem::path path, const verify::MinisignPublicKey *key,
                       const verify::MinisignSignature *signature);

    void Begin(std::int64_t offset) override;
    void Add(const char *data, std::size_t len) override;

    /// The file sink underneath (flush, close, size).
    TIdFileSink &File() { return file_; }
    /// The verdict on the whole file as written; `Verdict::Authentic` when there is no signature.
    verify::Verdict Finish();
    /// Bytes the server delivered to this sink, whatever the file kept or dropped of them.
    std::uint64_t Received() const { return received_; }
    /// True when the last continuation did not repeat the kept bytes it overlapped.
    bool OverlapMismatched() const { return overlapMismatched_; }

    /// The most a continuation may overlap what the file holds.
    static constexpr std::size_t kMaxOverlap = 64 * 1024;

private:
    void StartVerifier();
    std::string ReadKept(std::int64_t from, std::int64_t count) const;

    TIdFileSink file_;
    const verify::MinisignPublicKey *key_;
    const verify::MinisignSignature *signature_;
    std::unique_ptr<verify::StreamingVerifier> verifier_;
    std::uint64_t received_ = 0;
    std::string overlap_;         ///< kept bytes a continuation must repeat
    std::size_t overlapSeen_ = 0; ///< how many of them have arrived, equal
    bool overlapMismatched_ = false;
};
