#pragma once

#include "TColor.h"
#include "TsuiUIStyle.h"

#include <QImage>
#include <QString>

#include <cstdint>

/// What the 32-bit value of a style table entry means; the same for every style.
enum class StyleItemKind : std::uint8_t { Number = 0, Colour = 1, BitmapName = 2, Flag = 3 };

/// Item numbers of the entries the progress bar reads.
inline constexpr int ItemProgressBarPicture = 24;
inline constexpr int ItemProgressBarBorderColor = 25;
inline constexpr int ItemProgressBarColor = 26;

/// Item numbers run from 1 to this value.
inline constexpr int StyleItemCount = 48;

/// One entry of the style table with its kind. A BitmapName entry's value indexes the table's
/// asset names (see StyleAssetName).
struct StyleItem {
    std::int32_t Value = -1;
    StyleItemKind Kind = StyleItemKind::Number;
    bool operator==(const StyleItem &) const = default;
};

/// Looks up an item of a built-in style; a style outside MacOS to BlueGlass (FromThemeFile
/// included) or an item outside 1 to 48 gives the value -1 and kind Number.
StyleItem LookupStyleItem(TsuiUIStyle style, int item);

/// The asset name a BitmapName entry refers to ("WINXP_PROGRESSBAR" ...), or an empty string.
QString StyleAssetName(StyleItem entry);

/// The entry as a colour when the item is a colour, otherwise 0 (clBlack).
TColor StyleColor(TsuiUIStyle style, int item);

/// Loads the named picture of a bitmap item into target, replacing its size, format and palette.
///
/// Does nothing and returns false without a target or for an item that is not a bitmap name.
/// When the asset cannot be decoded the target becomes a null image and the result is false.
bool LoadStyleBitmap(TsuiUIStyle style, int item, QImage *target);
