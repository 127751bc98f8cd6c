#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

/// What is known of a download that broke off part-way, so that the rest can be asked for.
/// Kept beside the partial file "<client>.part" in a small text file "<client>.part.info".
struct TPartialDownload {
    /// The address the bytes came from; another address starts from zero.
    std::string Url;
    /// The reply's validator for If-Range: a strong ETag or, failing that, its Last-Modified.
    std::string Validator;
    /// The full length the reply announced.
    std::int64_t Length = 0;
    /// The bytes the partial file holds.
    std::int64_t Size = 0;
};

/// "<target>.part": the one partial download there can be.
std::filesystem::path PartialPathOf(const std::filesystem::path &target);

/// The validator to resume with, from the reply's ETag, Last-Modified and Date headers: a strong
/// ETag; or, only when no ETag was sent at all, a Last-Modified at least 60 seconds before the
/// reply's Date (a file changed within the same second keeps its date, so a younger date does
/// not tell two files apart); else nothing. A weak ETag is never used for a range.
std::string ResumeValidator(const std::string &etag, const std::string &lastModified,
                            const std::string &date);

/// Seconds since 1970 of an HTTP date in its one current form ("Sun, 06 Nov 1994 08:49:37 GMT");
/// nothing for anything else.
std::optional<std::int64_t> ParseHttpDate(const std::string &text);

/// The address the partial download of `target` came from, as its info records it; nothing when
/// there is no readable info. Only a hint for which server to ask first: claiming checks it all.
std::optional<std::string> PartialDownloadUrl(const std::filesystem::path &target);

/// Takes the partial download of `target` over for a transfer from `url`: moves "<target>.part"
/// to `temporary` and returns what is known of it. Nothing (and no partial file left, nor its
/// info) when there is none, or when it is not one we can continue: either file not a plain file
/// of this user (a link, a file with another name elsewhere, another user's), no or unreadable
/// info, another address, a size that is not the recorded one, empty, or not shorter than the
/// full length.
std::optional<TPartialDownload> ClaimPartialDownload(const std::filesystem::path &target,
                                                     const std::string &url,
                                                     const std::filesystem::path &temporary);

/// Keeps `temporary` as the partial download of `target` with `info` (the info is written to a
/// fresh file and renamed into place first, then the partial file is renamed into place, so the
/// pair is never half-made and nothing planted at either name is written through). False, and
/// nothing kept, when either step fails.
bool KeepPartialDownload(const std::filesystem::path &temporary,
                         const std::filesystem::path &target, const TPartialDownload &info);

/// Removes the partial download of `target` and its info, if any.
void DiscardPartialDownload(const std::filesystem::path &target);
