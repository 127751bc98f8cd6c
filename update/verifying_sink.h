#pragma once

#include "TIdSink.h"
#include "minisign_format.h"
#include "signature_check.h"

#include <cstdint>
#include <memory>
#include <optional>

/// Streams a download into a file (keeping what the file already holds, for a continuation)
/// and, when given a signature, feeds every byte of the whole file to its verifier: a
/// continuation from byte N first reads the N kept bytes back from the disk, and a body that
/// starts from zero starts the verifier again.
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

private:
    void StartVerifier();

    TIdFileSink file_;
    const verify::MinisignPublicKey *key_;
    const verify::MinisignSignature *signature_;
    std::unique_ptr<verify::StreamingVerifier> verifier_;
    std::uint64_t received_ = 0;
};
