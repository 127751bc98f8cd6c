#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace verify {

/// Streaming SHA-256, for naming a file by its contents (a patch is published under the hash of
/// the client it applies to). Memory stays constant whatever is fed.
class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;

    /// Adds `len` bytes to the hash.
    void Update(const void *data, std::size_t len);
    /// The digest of everything fed so far. The hasher is spent afterwards: call once.
    Digest Final();

    /// The digest as 64 lowercase hexadecimal digits, as `sha256sum` prints it.
    static std::string Hex(const Digest &digest);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace verify
