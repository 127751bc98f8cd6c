#include "url_parts.h"

#include "text_encoding.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace platform {

namespace {

/// A host goes to the resolver as a C string: a NUL would cut it short (and connect to another
/// host than the address names), and spaces or control characters never belong in one.
bool IsHostText(const std::string &host) {
    return std::none_of(host.begin(), host.end(), [](unsigned char c) {
        return c <= 0x20 || c == 0x7F || c == '/' || c == '@';
    });
}

} // namespace

std::optional<UrlParts> ParseUrl(const std::u16string &url) {
    const std::string text = Utf16ToUtf8(url);
    UrlParts parts;
    std::string_view rest(text);
    if (const auto sep = rest.find("://"); sep != std::string_view::npos) {
        parts.Scheme.assign(rest.substr(0, sep));
        std::transform(parts.Scheme.begin(), parts.Scheme.end(), parts.Scheme.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        rest.remove_prefix(sep + 3);
    } else {
        parts.Scheme = "http";
    }
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const auto at = rest.rfind('@'); at != std::string_view::npos)
        rest.remove_prefix(at + 1);

    std::string_view port;
    if (!rest.empty() && rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        parts.Host.assign(rest.substr(1, close - 1));
        rest.remove_prefix(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return std::nullopt;
            port = rest.substr(1);
        }
    } else {
        const auto colon = rest.rfind(':');
        parts.Host.assign(rest.substr(0, colon));
        if (colon != std::string_view::npos)
            port = rest.substr(colon + 1);
    }
    if (parts.Host.empty() || !IsHostText(parts.Host))
        return std::nullopt;

    if (!port.empty()) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (error != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535)
            return std::nullopt;
        parts.Port = std::uint16_t(value);
    } else if (parts.Scheme == "http") {
        parts.Port = 80;
    } else if (parts.Scheme == "https") {
        parts.Port = 443;
    } else {
        return std::nullopt;
    }
    return parts;
}

} // namespace platform
