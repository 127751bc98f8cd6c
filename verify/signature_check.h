#pragma once

#include "minisign_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace verify {

/// The outcome of checking a file against a `.minisig` and the built-in key.
enum class Verdict {
    Authentic,          ///< signature and global signature are the key's, for these very bytes
    KeyIdMismatch,      ///< the signature names another key than the built-in one
    BadGlobalSignature, ///< the trusted comment (or the signature beside it) was not signed by the
                        ///< key
    BadSignature,       ///< the file's bytes are not what the key signed
};

/// A short English text for a verdict, for logs and test messages.
const char *VerdictText(Verdict verdict);

/// Streaming BLAKE2b with a 512-bit digest and no key, as minisign hashes a file before signing
/// it. Memory stays constant whatever is fed.
class Blake2b512 {
public:
    using Digest = std::array<std::uint8_t, 64>;

    Blake2b512();
    ~Blake2b512();
    Blake2b512(const Blake2b512 &) = delete;
    Blake2b512 &operator=(const Blake2b512 &) = delete;

    /// Adds `len` bytes to the hash.
    void Update(const void *data, std::size_t len);
    /// The digest of everything fed so far. The hasher is spent afterwards: call once.
    Digest Final();

private:
    struct State;
    std::unique_ptr<State> state_;
};

/// Checks what can be checked before a single byte of the file has arrived: that the signature
/// names `key`, and that the global signature covers the file signature and the trusted comment.
/// `Verdict::Authentic` means only that these two hold.
Verdict CheckSignatureHeader(const MinisignPublicKey &key, const MinisignSignature &signature);

/// Verifies a file fed chunk by chunk as it arrives, in constant memory, for both of minisign's
/// algorithms: the prehashed one feeds BLAKE2b-512, the legacy one feeds the SHA-512 of Ed25519's
/// own verification. `Finish` gives the whole verdict: key id, global signature and file.
class StreamingVerifier {
public:
    StreamingVerifier(const MinisignPublicKey &key, const MinisignSignature &signature);
    ~StreamingVerifier();
    StreamingVerifier(const StreamingVerifier &) = delete;
    StreamingVerifier &operator=(const StreamingVerifier &) = delete;

    /// Adds the next `len` bytes of the file.
    void Update(const void *data, std::size_t len);
    /// The verdict for the bytes fed so far. Call once; later calls repeat the first verdict.
    Verdict Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace verify
