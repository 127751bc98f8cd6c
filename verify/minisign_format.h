#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace verify {

/// Eight bytes that name a minisign key pair; a signature carries the id of the key that made it.
using KeyId = std::array<std::uint8_t, 8>;

/// Largest `.minisig` file accepted. The tool itself writes at most 1024 bytes of untrusted and
/// 8192 bytes of trusted comment; anything larger is refused before it is parsed.
inline constexpr std::size_t kMaxSignatureFileSize = 16 * 1024;
/// Longest untrusted comment line (after its prefix).
inline constexpr std::size_t kMaxUntrustedCommentSize = 1024;
/// Longest trusted comment line (after its prefix).
inline constexpr std::size_t kMaxTrustedCommentSize = 8192;

/// A minisign public key: what the one-line key text ("RWS...") decodes to.
struct MinisignPublicKey {
    KeyId keyId{};
    std::array<std::uint8_t, 32> key{};
};

/// How the file's signature was made.
enum class SignatureAlgorithm {
    /// "ED": Ed25519 over the BLAKE2b-512 hash of the file (what minisign writes by default).
    Prehashed,
    /// "Ed": Ed25519 over the file's bytes themselves (minisign -l).
    Legacy,
};

/// A parsed `.minisig` file.
struct MinisignSignature {
    SignatureAlgorithm algorithm = SignatureAlgorithm::Prehashed;
    KeyId keyId{};
    std::array<std::uint8_t, 64> signature{};
    /// The text after "trusted comment: ", as signed by the global signature.
    std::string trustedComment;
    /// Ed25519 signature over `signature` followed by `trustedComment`.
    std::array<std::uint8_t, 64> globalSignature{};
};

/// Parses the one-line public key text that `minisign -G` prints and writes as the second line of
/// its `.pub` file. Surrounding white space is ignored. Nothing when the text is not exactly the
/// base64 form of an "Ed" key (42 bytes); `why` then says what is wrong.
std::optional<MinisignPublicKey> ParseMinisignPublicKey(std::string_view text,
                                                        std::string *why = nullptr);

/// Parses a `.minisig` file: an "untrusted comment: " line, the base64 signature line (algorithm
/// "ED" or "Ed", key id, signature), a "trusted comment: " line and the base64 global signature
/// line; lines end in LF or CRLF, and only blank lines may follow. Any input is safe: memory and
/// time stay bounded by `kMaxSignatureFileSize`, and everything else is refused with a reason in
/// `why`.
std::optional<MinisignSignature> ParseMinisignSignature(std::string_view text,
                                                        std::string *why = nullptr);

} // namespace verify
