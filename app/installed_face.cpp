#include "installed_face.h"

#ifdef ZORVANE_FONTCONFIG
#include <QFontDatabase>
#include <QList>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>
#endif

#ifdef ZORVANE_FONTCONFIG
namespace {

bool Writes(const QString &face, QFontDatabase::WritingSystem system) {
    return QFontDatabase::writingSystems(face).contains(system);
}

/// The pattern Qt's fontconfig database asks for fallbacks with: the family, upright, and the
/// script's language (Arabic), or else the user's own.
FcPattern *FallbackPattern(const QString &family, bool arabic) {
    FcPattern *pattern = FcPatternCreate();
    if (pattern == nullptr)
        return nullptr;
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.constData()));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    if (arabic) {
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8 *>("ar"));
    } else if (FcPattern *defaults = FcPatternCreate()) {
        FcDefaultSubstitute(defaults);
        FcChar8 *language = nullptr;
        if (FcPatternGetString(defaults, FC_LANG, 0, &language) == FcResultMatch)
            FcPatternAddString(pattern, FC_LANG, language);
        FcPatternDestroy(defaults);
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

QString FallbackFace(const QString &family, bool arabic) {
    const QFontDatabase::WritingSystem system =
        arabic ? QFontDatabase::Arabic : QFontDatabase::Latin;
    QString face = family;
    FcPattern *pattern = FallbackPattern(family, arabic);
    if (pattern == nullptr)
        return face;
    FcResult result = FcResultMatch;
    FcFontSet *sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    if (sorted == nullptr)
        return face;
    for (int i = 0; i < sorted->nfont; ++i) {
        FcChar8 *name = nullptr;
        if (FcPatternGetString(sorted->fonts[i], FC_FAMILY, 0, &name) != FcResultMatch)
            continue;
        const QString candidate = QString::fromUtf8(reinterpret_cast<const char *>(name));
        if (candidate.compare(family, Qt::CaseInsensitive) != 0 && Writes(candidate, system)) {
            face = candidate;
            break;
        }
    }
    FcFontSetDestroy(sorted);
    return face;
}

} // namespace
#endif

QString InstalledFaceFor(const QString &family, const QString &text) {
#ifdef ZORVANE_FONTCONFIG
    const bool arabic = std::any_of(text.begin(), text.end(),
                                    [](QChar c) { return c.script() == QChar::Script_Arabic; });
    if (Writes(family, arabic ? QFontDatabase::Arabic : QFontDatabase::Latin))
        return family;
    static std::mutex guard;
    static std::map<std::pair<QString, bool>, QString> chosen;
    const std::lock_guard<std::mutex> lock(guard);
    const auto key = std::make_pair(family, arabic);
    auto found = chosen.find(key);
    if (found == chosen.end())
        found = chosen.emplace(key, FallbackFace(family, arabic)).first;
    return found->second;
#else
    (void)text;
    return family;
#endif
}
