#include "html_markup.h"

#include <QStringView>

#include <algorithm>
#include <vector>

namespace {

bool IsAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool IsSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

/// Appends text with the characters that mean something in markup escaped.
void AppendEscaped(QString &out, QStringView text) {
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += u"&amp;";
            break;
        case '<':
            out += u"&lt;";
            break;
        case '>':
            out += u"&gt;";
            break;
        case '"':
            out += u"&quot;";
            break;
        default:
            out += c;
        }
    }
}

struct Attribute {
    QString Name;
    QString Value;
};

/// A tag between "<" and ">": its lower-case name, whether it closes, its attributes.
struct Tag {
    QString Name;
    bool Closing = false;
    bool SelfClosing = false;
    std::vector<Attribute> Attributes;
};

/// Reads the inside of a tag; false when it does not start with a tag name.
bool ParseTag(QStringView inner, Tag &tag) {
    qsizetype i = 0;
    if (i < inner.size() && inner[i] == u'/') {
        tag.Closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    if (i >= inner.size() || !IsAsciiLetter(inner[i]))
        return false;
    while (i < inner.size() && (IsAsciiLetter(inner[i]) || IsAsciiDigit(inner[i])))
        ++i;
    tag.Name = inner.mid(nameStart, i - nameStart).toString().toLower();
    while (i < inner.size()) {
        while (i < inner.size() && IsSpace(inner[i]))
            ++i;
        if (i >= inner.size())
            break;
        if (inner[i] == u'/') {
            tag.SelfClosing = true;
            ++i;
            continue;
        }
        const qsizetype keyStart = i;
        while (i < inner.size() && !IsSpace(inner[i]) && inner[i] != u'=' && inner[i] != u'/')
            ++i;
        Attribute attribute{inner.mid(keyStart, i - keyStart).toString().toLower(), QString()};
        while (i < inner.size() && IsSpace(inner[i]))
            ++i;
        if (i < inner.size() && inner[i] == u'=') {
            ++i;
            while (i < inner.size() && IsSpace(inner[i]))
                ++i;
            if (i < inner.size() && (inner[i] == u'"' || inner[i] == u'\'')) {
                const QChar quote = inner[i++];
                const qsizetype valueStart = i;
                while (i < inner.size() && inner[i] != quote)
                    ++i;
                attribute.Value = inner.mid(valueStart, i - valueStart).toString();
                if (i < inner.size())
                    ++i;
            } else {
                const qsizetype valueStart = i;
                while (i < inner.size() && !IsSpace(inner[i]))
                    ++i;
                attribute.Value = inner.mid(valueStart, i - valueStart).toString();
            }
        }
        if (!attribute.Name.isEmpty())
            tag.Attributes.push_back(std::move(attribute));
    }
    return true;
}

QString AttributeValue(const Tag &tag, QStringView name) {
    for (const Attribute &attribute : tag.Attributes)
        if (attribute.Name == name)
            return attribute.Value.trimmed();
    return {};
}

bool AllOf(QStringView text, bool (*test)(QChar)) {
    return std::all_of(text.begin(), text.end(), test);
}

bool IsHexDigit(QChar c) {
    return IsAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool IsFaceCharacter(QChar c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == u' ' || c == u'-' || c == u'_' || c == u',';
}

/// A colour as "#rgb", "#rrggbb" or a name of letters; empty when it is none of these.
QString ValidColor(const QString &value) {
    if (value.startsWith(u'#') && (value.size() == 4 || value.size() == 7) &&
        AllOf(QStringView(value).mid(1), IsHexDigit))
        return value;
    if (!value.isEmpty() && value.size() <= 20 && AllOf(value, IsAsciiLetter))
        return value;
    return {};
}

/// A whole number of pixels from 1 to the largest image side; 0 when it is not one.
int ValidSide(const QString &value) {
    if (value.isEmpty() || value.size() > 4 || !AllOf(value, IsAsciiDigit))
        return 0;
    const int side = value.toInt();
    return side >= 1 && side <= THTMLMarkupLimits::MaxImageSide ? side : 0;
}

/// The element as the rich-text engine gets it, or an empty string to leave it out.
QString OpeningTag(const Tag &tag, const THTMLMarkupOptions &options) {
    QString out = QStringLiteral("<") + tag.Name;
    auto add = [&out](QStringView name, QStringView value) {
        out += u' ';
        out += name;
        out += u"=\"";
        AppendEscaped(out, value);
        out += u'"';
    };
    if (tag.Name == u"font") {
        if (const QString color = ValidColor(AttributeValue(tag, u"color")); !color.isEmpty())
            add(u"color", color);
        const QString face = AttributeValue(tag, u"face");
        if (!face.isEmpty() && face.size() <= 64 && AllOf(face, IsFaceCharacter))
            add(u"face", face);
        const QString size = AttributeValue(tag, u"size");
        const QStringView digits =
            size.startsWith(u'+') || size.startsWith(u'-') ? QStringView(size).mid(1) : size;
        if (digits.size() == 1 && digits[0] >= u'1' && digits[0] <= u'7')
            add(u"size", size);
    } else if (tag.Name == u"a") {
        add(u"href", AttributeValue(tag, u"href").left(THTMLMarkupLimits::MaxHrefLength));
        add(u"style", QStringLiteral("color:%1;text-decoration:underline").arg(options.LinkColor));
    } else if (tag.Name == u"img") {
        const QString resource =
            options.ImageResource ? options.ImageResource(AttributeValue(tag, u"src")) : QString();
        if (resource.isEmpty())
            return {};
        add(u"src", resource);
        if (const int width = ValidSide(AttributeValue(tag, u"width")); width > 0)
            add(u"width", QString::number(width));
        if (const int height = ValidSide(AttributeValue(tag, u"height")); height > 0)
            add(u"height", QString::number(height));
    } else if (tag.Name == u"p") {
        const QString align = AttributeValue(tag, u"align").toLower();
        if (align == u"left" || align == u"right" || align == u"center" || align == u"justify")
            add(u"align", align);
    }
    return out + u'>';
}

bool IsVoid(const QString &name) {
    return name == u"br" || name == u"img";
}

bool IsSupported(const QString &name) {
    for (const char16_t *supported : {u"b", u"i", u"u", u"s", u"font", u"a", u"br", u"p", u"img"})
        if (name == QStringView(supported))
            return true;
    return false;
}

/// Decodes a character reference at text[i] ("&...;"); returns the characters consumed (0
/// when it is none) and appends its text.
qsizetype AppendReference(QString &out, QStringView text, qsizetype i) {
    qsizetype end = i + 1;
    while (end < text.size() && end - i <= 12 && text[end] != u';')
        ++end;
    if (end >= text.size() || text[end] != u';' || end == i + 1)
        return 0;
    const QStringView body = text.mid(i + 1, end - i - 1);
    if (body[0] == u'#') {
        const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
        const QStringView digits = body.mid(hex ? 2 : 1);
        if (digits.isEmpty() || digits.size() > 7 ||
            !AllOf(digits, hex ? IsHexDigit : IsAsciiDigit))
            return 0;
        bool ok = false;
        const uint code = digits.toUInt(&ok, hex ? 16 : 10);
        const bool valid = ok && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF) &&
                           (code >= 0x20 || code == '\t' || code == '\n');
        const char32_t character = valid ? char32_t(code) : char32_t(0xFFFD);
        AppendEscaped(out, QString::fromUcs4(&character, 1));
        return end - i + 1;
    }
    if (!IsAsciiLetter(body[0]) || body.size() > 10 ||
        !AllOf(body, [](QChar c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }))
        return 0;
    // A named reference goes to the engine as written: it knows the names, and an unknown
    // one is shown as text.
    out += text.mid(i, end - i + 1);
    return end - i + 1;
}

/// True for the elements whose content is code or style rules, never text to show.
bool IsHiddenContent(const QString &name) {
    return name == u"script" || name == u"style";
}

/// Where the text after the element name opened at text[from] resumes: just past its closing
/// tag, or the end of the text when it is never closed (as a browser reads it, nothing inside
/// counts as markup).
qsizetype EndOfHiddenContent(QStringView text, qsizetype from, const QString &name) {
    const QString closing = QStringLiteral("</") + name;
    for (qsizetype at = text.indexOf(closing, from, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(closing, at + 1, Qt::CaseInsensitive)) {
        const qsizetype after = at + closing.size();
        if (after < text.size() && !IsSpace(text[after]) && text[after] != u'>' &&
            text[after] != u'/')
            continue;
        const qsizetype close = text.indexOf(u'>', after);
        return close < 0 ? text.size() : close + 1;
    }
    return text.size();
}

} // namespace

QString FilterMarkup(const QString &markup, const THTMLMarkupOptions &options) {
    const QStringView text = QStringView(markup).left(THTMLMarkupLimits::MaxLength);
    QString out;
    out.reserve(text.size() + 64);
    std::vector<QString> open;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'<') {
            const qsizetype limit = std::min(text.size(), i + THTMLMarkupLimits::MaxTagLength);
            qsizetype close = i + 1;
            while (close < limit && text[close] != u'>')
                ++close;
            const QStringView inner = text.mid(i + 1, close - i - 1);
            if (close >= limit) {
                out += u"&lt;";
                ++i;
                continue;
            }
            Tag tag;
            const bool declaration = !inner.isEmpty() && (inner[0] == u'!' || inner[0] == u'?');
            if (!declaration && !ParseTag(inner, tag)) {
                out += u"&lt;";
                ++i;
                continue;
            }
            i = close + 1;
            if (!declaration && !tag.Closing && IsHiddenContent(tag.Name)) {
                i = EndOfHiddenContent(text, i, tag.Name);
                continue;
            }
            if (declaration || !IsSupported(tag.Name))
                continue;
            if (tag.Closing) {
                const auto match = std::find(open.rbegin(), open.rend(), tag.Name);
                if (match == open.rend())
                    continue;
                // Close what is still open inside it, so the result stays well nested.
                const std::size_t keep = std::size_t(open.rend() - match) - 1;
                while (open.size() > keep) {
                    out += QStringLiteral("</%1>").arg(open.back());
                    open.pop_back();
                }
                continue;
            }
            // An empty element (<b/>) adds nothing; past the depth bound only text is kept.
            if (!IsVoid(tag.Name) &&
                (tag.SelfClosing || int(open.size()) >= THTMLMarkupLimits::MaxDepth))
                continue;
            const QString element = OpeningTag(tag, options);
            if (element.isEmpty())
                continue;
            out += element;
            if (!IsVoid(tag.Name))
                open.push_back(tag.Name);
            continue;
        }
        if (c == u'&') {
            const qsizetype used = AppendReference(out, text, i);
            if (used > 0) {
                i += used;
                continue;
            }
            out += u"&amp;";
            ++i;
            continue;
        }
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') {
            ++i;
            continue;
        }
        if (c == u'>')
            out += u"&gt;";
        else
            out += c;
        ++i;
    }
    while (!open.empty()) {
        out += QStringLiteral("</%1>").arg(open.back());
        open.pop_back();
    }
    return out;
}
