// Feeds arbitrary UTF-16 text to the address splitter of the POSIX connection check and to the
// text conversions under it, and checks what a caller relies on: a host that the resolver reads
// whole, a port that can be dialled, and UTF-8 that converts back to the same text.
#include "text_encoding.h"
#include "url_parts.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool IsSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

/// True when `text` holds no unpaired surrogate, so its UTF-8 form converts back unchanged.
bool IsWellFormed(const std::u16string &text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsSurrogate(text[i]))
            continue;
        if (text[i] >= 0xDC00 || i + 1 == text.size() || text[i + 1] < 0xDC00 ||
            text[i + 1] > 0xDFFF)
            return false;
        ++i;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::u16string url(size / 2, u'\0');
    if (!url.empty())
        std::memcpy(url.data(), data, url.size() * 2);

    const std::string utf8 = platform::Utf16ToUtf8(url);
    const std::u16string back = platform::Utf8ToUtf16(utf8);
    if (IsWellFormed(url) && back != url)
        std::abort(); // well-formed text must survive the round trip
    if (platform::Utf16ToUtf8(back) != utf8)
        std::abort(); // the converter's own output is always valid UTF-8

    const auto parts = platform::ParseUrl(url);
    if (parts) {
        if (parts->Host.empty() || parts->Port == 0)
            std::abort();
        // getaddrinfo reads the host up to its first NUL: the whole host must reach it.
        for (const char c : parts->Host)
            if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F || c == '/' || c == '@')
                std::abort();
        for (const char c : parts->Scheme)
            if (c >= 'A' && c <= 'Z')
                std::abort();
    }
    return 0;
}
