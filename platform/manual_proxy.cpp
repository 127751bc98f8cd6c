// A request's proxy from a fixed proxy list and its bypass list.
#include "manual_proxy.h"

#include "text_encoding.h"
#include "url_parts.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

/// The list's entries: separated by ";", "," or white space, empty ones dropped.
std::vector<std::string> Entries(const std::u16string &list) {
    std::vector<std::string> entries;
    std::string current;
    for (const char c : Utf16ToUtf8(list)) {
        if (c == ';' || c == ',' || std::isspace(static_cast<unsigned char>(c))) {
            if (!current.empty())
                entries.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        entries.push_back(current);
    return entries;
}

/// "*" matches any run of characters; everything else matches itself.
bool Matches(std::string_view pattern, std::string_view text) {
    std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool IsLoopback(const std::string &host) {
    return host == "localhost" || host == "::1" || host.starts_with("127.");
}

bool IsBypassed(const std::vector<std::string> &bypass, const UrlParts &target) {
    const std::string host = Lower(target.Host);
    const std::string hostAndPort = host + ":" + std::to_string(target.Port);
    bool loopbackBypassed = true;
    for (const std::string &raw : bypass) {
        std::string entry = Lower(raw);
        if (entry == "<-loopback>") {
            loopbackBypassed = false;
            continue;
        }
        if (entry == "<local>") {
            if (host.find('.') == std::string::npos && host.find(':') == std::string::npos)
                return true;
            continue;
        }
        if (const auto sep = entry.find("://"); sep != std::string::npos) {
            if (!Matches(entry.substr(0, sep), target.Scheme))
                continue;
            entry.erase(0, sep + 3);
        }
        const bool withPort = entry.find(':') != std::string::npos && entry.front() != '[';
        if (Matches(entry, withPort ? hostAndPort : host))
            return true;
    }
    return loopbackBypassed && IsLoopback(host);
}

/// "host:port" (or "scheme://host:port") as an address for the HTTP library.
std::string ProxyAddress(std::string entry, bool socks) {
    if (const auto sep = entry.find("://"); sep != std::string::npos)
        entry.erase(0, sep + 3);
    while (!entry.empty() && entry.back() == '/')
        entry.pop_back();
    if (entry.empty())
        return {};
    const auto close = entry.rfind(']');
    const auto colon = entry.rfind(':');
    const bool hasPort = colon != std::string::npos &&
                         (close == std::string::npos || colon > close) &&
                         (close != std::string::npos || entry.find(':') == colon);
    if (!hasPort)
        entry += socks ? ":1080" : ":80";
    return (socks ? "socks4://" : "http://") + entry;
}

} // namespace

std::string ManualProxyFor(const ManualProxySettings &settings, const std::string &url) {
    const auto target = ParseUrl(Utf8ToUtf16(url));
    if (!target)
        return {};
    std::optional<std::string> forScheme, forAll, socks;
    for (const std::string &entry : Entries(settings.Proxy)) {
        const auto equals = entry.find('=');
        if (equals == std::string::npos) {
            if (!forAll)
                forAll = entry;
            continue;
        }
        const std::string scheme = Lower(entry.substr(0, equals));
        const std::string value = entry.substr(equals + 1);
        if (scheme == target->Scheme && !forScheme)
            forScheme = value;
        else if (scheme == "socks" && !socks)
            socks = value;
    }
    const bool useSocks = !forScheme && !forAll && socks;
    const std::optional<std::string> chosen = forScheme ? forScheme : forAll ? forAll : socks;
    if (!chosen || IsBypassed(Entries(settings.Bypass), *target))
        return {};
    return ProxyAddress(*chosen, useSocks);
}

} // namespace platform
