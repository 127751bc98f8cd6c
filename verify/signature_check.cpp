// Checking a file against a minisign signature with libsodium, fed chunk by chunk.
#include "signature_check.h"

#include "sodium_init.h"

#include <sodium.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace verify {

namespace {

bool SignedBy(const std::array<std::uint8_t, 64> &signature, const std::uint8_t *message,
              std::size_t len, const MinisignPublicKey &key) {
    return crypto_sign_verify_detached(signature.data(), message, len, key.key.data()) == 0;
}

/// Ed25519's last step for a signature (R, S) over a message whose SHA-512(R || A || message)
/// is `digest`: S must be a reduced scalar, R and A points of the prime-order group, and
/// [S]B - [h]A must be R. These are the checks libsodium's one-shot verification makes (with the
/// stricter prime-order test for R), so a stream gives the same verdict as the whole message.
bool Ed25519DigestMatches(const std::array<std::uint8_t, 64> &signature,
                          const std::array<std::uint8_t, 64> &digest,
                          const MinisignPublicKey &key) {
    const std::uint8_t *r = signature.data();
    const std::uint8_t *s = signature.data() + 32;

    std::array<std::uint8_t, 64> wide{};
    std::copy_n(s, 32, wide.begin());
    std::array<std::uint8_t, 32> reduced{};
    crypto_core_ed25519_scalar_reduce(reduced.data(), wide.data());
    if (!std::equal(reduced.begin(), reduced.end(), s))
        return false; // S is not below the group order: a malleated signature
    if (!crypto_core_ed25519_is_valid_point(r) ||
        !crypto_core_ed25519_is_valid_point(key.key.data()))
        return false;

    std::array<std::uint8_t, 32> h{};
    crypto_core_ed25519_scalar_reduce(h.data(), digest.data());
    std::array<std::uint8_t, 32> sB{};
    std::array<std::uint8_t, 32> hA{};
    std::array<std::uint8_t, 32> check{};
    if (crypto_scalarmult_ed25519_base_noclamp(sB.data(), s) != 0 ||
        crypto_scalarmult_ed25519_noclamp(hA.data(), h.data(), key.key.data()) != 0 ||
        crypto_core_ed25519_sub(check.data(), sB.data(), hA.data()) != 0)
        return false;
    return sodium_memcmp(check.data(), r, 32) == 0;
}

} // namespace

const char *VerdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Authentic:
        return "authentic";
    case Verdict::KeyIdMismatch:
        return "the signature was made with another key";
    case Verdict::BadGlobalSignature:
        return "the trusted comment's signature is wrong";
    case Verdict::BadSignature:
        return "the file does not match its signature";
    }
    return "unknown verdict";
}

struct Blake2b512::State {
    crypto_generichash_state hash;
    bool finished = false;
};

Blake2b512::Blake2b512() : state_(std::make_unique<State>()) {
    EnsureSodium();
    crypto_generichash_init(&state_->hash, nullptr, 0, std::tuple_size_v<Digest>);
}

Blake2b512::~Blake2b512() = default;

void Blake2b512::Update(const void *data, std::size_t len) {
    if (len > 0)
        crypto_generichash_update(&state_->hash, static_cast<const unsigned char *>(data), len);
}

Blake2b512::Digest Blake2b512::Final() {
    Digest digest{};
    if (!state_->finished) {
        crypto_generichash_final(&state_->hash, digest.data(), digest.size());
        state_->finished = true;
    }
    return digest;
}

Verdict CheckSignatureHeader(const MinisignPublicKey &key, const MinisignSignature &signature) {
    EnsureSodium();
    if (signature.keyId != key.keyId)
        return Verdict::KeyIdMismatch;
    // The global signature covers the file's signature followed by the trusted comment.
    std::vector<std::uint8_t> covered(signature.signature.begin(), signature.signature.end());
    covered.insert(covered.end(), signature.trustedComment.begin(), signature.trustedComment.end());
    if (!SignedBy(signature.globalSignature, covered.data(), covered.size(), key))
        return Verdict::BadGlobalSignature;
    return Verdict::Authentic;
}

struct StreamingVerifier::State {
    MinisignPublicKey key;
    MinisignSignature signature;
    Verdict header = Verdict::Authentic;
    std::optional<Verdict> verdict;
    Blake2b512 prehash;                // the "ED" form
    crypto_hash_sha512_state legacy{}; // the "Ed" form: SHA-512(R || A || file)
};

StreamingVerifier::StreamingVerifier(const MinisignPublicKey &key,
                                     const MinisignSignature &signature)
    : state_(std::make_unique<State>()) {
    state_->key = key;
    state_->signature = signature;
    state_->header = CheckSignatureHeader(key, signature);
    if (signature.algorithm == SignatureAlgorithm::Legacy) {
        crypto_hash_sha512_init(&state_->legacy);
        crypto_hash_sha512_update(&state_->legacy, signature.signature.data(), 32);
        crypto_hash_sha512_update(&state_->legacy, key.key.data(), key.key.size());
    }
}

StreamingVerifier::~StreamingVerifier() = default;

void StreamingVerifier::Update(const void *data, std::size_t len) {
    if (state_->verdict || len == 0)
        return;
    if (state_->signature.algorithm == SignatureAlgorithm::Prehashed)
        state_->prehash.Update(data, len);
    else
        crypto_hash_sha512_update(&state_->legacy, static_cast<const unsigned char *>(data), len);
}

Verdict StreamingVerifier::Finish() {
    if (state_->verdict)
        return *state_->verdict;
    Verdict verdict = state_->header;
    if (verdict == Verdict::Authentic) {
        const auto &signature = state_->signature;
        bool matches = false;
        if (signature.algorithm == SignatureAlgorithm::Prehashed) {
            const auto digest = state_->prehash.Final();
            matches = SignedBy(signature.signature, digest.data(), digest.size(), state_->key);
        } else {
            std::array<std::uint8_t, 64> digest{};
            crypto_hash_sha512_final(&state_->legacy, digest.data());
            matches = Ed25519DigestMatches(signature.signature, digest, state_->key);
        }
        verdict = matches ? Verdict::Authentic : Verdict::BadSignature;
    }
    state_->verdict = verdict;
    return verdict;
}

} // namespace verify
