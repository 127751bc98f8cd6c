#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace verify {

/// What a verified signature's trusted comment says about the release it signs. minisign writes
/// "timestamp:<unix seconds>\tfile:<name>\thashed" by default; publishers may add fields such as
/// "expires:<unix seconds>" or "version:X.Y.Z". Only text the global signature covered is read.
struct TrustedComment {
    /// When the file was signed (unix seconds): orders releases, the newest wins.
    std::optional<std::int64_t> Timestamp;
    /// The file name the signature was made for.
    std::optional<std::string> File;
    /// After this (unix seconds) the signature is stale: the publisher wants a fresher one served.
    std::optional<std::int64_t> Expires;
    /// Every "key:value" field as written, the ones above included.
    std::map<std::string, std::string> Fields;
};

/// Reads TAB-separated fields; a field "key:value" (split at its first colon) is kept, anything
/// else is ignored. Nothing when the comment is not one a release can be judged by: a known field
/// given twice, or a timestamp or expiry that is not a plain decimal number of seconds.
std::optional<TrustedComment> ParseTrustedComment(std::string_view text);

/// ASCII case-insensitive equality, as Windows compares file names.
bool SameFileName(std::string_view a, std::string_view b);

} // namespace verify
