#include "skin_test_support.h"
#include "style_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct StyleRow {
    TsuiUIStyle Style;
    const char *Asset;
    TColor Border;
    TColor Track;
};

const StyleRow Rows[] = {
    {TsuiUIStyle::MacOS, "MACOS_PROGRESSBAR", 0x007F7F7F, 0x00E7E7E7},
    {TsuiUIStyle::WinXP, "WINXP_PROGRESSBAR", 0x00686868, 0x00DEEBEF},
    {TsuiUIStyle::DeepBlue, "DEEPBLUE_PROGRESSBAR", 0x00000000, 0x00E8E8E8},
    {TsuiUIStyle::Protein, "PROTEIN_PROGRESSBAR", 0x00000000, 0x00FBFBFB},
    {TsuiUIStyle::BlueGlass, "BLUEGLASS_PROGRESSBAR", 0x00000000, 0x00E7E7E7},
};

TEST(StyleTable, EachBuiltInStyleGivesItsPictureFrameAndTrack) {
    for (const StyleRow &row : Rows) {
        SCOPED_TRACE(row.Asset);
        const StyleItem picture = LookupStyleItem(row.Style, ItemProgressBarPicture);
        EXPECT_EQ(picture.Kind, StyleItemKind::BitmapName);
        EXPECT_EQ(StyleAssetName(picture), QString::fromLatin1(row.Asset));
        EXPECT_EQ(LookupStyleItem(row.Style, ItemProgressBarBorderColor),
                  (StyleItem{std::int32_t(row.Border), StyleItemKind::Colour}));
        EXPECT_EQ(StyleColor(row.Style, ItemProgressBarBorderColor), row.Border);
        EXPECT_EQ(StyleColor(row.Style, ItemProgressBarColor), row.Track);
        EXPECT_EQ(StyleColor(row.Style, ItemProgressBarPicture), clBlack);
    }
}

TEST(StyleTable, OutsideTheBuiltInStylesAndItemsNothingIsFound) {
    const StyleItem none{-1, StyleItemKind::Number};
    EXPECT_EQ(LookupStyleItem(TsuiUIStyle::FromThemeFile, ItemProgressBarColor), none);
    EXPECT_EQ(LookupStyleItem(static_cast<TsuiUIStyle>(6), ItemProgressBarColor), none);
    EXPECT_EQ(LookupStyleItem(TsuiUIStyle::WinXP, 0), none);
    EXPECT_EQ(LookupStyleItem(TsuiUIStyle::WinXP, 49), none);
    EXPECT_EQ(StyleColor(TsuiUIStyle::FromThemeFile, ItemProgressBarColor), clBlack);
}

TEST(StyleTable, LoadStyleBitmapChangesNothingWithoutABitmapItem) {
    EXPECT_FALSE(LoadStyleBitmap(TsuiUIStyle::WinXP, ItemProgressBarPicture, nullptr));
    const QImage before = Solid(3, 3, clRed);
    QImage target = before;
    EXPECT_FALSE(LoadStyleBitmap(TsuiUIStyle::FromThemeFile, ItemProgressBarPicture, &target));
    EXPECT_FALSE(LoadStyleBitmap(TsuiUIStyle::WinXP, ItemProgressBarColor, &target));
    EXPECT_EQ(target, before);
}

/// Loads a style's picture and checks that it is an 8-bit palettised picture whose rows are each
/// one colour, as listed (0xRRGGBB, top to bottom).
void ExpectRows(TsuiUIStyle style, int width, const std::vector<std::uint32_t> &rows) {
    QImage picture = Solid(1, 1, clRed);
    ASSERT_TRUE(LoadStyleBitmap(style, ItemProgressBarPicture, &picture));
    EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
    ASSERT_EQ(picture.size(), QSize(width, int(rows.size())));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < width; ++x)
            EXPECT_EQ(PixelAt(picture, x, y), Rgb(rows[std::size_t(y)])) << x << "," << y;
}

TEST(StyleTable, PicturesDecodeToTheirRowColours) {
    ExpectRows(TsuiUIStyle::WinXP, 6,
               {0xEAEAEA, 0xABEDAC, 0x7BE37D, 0x66DF68, 0x35D538, 0x2ED331, 0x42D745, 0x75E277,
                0x8FE890, 0xEAEAEA});
    ExpectRows(TsuiUIStyle::DeepBlue, 1,
               {0x6368AF, 0x444AA0, 0x444AA0, 0x444AA0, 0x444AA0, 0x444AA0, 0x444AA0, 0x444AA0,
                0x444AA0, 0x444AA0});
    ExpectRows(TsuiUIStyle::Protein, 1, std::vector<std::uint32_t>(10, 0x4247CD));
    ExpectRows(TsuiUIStyle::BlueGlass, 1,
               {0x4949F8, 0x6969FB, 0x9293FC, 0x9F9FFD, 0x8383FD, 0x5A5BFC, 0x4444FA, 0x3F3EF9,
                0x3F3EF9, 0x3D3DF6});
}

int Brightness(TColor c) {
    return GetRValue(c) + GetGValue(c) + GetBValue(c);
}

TEST(StyleTable, MacOsPictureIsABlueGlossyBandDarkerInTheMiddle) {
    QImage picture;
    ASSERT_TRUE(LoadStyleBitmap(TsuiUIStyle::MacOS, ItemProgressBarPicture, &picture));
    EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
    ASSERT_EQ(picture.size(), QSize(13, 10));
    EXPECT_EQ(PixelAt(picture, 0, 4), Rgb(0x4E94E5));
    EXPECT_EQ(PixelAt(picture, 6, 4), Rgb(0x3B87E0));
    EXPECT_EQ(PixelAt(picture, 12, 9), Rgb(0x9EE3FF));
    for (int y = 0; y < 10; ++y) {
        const TColor end = PixelAt(picture, 0, y);
        EXPECT_EQ(PixelAt(picture, 12, y), end) << y;
        EXPECT_LT(Brightness(PixelAt(picture, 6, y)), Brightness(end)) << y;
        EXPECT_GT(GetBValue(end), GetRValue(end)) << "blue row " << y;
        if (y != 4) {
            EXPECT_GT(Brightness(end), Brightness(PixelAt(picture, 0, 4))) << y;
        }
    }
}

} // namespace
