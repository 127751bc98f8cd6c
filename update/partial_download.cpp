// The partial file of a broken-off download and its small companion file.
#include "partial_download.h"

#include "own_files.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>
#include <system_error>

namespace {

/// First line of the info file; anything else is not ours.
constexpr std::string_view kInfoHeader = "zorvane partial download 1";
/// How long before the reply a Last-Modified date must lie to tell files apart.
constexpr std::int64_t kLastModifiedSettled = 60;
/// An info file is a few short lines; a larger one is not ours.
constexpr std::uintmax_t kMaxInfoSize = 8192;

std::filesystem::path InfoPathOf(const std::filesystem::path &target) {
    auto path = target;
    path += ".part.info";
    return path;
}

std::optional<std::int64_t> Number(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

bool HasLineBreak(const std::string &text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

std::optional<TPartialDownload> ReadInfo(const std::filesystem::path &path) {
    if (!platform::IsOwnPlainFile(path))
        return std::nullopt;
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kMaxInfoSize)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    std::string header;
    std::string url;
    std::string validator;
    std::string length;
    std::string partSize;
    if (!std::getline(in, header) || header != kInfoHeader || !std::getline(in, url) ||
        !std::getline(in, validator) || !std::getline(in, length) || !std::getline(in, partSize))
        return std::nullopt;
    const auto lengthValue = Number(length);
    const auto sizeValue = Number(partSize);
    if (url.empty() || validator.empty() || !lengthValue || !sizeValue)
        return std::nullopt;
    return TPartialDownload{url, validator, *lengthValue, *sizeValue};
}

} // namespace

std::filesystem::path PartialPathOf(const std::filesystem::path &target) {
    auto path = target;
    path += ".part";
    return path;
}

std::string ResumeValidator(const std::string &etag, const std::string &lastModified,
                            const std::string &date) {
    if (!etag.empty())
        return etag.rfind("W/", 0) != 0 && !HasLineBreak(etag) ? etag : std::string();
    const auto modified = ParseHttpDate(lastModified);
    const auto sent = ParseHttpDate(date);
    if (modified && sent && *sent - *modified >= kLastModifiedSettled)
        return lastModified;
    return {};
}

std::optional<std::int64_t> ParseHttpDate(const std::string &text) {
    // IMF-fixdate: "Sun, 06 Nov 1994 08:49:37 GMT", exactly 29 characters.
    static constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    if (text.size() != 29 || text[3] != ',' || text[4] != ' ' || text[7] != ' ' ||
        text[11] != ' ' || text[16] != ' ' || text[19] != ':' || text[22] != ':' ||
        text.compare(25, 4, " GMT") != 0)
        return std::nullopt;
    const auto month = kMonths.find(std::string_view(text).substr(8, 3));
    const auto day = Number(std::string_view(text).substr(5, 2));
    const auto year = Number(std::string_view(text).substr(12, 4));
    const auto hour = Number(std::string_view(text).substr(17, 2));
    const auto minute = Number(std::string_view(text).substr(20, 2));
    const auto second = Number(std::string_view(text).substr(23, 2));
    if (month == kMonths.npos || month % 3 != 0 || !day || !year || !hour || !minute || !second ||
        *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 60)
        return std::nullopt;
    // Days from 1970-01-01 to the civil date (proleptic Gregorian), without the C library's
    // time zone.
    const std::int64_t m = static_cast<std::int64_t>(month / 3) + 1;
    const std::int64_t y = *year - (m <= 2 ? 1 : 0);
    const std::int64_t era = y / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + *day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t days = era * 146097 + dayOfEra - 719468;
    return days * 86400 + *hour * 3600 + *minute * 60 + *second;
}

std::optional<std::string> PartialDownloadUrl(const std::filesystem::path &target) {
    const auto info = ReadInfo(InfoPathOf(target));
    return info ? std::optional<std::string>(info->Url) : std::nullopt;
}

std::optional<TPartialDownload> ClaimPartialDownload(const std::filesystem::path &target,
                                                     const std::string &url,
                                                     const std::filesystem::path &temporary) {
    const auto part = PartialPathOf(target);
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(part, error))) {
        DiscardPartialDownload(target); // an info file without its partial file
        return std::nullopt;
    }
    // Only a plain file of ours: a link could make the download append to (and later install)
    // a file elsewhere, and a file another user planted or still holds a name of is theirs to
    // rewrite after it was verified.
    const auto info = ReadInfo(InfoPathOf(target));
    const bool plain = platform::IsOwnPlainFile(part);
    const auto size = std::filesystem::file_size(part, error);
    const bool usable = info && plain && !error && info->Url == url && info->Size > 0 &&
                        info->Size < info->Length &&
                        static_cast<std::uintmax_t>(info->Size) == size;
    if (!usable) {
        DiscardPartialDownload(target);
        return std::nullopt;
    }
    // The rename claims the file: a second updater running at the same time finds none.
    std::filesystem::rename(part, temporary, error);
    if (error) {
        DiscardPartialDownload(target);
        return std::nullopt;
    }
    std::filesystem::remove(InfoPathOf(target), error);
    return info;
}

bool KeepPartialDownload(const std::filesystem::path &temporary,
                         const std::filesystem::path &target, const TPartialDownload &info) {
    if (info.Url.empty() || HasLineBreak(info.Url) || info.Validator.empty() ||
        HasLineBreak(info.Validator) || info.Size <= 0 || info.Size >= info.Length)
        return false;
    // Written under a fresh name and renamed into place: a link planted at the info file's name
    // is replaced, never written through.
    std::ostringstream text;
    text << kInfoHeader << '\n'
         << info.Url << '\n'
         << info.Validator << '\n'
         << info.Length << '\n'
         << info.Size << '\n';
    if (!platform::WriteFileByRename(InfoPathOf(target), text.str())) {
        DiscardPartialDownload(target);
        return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, PartialPathOf(target), error);
    if (error) {
        DiscardPartialDownload(target);
        return false;
    }
    return true;
}

void DiscardPartialDownload(const std::filesystem::path &target) {
    std::error_code ignored;
    std::filesystem::remove(PartialPathOf(target), ignored);
    std::filesystem::remove(InfoPathOf(target), ignored);
}
