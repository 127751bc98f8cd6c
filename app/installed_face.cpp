#include "installed_face.h"

#ifdef ZORVANE_FONTCONFIG
#include <QFontDatabase>
#include <QList>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <future>
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

/// Every installed family in the order fontconfig sorts them for `family` and the script.
QStringList SortedFamilies(const QString &family, bool arabic) {
    QStringList families;
    FcPattern *pattern = FallbackPattern(family, arabic);
    if (pattern == nullptr)
        return families;
    FcResult result = FcResultMatch;
    FcFontSet *sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    if (sorted == nullptr)
        return families;
    for (int i = 0; i < sorted->nfont; ++i) {
        FcChar8 *name = nullptr;
        if (FcPatternGetString(sorted->fonts[i], FC_FAMILY, 0, &name) == FcResultMatch)
            families << QString::fromUtf8(reinterpret_cast<const char *>(name));
    }
    FcFontSetDestroy(sorted);
    families.removeDuplicates();
    return families;
}

/// The sorted families of each face and script, sorted once per process by whichever thread
/// asks first; another thread asking meanwhile waits for that sort.
QStringList FallbackOrder(const QString &family, bool arabic) {
    static std::mutex guard;
    static std::map<std::pair<QString, bool>, std::shared_future<QStringList>> orders;
    std::promise<QStringList> mine;
    std::shared_future<QStringList> order;
    bool sortHere = false;
    {
        const std::lock_guard<std::mutex> lock(guard);
        auto found = orders.find({family, arabic});
        if (found == orders.end()) {
            found = orders.emplace(std::make_pair(family, arabic), mine.get_future().share()).first;
            sortHere = true;
        }
        order = found->second;
    }
    if (sortHere)
        mine.set_value(SortedFamilies(family, arabic));
    return order.get();
}

} // namespace
#endif

void PrepareFallbackOrders(std::initializer_list<std::pair<QString, bool>> faces) {
#ifdef ZORVANE_FONTCONFIG
    for (const auto &[family, arabic] : faces)
        if (!family.isEmpty())
            FallbackOrder(family, arabic);
#else
    (void)faces;
#endif
}

QString InstalledFaceFor(const QString &family, const QString &text) {
#ifdef ZORVANE_FONTCONFIG
    const bool arabic = std::any_of(text.begin(), text.end(),
                                    [](QChar c) { return c.script() == QChar::Script_Arabic; });
    const QFontDatabase::WritingSystem system =
        arabic ? QFontDatabase::Arabic : QFontDatabase::Latin;
    if (Writes(family, system))
        return family;
    for (const QString &candidate : FallbackOrder(family, arabic))
        if (candidate.compare(family, Qt::CaseInsensitive) != 0 && Writes(candidate, system))
            return candidate;
#else
    (void)text;
#endif
    return family;
}

QString FirstInstalledFamily(const QStringList &families) {
#ifdef ZORVANE_FONTCONFIG
    for (const QString &family : families) {
        const QByteArray name = family.toUtf8();
        FcPattern *pattern = FcPatternCreate();
        FcObjectSet *properties = FcObjectSetBuild(FC_FAMILY, nullptr);
        FcFontSet *listed = nullptr;
        if (pattern != nullptr && properties != nullptr &&
            FcPatternAddString(pattern, FC_FAMILY,
                               reinterpret_cast<const FcChar8 *>(name.constData())))
            listed = FcFontList(nullptr, pattern, properties);
        const bool installed = listed != nullptr && listed->nfont > 0;
        if (listed != nullptr)
            FcFontSetDestroy(listed);
        if (properties != nullptr)
            FcObjectSetDestroy(properties);
        if (pattern != nullptr)
            FcPatternDestroy(pattern);
        if (installed)
            return family;
    }
#else
    (void)families;
#endif
    return QString();
}
