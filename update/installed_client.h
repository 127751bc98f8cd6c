#pragma once

#include "mapped_file.h"
#include "minisign_format.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

/// What the updater knows of the client already installed, from one streamed read of it.
struct TInstalledClient {
    std::filesystem::path Path;
    std::uint64_t Size = 0;
    /// SHA-256 of its bytes, 64 lowercase hexadecimal digits: the name of a patch from it.
    std::string Sha256;
    /// The published signature verifies it: it already is the newest client. Always false
    /// without a signature.
    bool Authentic = false;
};

/// Reads the client at `path` once, in pieces (memory stays flat whatever its size), for its
/// SHA-256 and, when `key` and `signature` are given, for whether that signature verifies it.
/// Nothing when there is no regular file there, it cannot be read whole, or `stop` is requested
/// (checked between pieces). Blocks for the read: call it off the main thread.
std::optional<TInstalledClient> ExamineInstalledClient(const std::filesystem::path &path,
                                                       const verify::MinisignPublicKey *key,
                                                       const verify::MinisignSignature *signature,
                                                       const std::stop_token &stop);

/// The installed client mapped into memory, as the reference a patch is applied to: its bytes
/// are read as the patch uses them, never copied. Throws `std::runtime_error` when it cannot be
/// mapped or no longer has the size it had when examined.
std::unique_ptr<platform::MappedFile> MapInstalledClient(const TInstalledClient &client);
