#include "text_encoding.h"
#include "url_parts.h"

#include <gtest/gtest.h>

namespace {

using platform::ParseUrl;

TEST(TextEncoding, RoundTripsPersianAndAstralTextAndReplacesBadBytes) {
    const std::u16string persian = u"بروز رسانی نرم افزار \U0001F600";
    EXPECT_EQ(platform::Utf8ToUtf16(platform::Utf16ToUtf8(persian)), persian);
    EXPECT_EQ(platform::Utf8ToUtf16("a\xFF"
                                    "b"),
              u"a\uFFFDb");
    EXPECT_EQ(platform::Utf8ToUtf16("\xE2\x82"), u"\uFFFD"); // cut short
    EXPECT_EQ(platform::Utf8ToUtf16("\xC0\xAF"), u"\uFFFD"); // over-long "/"
    EXPECT_EQ(platform::Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(UrlParts, HostPortAndSchemeDefaults) {
    auto parts = ParseUrl(u"http://www.example.org");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->Host, "www.example.org");
    EXPECT_EQ(parts->Port, 80);

    parts = ParseUrl(u"HTTPS://user@host.test:8443/path?q=1");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->Scheme, "https");
    EXPECT_EQ(parts->Host, "host.test");
    EXPECT_EQ(parts->Port, 8443);

    parts = ParseUrl(u"http://[::1]:8080/");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->Host, "::1");
    EXPECT_EQ(parts->Port, 8080);

    EXPECT_FALSE(ParseUrl(u"http://host:99999"));
    EXPECT_FALSE(ParseUrl(u"http://host:8x"));
    EXPECT_FALSE(ParseUrl(u"ftp://host"));
    EXPECT_FALSE(ParseUrl(u"http:///path"));
}

TEST(UrlParts, RejectsHostsTheResolverWouldReadDifferently) {
    // A NUL inside the host would make the connection check dial only the part before it.
    EXPECT_FALSE(ParseUrl(std::u16string(u"http://127.0.0.1") + u'\0' + u".example/"));
    EXPECT_FALSE(ParseUrl(u"http://host name.example/"));
    EXPECT_FALSE(ParseUrl(u"http://host\t.example:80/"));
    EXPECT_FALSE(ParseUrl(u"http://[::1\n]:80/"));
}

} // namespace
