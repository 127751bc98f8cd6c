// SHA-256 over libsodium, fed chunk by chunk.
#include "sha256.h"

#include "sodium_init.h"

#include <sodium.h>

namespace verify {

struct Sha256::State {
    crypto_hash_sha256_state hash{};
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
    EnsureSodium();
    crypto_hash_sha256_init(&state_->hash);
}

Sha256::~Sha256() = default;

void Sha256::Update(const void *data, std::size_t len) {
    if (len > 0)
        crypto_hash_sha256_update(&state_->hash, static_cast<const unsigned char *>(data), len);
}

Sha256::Digest Sha256::Final() {
    Digest digest{};
    crypto_hash_sha256_final(&state_->hash, digest.data());
    return digest;
}

std::string Sha256::Hex(const Digest &digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(digest.size() * 2);
    for (const std::uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

} // namespace verify
