// The ANSI code page: which page a locale uses and how its bytes read.
#include "ansi_codepage.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

TEST(AnsiCodePage, LocalesMapToTheirWindowsCodePage) {
    const struct {
        const char *locale;
        int codePage;
    } cases[] = {
        {"fa_IR.UTF-8", 1256}, {"fa_IR", 1256},       {"ar_EG.utf8", 1256},
        {"ur_PK", 1256},       {"en_US.UTF-8", 1252}, {"de_DE@euro", 1252},
        {"C", 1252},           {"POSIX", 1252},       {"", 1252},
        {"C.UTF-8", 1252},     {"ru_RU.UTF-8", 1251}, {"sr_RS", 1251},
        {"sr_RS@latin", 1250}, {"pl_PL", 1250},       {"el_GR", 1253},
        {"tr_TR", 1254},       {"he_IL", 1255},       {"lt_LT", 1257},
        {"vi_VN", 1258},       {"th_TH", 874},        {"ja_JP.UTF-8", 932},
        {"ko_KR", 949},        {"zh_CN.UTF-8", 936},  {"zh_TW", 950},
        {"zh_HK.UTF-8", 950},  {"FA_ir", 1256},       {"far_XX", 1252},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AnsiCodePageOfLocale(QString::fromLatin1(c.locale)), c.codePage) << c.locale;
}

TEST(AnsiCodePage, EveryByteReadsAsOneCharacterZeroBytesIncluded) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    for (const int codePage : {1252, 1256}) {
        const QString text = AnsiToString(all, codePage);
        ASSERT_EQ(text.size(), 256) << codePage;
        for (int b = 0; b < 128; ++b)
            EXPECT_EQ(text[b].unicode(), b) << codePage << " byte " << b;
        EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << codePage;
    }
    // The bytes of "سلام" in UTF-8, as the two pages read them.
    const QByteArray salam("\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85");
    EXPECT_EQ(AnsiToString(salam, 1252),
              QString::fromUtf16(u"\u00D8\u00B3\u00D9\u201E\u00D8\u00A7\u00D9\u2026"));
    EXPECT_EQ(AnsiToString(salam, 1256),
              QString::fromUtf16(u"\u0637\u00B3\u0638\u201E\u0637\u00A7\u0638\u2026"));
    // Persian letters outside Arabic's own alphabet, and the zero-width non-joiner.
    EXPECT_EQ(AnsiToString("\x81\x8D\x8E\x90\x98\x9D", 1256),
              QString::fromUtf16(u"\u067E\u0686\u0698\u06AF\u06A9\u200C"));
}

TEST(AnsiCodePage, OwnTablesAgreeWithTheSystemConverterWhereItHasOne) {
    QByteArray high;
    for (int b = 0x80; b < 0x100; ++b)
        high.append(char(b));
    for (const int codePage : {1252, 1256}) {
        QStringDecoder system(("windows-" + QByteArray::number(codePage)).constData());
        if (!system.isValid())
            GTEST_SKIP() << "this Qt has no converter for code page " << codePage;
        EXPECT_EQ(AnsiToString(high, codePage), system.decode(high)) << codePage;
    }
}

TEST(AnsiCodePage, OtherCodePagesUseTheSystemConverterOrReadAs1252) {
    QStringDecoder cyrillic("windows-1251");
    if (cyrillic.isValid()) {
        EXPECT_EQ(AnsiToString("\xCF\xF0\xE8\xE2\xE5\xF2", 1251), QStringLiteral("Привет"));
    }
    EXPECT_EQ(AnsiToString("caf\xE9", 99999), QString::fromUtf16(u"caf\u00E9"));
}

} // namespace
