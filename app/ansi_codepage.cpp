// The ANSI code page: which Windows code page a locale uses, and the conversion of its bytes.
#include "ansi_codepage.h"

#include <QStringDecoder>

#include <array>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using HighHalf = std::array<char16_t, 128>;

// Bytes 0x80 to 0xFF of code page 1252 (Western European). The five bytes the page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) read as the C1 control of the same value, as on
// Windows, so no byte is ever lost.
// clang-format off
constexpr HighHalf kCodePage1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  // 0xA8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  // 0xB8
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,  // 0xC0
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,  // 0xC8
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,  // 0xD0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,  // 0xD8
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,  // 0xE0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,  // 0xE8
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,  // 0xF0
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,  // 0xF8
};
// clang-format on

// Bytes 0x80 to 0xFF of code page 1256 (Arabic script: Arabic, Persian, Urdu). Every byte is
// defined.
// clang-format off
constexpr HighHalf kCodePage1256 = {
    0x20AC, 0x067E, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0679, 0x2039, 0x0152, 0x0686, 0x0698, 0x0688,  // 0x88
    0x06AF, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x06A9, 0x2122, 0x0691, 0x203A, 0x0153, 0x200C, 0x200D, 0x06BA,  // 0x98
    0x00A0, 0x060C, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x06BE, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  // 0xA8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x00B9, 0x061B, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x061F,  // 0xB8
    0x06C1, 0x0621, 0x0622, 0x0623, 0x0624, 0x0625, 0x0626, 0x0627,  // 0xC0
    0x0628, 0x0629, 0x062A, 0x062B, 0x062C, 0x062D, 0x062E, 0x062F,  // 0xC8
    0x0630, 0x0631, 0x0632, 0x0633, 0x0634, 0x0635, 0x0636, 0x00D7,  // 0xD0
    0x0637, 0x0638, 0x0639, 0x063A, 0x0640, 0x0641, 0x0642, 0x0643,  // 0xD8
    0x00E0, 0x0644, 0x00E2, 0x0645, 0x0646, 0x0647, 0x0648, 0x00E7,  // 0xE0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x0649, 0x064A, 0x00EE, 0x00EF,  // 0xE8
    0x064B, 0x064C, 0x064D, 0x064E, 0x00F4, 0x064F, 0x0650, 0x00F7,  // 0xF0
    0x0651, 0x00F9, 0x0652, 0x00FB, 0x00FC, 0x200E, 0x200F, 0x06D2,  // 0xF8
};
// clang-format on

QString Decode(QByteArrayView bytes, const HighHalf &high) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto b = static_cast<std::uint8_t>(byte);
        *out++ = QChar(b < 0x80 ? char16_t(b) : high[b - 0x80]);
    }
    return text;
}

struct LanguagePage {
    const char *language;
    int codePage;
};

// ISO 639 language codes and the code page Windows uses for them.
constexpr LanguagePage kLanguagePages[] = {
    {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"ps", 1256}, {"ug", 1256}, {"ckb", 1256},
    {"cs", 1250}, {"pl", 1250}, {"hu", 1250}, {"sk", 1250}, {"sl", 1250}, {"hr", 1250},
    {"ro", 1250}, {"sq", 1250}, {"bs", 1250}, {"ru", 1251}, {"uk", 1251}, {"be", 1251},
    {"bg", 1251}, {"mk", 1251}, {"kk", 1251}, {"ky", 1251}, {"tt", 1251}, {"mn", 1251},
    {"tg", 1251}, {"ba", 1251}, {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"uz", 1254},
    {"he", 1255}, {"iw", 1255}, {"yi", 1255}, {"et", 1257}, {"lv", 1257}, {"lt", 1257},
    {"vi", 1258}, {"th", 874},  {"ja", 932},  {"ko", 949},
};

} // namespace

int AnsiCodePageOfLocale(QStringView localeName) {
    // "language[_territory][.codeset][@modifier]"
    const qsizetype modifierAt = localeName.indexOf(QLatin1Char('@'));
    const QStringView modifier = modifierAt < 0 ? QStringView() : localeName.mid(modifierAt + 1);
    QStringView name = modifierAt < 0 ? localeName : localeName.left(modifierAt);
    if (const qsizetype dot = name.indexOf(QLatin1Char('.')); dot >= 0)
        name = name.left(dot);
    const qsizetype underscore = name.indexOf(QLatin1Char('_'));
    const QStringView language = underscore < 0 ? name : name.left(underscore);
    const QStringView territory = underscore < 0 ? QStringView() : name.mid(underscore + 1);

    if (language.compare(QLatin1String("zh"), Qt::CaseInsensitive) == 0) {
        for (const char *traditional : {"TW", "HK", "MO"})
            if (territory.compare(QLatin1String(traditional), Qt::CaseInsensitive) == 0)
                return 950;
        return 936;
    }
    if (language.compare(QLatin1String("sr"), Qt::CaseInsensitive) == 0)
        return modifier.compare(QLatin1String("latin"), Qt::CaseInsensitive) == 0 ? 1250 : 1251;
    for (const LanguagePage &entry : kLanguagePages)
        if (language.compare(QLatin1String(entry.language), Qt::CaseInsensitive) == 0)
            return entry.codePage;
    return 1252;
}

int SystemAnsiCodePage() {
#ifdef _WIN32
    static const int codePage = int(GetACP());
#else
    static const int codePage = [] {
        for (const char *variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
            const QString value = qEnvironmentVariable(variable);
            if (!value.isEmpty())
                return AnsiCodePageOfLocale(value);
        }
        return 1252;
    }();
#endif
    return codePage;
}

QString AnsiToString(QByteArrayView bytes, int codePage) {
    if (codePage == 1256)
        return Decode(bytes, kCodePage1256);
    if (codePage != 1252) {
        QStringDecoder system(("windows-" + QByteArray::number(codePage)).constData());
        if (system.isValid())
            return system.decode(bytes);
    }
    return Decode(bytes, kCodePage1252);
}
