#include "style_table.h"

#include "bitmap_file.h"

#include <array>

namespace {

constexpr int BuiltInStyleCount = 5;

/// Asset names; a BitmapName entry holds an index into this list.
constexpr std::array<const char16_t *, 5> AssetNames = {
    u"MACOS_PROGRESSBAR", u"WINXP_PROGRESSBAR", u"DEEPBLUE_PROGRESSBAR", u"PROTEIN_PROGRESSBAR",
    u"BLUEGLASS_PROGRESSBAR"};

/// Resource folder of the style pictures; a picture's file is its asset name plus ".bmp".
constexpr char16_t AssetFolder[] = u":/skin/pictures/";

using Row = std::array<std::int32_t, StyleItemCount>;

constexpr std::array<StyleItemKind, StyleItemCount> MakeKinds() {
    std::array<StyleItemKind, StyleItemCount> kinds{};
    kinds.fill(StyleItemKind::Number);
    kinds[ItemProgressBarPicture - 1] = StyleItemKind::BitmapName;
    kinds[ItemProgressBarBorderColor - 1] = StyleItemKind::Colour;
    kinds[ItemProgressBarColor - 1] = StyleItemKind::Colour;
    return kinds;
}

constexpr Row MakeRow(std::int32_t picture, TColor border, TColor track) {
    Row row{};
    row[ItemProgressBarPicture - 1] = picture;
    row[ItemProgressBarBorderColor - 1] = std::int32_t(border);
    row[ItemProgressBarColor - 1] = std::int32_t(track);
    return row;
}

constexpr std::array<StyleItemKind, StyleItemCount> Kinds = MakeKinds();

/// Rows for MacOS, WinXP, DeepBlue, Protein and BlueGlass, in their ordinal order. Only the
/// progress bar's items are filled; the others serve controls this program does not have.
constexpr std::array<Row, BuiltInStyleCount> StyleItemTable = {
    MakeRow(0, 0x007F7F7F, 0x00E7E7E7), MakeRow(1, 0x00686868, 0x00DEEBEF),
    MakeRow(2, 0x00000000, 0x00E8E8E8), MakeRow(3, 0x00000000, 0x00FBFBFB),
    MakeRow(4, 0x00000000, 0x00E7E7E7)};

} // namespace

StyleItem LookupStyleItem(TsuiUIStyle style, int item) {
    const int row = int(style) - 1;
    if (row < 0 || row >= BuiltInStyleCount || item < 1 || item > StyleItemCount)
        return {};
    return {StyleItemTable[std::size_t(row)][std::size_t(item - 1)], Kinds[std::size_t(item - 1)]};
}

QString StyleAssetName(StyleItem entry) {
    if (entry.Kind != StyleItemKind::BitmapName || entry.Value < 0 ||
        entry.Value >= int(AssetNames.size()))
        return {};
    return QString::fromUtf16(AssetNames[std::size_t(entry.Value)]);
}

TColor StyleColor(TsuiUIStyle style, int item) {
    const StyleItem entry = LookupStyleItem(style, item);
    return entry.Kind == StyleItemKind::Colour ? TColor(entry.Value) : clBlack;
}

bool LoadStyleBitmap(TsuiUIStyle style, int item, QImage *target) {
    const StyleItem entry = LookupStyleItem(style, item);
    if (target == nullptr || entry.Kind != StyleItemKind::BitmapName)
        return false;
    const QString path =
        QString::fromUtf16(AssetFolder) + StyleAssetName(entry) + QStringLiteral(".bmp");
    *target = ReadBitmapFile(path);
    return !target->isNull();
}
