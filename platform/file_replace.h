#pragma once

#include <chrono>
#include <filesystem>
#include <system_error>

namespace platform {

/// How long a replace keeps retrying while the target is still held by a process that was
/// just ended (Windows keeps an image file locked for a moment after its process dies).
inline constexpr std::chrono::milliseconds kReplaceRetryPeriod{5000};

/// Atomically puts `source` in the place of `target`, replacing an existing file: afterwards
/// `target` is either the old file, byte for byte, or the complete new one. Both must be in the
/// same folder. The rename is made durable (Windows: write-through; POSIX: the folder is synced).
/// Retries for up to `retryFor` while the target is locked. On failure `source` is left as it
/// was and `error` says why.
bool ReplaceFileAtomically(const std::filesystem::path &source, const std::filesystem::path &target,
                           std::error_code &error,
                           std::chrono::milliseconds retryFor = kReplaceRetryPeriod);

} // namespace platform
