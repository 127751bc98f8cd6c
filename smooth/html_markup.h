#pragma once

#include <QString>

#include <functional>

/// Bounds on the markup the HTML text renderer takes, so that any input is laid out in bounded
/// time and memory.
struct THTMLMarkupLimits {
    /// Characters of markup read; the rest is left out.
    static constexpr qsizetype MaxLength = 16384;
    /// Elements open at once; deeper opening tags are left out (their text stays).
    static constexpr int MaxDepth = 32;
    /// A "<" with no ">" within this many characters is text.
    static constexpr qsizetype MaxTagLength = 2048;
    /// Characters kept of a link target.
    static constexpr qsizetype MaxHrefLength = 1024;
    /// Largest width or height an image may ask for, in pixels.
    static constexpr int MaxImageSide = 2048;
    /// Pixels of all the distinct pictures of one layout together (16 Mi, 64 MiB at 32 bits a
    /// pixel); a picture beyond them is left out.
    static constexpr qint64 MaxPicturePixels = qint64(16) << 20;
};

/// What the filter needs from the renderer.
struct THTMLMarkupOptions {
    /// The colour of link text, as "#rrggbb".
    QString LinkColor;
    /// The resource name under which the picture named by an img src is available, or an
    /// empty string when there is no such picture (the img is then left out).
    std::function<QString(const QString &source)> ImageResource;
};

/// Rewrites markup into well-formed rich text of the subset the renderer supports: b, i, u, s,
/// font (color, face, size), a (href), br, p (align) and img (src from the given pictures only,
/// width, height). Other tags, comments and declarations are left out and their text kept,
/// except the content of script and style, which is never shown; a "<" that starts no tag is
/// text; numeric character references are decoded (invalid ones become U+FFFD); control
/// characters other than tab and line breaks are dropped. Attributes are validated and escaped,
/// so no style sheet, script, or address other than a link target reaches the rich-text engine.
/// Work and output are bounded by THTMLMarkupLimits.
QString FilterMarkup(const QString &markup, const THTMLMarkupOptions &options);
