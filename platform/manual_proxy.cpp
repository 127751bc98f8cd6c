// A request's proxy from a fixed proxy list and its bypass list.
#include "manual_proxy.h"

#include "text_encoding.h"
#include "url_parts.h"

#include <algorithm>
#include <array>
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

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

/// The length of the scheme that `text` starts with ("socks5" of "socks5://host"); 0 when it
/// starts with none.
std::size_t SchemeLength(std::string_view text) {
    std::size_t length = 0;
    while (length < text.size() &&
           (std::isalnum(static_cast<unsigned char>(text[length])) || text[length] == '+' ||
            text[length] == '-' || text[length] == '.'))
        ++length;
    return length > 0 && text.substr(length).starts_with("://") ? length : 0;
}

/// The key of a "key=value" entry ("https" of "https=host:port"): the text before an "=" that
/// comes before any ":", "/" or "@"; empty when the entry has none.
std::string_view EntryKey(std::string_view entry) {
    const auto end = entry.find_first_of("=:/@");
    return end != std::string_view::npos && entry[end] == '=' ? entry.substr(0, end)
                                                              : std::string_view();
}

bool StartsEntry(std::string_view word) {
    return !EntryKey(word).empty() || SchemeLength(word) > 0;
}

/// Adds the entries of one stretch of a list between ";" or "," separators. White space
/// separates entries too, except inside an entry's user-info ("user:pa ss@host:port"): a word
/// joins the entry before it while that entry has no "@" yet and an "@" comes, in this word or in
/// the next ones, before a word that starts an entry of its own ("name=" or "name://").
void AddEntries(std::string_view stretch, std::vector<std::string> &entries) {
    std::vector<std::string_view> words;
    for (std::size_t i = 0; i < stretch.size();) {
        if (IsSpace(stretch[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < stretch.size() && !IsSpace(stretch[end]))
            ++end;
        words.push_back(stretch.substr(i, end - i));
        i = end;
    }
    std::vector<bool> reachesAt(words.size() + 1, false);
    for (std::size_t i = words.size(); i-- > 0;) {
        reachesAt[i] = !StartsEntry(words[i]) &&
                       (words[i].find('@') != std::string_view::npos || reachesAt[i + 1]);
    }
    // Words are views into `stretch`, so an entry of several words keeps its own white space.
    std::size_t first = 0;
    bool hasAt = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > first && !(reachesAt[i] && !hasAt)) {
            const char *begin = words[first].data();
            entries.emplace_back(begin,
                                 std::size_t(words[i - 1].data() + words[i - 1].size() - begin));
            first = i;
            hasAt = false;
        }
        hasAt = hasAt || words[i].find('@') != std::string_view::npos;
    }
    if (first < words.size()) {
        const char *begin = words[first].data();
        entries.emplace_back(begin, std::size_t(words.back().data() + words.back().size() - begin));
    }
}

/// The list's entries, separated by ";", "," or white space, empty ones dropped.
std::vector<std::string> Entries(const std::u16string &list) {
    const std::string text = Utf16ToUtf8(list);
    std::vector<std::string> entries;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find_first_of(";,", start), text.size());
        AddEntries(std::string_view(text).substr(start, end - start), entries);
        start = end + 1;
    }
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

/// A bypass entry's host pattern and, when it names one, its port pattern. An IPv6 address may
/// stand in brackets ("[fe80::1]", "[fe80::1]:8080") or bare ("fe80::1", never with a port).
struct HostPattern {
    std::string_view Host;
    std::optional<std::string_view> Port;
};

HostPattern SplitHostPattern(std::string_view entry) {
    if (entry.starts_with('[')) {
        if (const auto close = entry.find(']'); close != std::string_view::npos) {
            std::string_view rest = entry.substr(close + 1);
            if (rest.empty())
                return {entry.substr(1, close - 1), std::nullopt};
            if (rest.starts_with(':'))
                rest.remove_prefix(1);
            return {entry.substr(1, close - 1), rest};
        }
    }
    const auto colon = entry.find(':');
    if (colon == std::string_view::npos || entry.find(':', colon + 1) != std::string_view::npos)
        return {entry, std::nullopt};
    return {entry.substr(0, colon), entry.substr(colon + 1)};
}

bool IsBypassed(const std::vector<std::string> &bypass, const UrlParts &target) {
    const std::string host = Lower(target.Host);
    const std::string port = std::to_string(target.Port);
    bool loopbackBypassed = true;
    for (const std::string &raw : bypass) {
        const std::string lowered = Lower(raw);
        std::string_view entry = lowered;
        if (entry == "<-loopback>") {
            loopbackBypassed = false;
            continue;
        }
        if (entry == "<local>") {
            if (host.find('.') == std::string::npos && host.find(':') == std::string::npos)
                return true;
            continue;
        }
        if (const auto sep = entry.find("://"); sep != std::string_view::npos) {
            if (!Matches(entry.substr(0, sep), target.Scheme))
                continue;
            entry.remove_prefix(sep + 3);
        }
        const HostPattern pattern = SplitHostPattern(entry);
        if (Matches(pattern.Host, host) && (!pattern.Port || Matches(*pattern.Port, port)))
            return true;
    }
    return loopbackBypassed && IsLoopback(host);
}

/// The scheme the HTTP library speaks to the proxy: an https or SOCKS scheme the entry names is
/// kept (a bare "socks" is SOCKS4, as in the Windows settings); otherwise SOCKS4 for the "socks="
/// entry and http for every other.
std::string ProxyScheme(std::string_view given, bool socksEntry) {
    const std::string scheme = Lower(given);
    constexpr std::array<std::string_view, 5> kKept = {"https", "socks4", "socks4a", "socks5",
                                                       "socks5h"};
    if (std::find(kKept.begin(), kKept.end(), scheme) != kKept.end())
        return scheme;
    return socksEntry || scheme == "socks" ? "socks4" : "http";
}

/// The user-info as the HTTP library reads it in a proxy's address, which it percent-decodes:
/// characters that would end or break the user-info (white space, "@", "/", "?", "#", control
/// and non-ASCII bytes) are percent-encoded; a "%" is kept, so encoded text stays as it is.
std::string EncodedUserInfo(std::string_view userInfo) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : userInfo) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '@' || c == '/' || c == '?' || c == '#') {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

/// "[scheme://][user-info@]host[:port]" as an address for the HTTP library, with the scheme it
/// is to speak and the port filled in.
std::string ProxyAddress(std::string_view entry, bool socksEntry) {
    const std::size_t schemeLength = SchemeLength(entry);
    const std::string scheme = ProxyScheme(entry.substr(0, schemeLength), socksEntry);
    if (schemeLength > 0)
        entry.remove_prefix(schemeLength + 3);
    while (!entry.empty() && entry.back() == '/')
        entry.remove_suffix(1);
    std::string userInfo;
    if (const auto at = entry.rfind('@'); at != std::string_view::npos) {
        userInfo = EncodedUserInfo(entry.substr(0, at)) + "@";
        entry.remove_prefix(at + 1);
    }
    if (entry.empty())
        return {};
    const auto close = entry.rfind(']');
    const auto colon = entry.rfind(':');
    const bool hasPort = colon != std::string_view::npos &&
                         (close == std::string_view::npos || colon > close) &&
                         (close != std::string_view::npos || entry.find(':') == colon);
    std::string address = scheme + "://" + userInfo + std::string(entry);
    if (!hasPort)
        address += scheme == "http" ? ":80" : scheme == "https" ? ":443" : ":1080";
    return address;
}

} // namespace

std::string ManualProxyFor(const ManualProxySettings &settings, const std::string &url) {
    const auto target = ParseUrl(Utf8ToUtf16(url));
    if (!target)
        return {};
    std::optional<std::string> forScheme, forAll, socks;
    for (const std::string &entry : Entries(settings.Proxy)) {
        const std::string_view key = EntryKey(entry);
        if (key.empty() && !entry.starts_with('=')) {
            if (!forAll)
                forAll = entry;
            continue;
        }
        const std::string scheme = Lower(key);
        const std::string value = entry.substr(key.size() + 1);
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
