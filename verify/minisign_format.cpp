// Parsing of minisign's public key text and `.minisig` files. Every input comes from the network
// or from a build setting, so each step checks sizes before it copies anything.
#include "minisign_format.h"

#include "sodium_init.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

namespace verify {

namespace {

constexpr std::string_view kUntrustedPrefix = "untrusted comment: ";
constexpr std::string_view kTrustedPrefix = "trusted comment: ";

/// Size of a decoded public key: algorithm "Ed", key id, Ed25519 key.
constexpr std::size_t kPublicKeyBytes = 2 + 8 + 32;
/// Size of a decoded signature line: algorithm, key id, Ed25519 signature.
constexpr std::size_t kSignatureLineBytes = 2 + 8 + 64;

bool Fail(std::string *why, const char *reason) {
    if (why)
        *why = reason;
    return false;
}

std::string_view TrimSpace(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

/// Decodes standard, padded base64 into exactly `out.size()` bytes; anything else (other
/// characters, wrong padding, another length) fails.
template <std::size_t N>
bool DecodeExactly(std::string_view text, std::array<std::uint8_t, N> &out) {
    // Padded base64 of N bytes is exactly this long; checking first keeps the decoder's work
    // bounded and rejects a longer text before any byte is written.
    if (text.size() != (N + 2) / 3 * 4)
        return false;
    EnsureSodium();
    std::size_t length = 0;
    const int result = sodium_base642bin(out.data(), out.size(), text.data(), text.size(), nullptr,
                                         &length, nullptr, sodium_base64_VARIANT_ORIGINAL);
    return result == 0 && length == N;
}

/// Cuts the next line (without its LF and an optional CR before it) off the front of `rest`.
/// Nothing when `rest` holds no LF: a complete file ends every line it needs.
std::optional<std::string_view> NextLine(std::string_view &rest) {
    const auto end = rest.find('\n');
    if (end == std::string_view::npos)
        return std::nullopt;
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

} // namespace

std::optional<MinisignPublicKey> ParseMinisignPublicKey(std::string_view text, std::string *why) {
    std::array<std::uint8_t, kPublicKeyBytes> raw{};
    if (!DecodeExactly(TrimSpace(text), raw)) {
        Fail(why, "the public key is not the base64 text of a minisign key");
        return std::nullopt;
    }
    if (raw[0] != 'E' || raw[1] != 'd') {
        Fail(why, "the public key is not an Ed25519 key");
        return std::nullopt;
    }
    MinisignPublicKey key;
    std::copy_n(raw.begin() + 2, key.keyId.size(), key.keyId.begin());
    std::copy_n(raw.begin() + 10, key.key.size(), key.key.begin());
    return key;
}

std::optional<MinisignSignature> ParseMinisignSignature(std::string_view text, std::string *why) {
    if (text.size() > kMaxSignatureFileSize) {
        Fail(why, "the signature file is too large");
        return std::nullopt;
    }
    std::string_view rest = text;
    const auto untrusted = NextLine(rest);
    const auto signatureLine = untrusted ? NextLine(rest) : std::nullopt;
    // The last line may end without a line feed.
    std::optional<std::string_view> trusted;
    std::optional<std::string_view> globalLine;
    if (signatureLine) {
        trusted = NextLine(rest);
        if (trusted) {
            globalLine = NextLine(rest);
            if (!globalLine) {
                globalLine = rest;
                rest = {};
            }
        }
    }
    if (!globalLine) {
        Fail(why, "the signature file is cut short");
        return std::nullopt;
    }
    if (!StartsWith(*untrusted, kUntrustedPrefix) ||
        untrusted->size() - kUntrustedPrefix.size() > kMaxUntrustedCommentSize) {
        Fail(why, "the signature file does not begin with an untrusted comment line");
        return std::nullopt;
    }
    if (!StartsWith(*trusted, kTrustedPrefix) ||
        trusted->size() - kTrustedPrefix.size() > kMaxTrustedCommentSize) {
        Fail(why, "the signature file has no trusted comment line");
        return std::nullopt;
    }
    if (!TrimSpace(rest).empty()) {
        Fail(why, "the signature file has text after the global signature");
        return std::nullopt;
    }

    std::array<std::uint8_t, kSignatureLineBytes> raw{};
    if (!DecodeExactly(TrimSpace(*signatureLine), raw)) {
        Fail(why, "the signature line is not the base64 text of a minisign signature");
        return std::nullopt;
    }
    MinisignSignature signature;
    if (raw[0] == 'E' && raw[1] == 'D') {
        signature.algorithm = SignatureAlgorithm::Prehashed;
    } else if (raw[0] == 'E' && raw[1] == 'd') {
        signature.algorithm = SignatureAlgorithm::Legacy;
    } else {
        Fail(why, "the signature uses an unknown algorithm");
        return std::nullopt;
    }
    std::copy_n(raw.begin() + 2, signature.keyId.size(), signature.keyId.begin());
    std::copy_n(raw.begin() + 10, signature.signature.size(), signature.signature.begin());

    if (!DecodeExactly(TrimSpace(*globalLine), signature.globalSignature)) {
        Fail(why, "the global signature line is not the base64 text of a signature");
        return std::nullopt;
    }
    signature.trustedComment = std::string(trusted->substr(kTrustedPrefix.size()));
    return signature;
}

} // namespace verify
