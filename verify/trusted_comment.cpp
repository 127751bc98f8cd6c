// The fields of a signature's trusted comment.
#include "trusted_comment.h"

#include <charconv>

namespace verify {

namespace {

/// A count of seconds: decimal digits only, no sign, no more than fit in 63 bits.
std::optional<std::int64_t> Seconds(std::string_view text) {
    std::int64_t value = 0;
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != text.npos)
        return std::nullopt;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::optional<TrustedComment> ParseTrustedComment(std::string_view text) {
    TrustedComment comment;
    while (!text.empty()) {
        const auto tab = text.find('\t');
        const std::string_view field = text.substr(0, tab);
        text = tab == text.npos ? std::string_view() : text.substr(tab + 1);
        const auto colon = field.find(':');
        if (colon == field.npos || colon == 0)
            continue;
        const std::string key(field.substr(0, colon));
        const std::string_view value = field.substr(colon + 1);
        if (!comment.Fields.emplace(key, value).second) {
            if (key == "timestamp" || key == "file" || key == "expires" || key == "version")
                return std::nullopt; // two answers to one question: judge by neither
            continue;
        }
        if (key == "timestamp" && !(comment.Timestamp = Seconds(value)))
            return std::nullopt;
        if (key == "expires" && !(comment.Expires = Seconds(value)))
            return std::nullopt;
        if (key == "file")
            comment.File = std::string(value);
    }
    return comment;
}

bool SameFileName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

} // namespace verify
