#include "TGDIPFill.h"
#include "fill_test_support.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <string_view>
#include <type_traits>
#include <vector>

static_assert(sizeof(TAdvGradientType) == 4 && gtTexture == 9 && gtNone == 10);
static_assert(sizeof(::HatchStyle) == 4 && HatchStyleSolidDiamond == 52 && HatchStyleTotal == 53);
static_assert(sizeof(TFillRoundingType) == 1 && rtBoth == 3 && rtRight == 5);
static_assert(sizeof(TFillPicturePosition) == 1 && ppTiled == 6 && ppCustom == 11);
static_assert(sizeof(TFillPictureSize) == 1 && psCustom == 1);

namespace {

/// A picture holding a small PNG.
void LoadSmallImage(TAdvGDIPPicture &picture, QColor colour = Qt::red) {
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(colour);
    picture.Assign(image);
}

/// Counts OnChange calls of a fill.
struct ChangeCounter {
    explicit ChangeCounter(TGDIPFill &fill) {
        fill.OnChange = [this, &fill](TGDIPFill *sender) {
            EXPECT_EQ(sender, &fill);
            ++count;
        };
    }
    int count = 0;
};

/// Sets every property of fill to a value other than its default.
void SetEveryProperty(TGDIPFill &fill) {
    fill.SetColor(1);
    fill.SetColorTo(2);
    fill.SetColorMirror(3);
    fill.SetColorMirrorTo(4);
    fill.SetGradientType(gtAngle);
    fill.SetGradientMirrorType(gtHatch);
    fill.SetHatchStyle(HatchStyleWeave);
    fill.SetHatchStyleMirror(HatchStylePlaid);
    LoadSmallImage(fill.BackGroundPicture(), Qt::blue);
    fill.SetBackGroundPicturePosition(ppTiled);
    fill.SetBackGroundPictureLeft(-5);
    fill.SetBackGroundPictureTop(6);
    LoadSmallImage(fill.Picture(), Qt::green);
    fill.SetPicturePosition(ppCustom);
    fill.SetPictureLeft(7);
    fill.SetPictureTop(-8);
    fill.SetPictureSize(psCustom);
    fill.SetPictureWidth(9);
    fill.SetPictureHeight(10);
    fill.SetOpacity(11);
    fill.SetOpacityTo(12);
    fill.SetOpacityMirror(13);
    fill.SetOpacityMirrorTo(14);
    fill.SetBorderColor(15);
    fill.SetBorderOpacity(16);
    fill.SetBorderWidth(17);
    fill.SetRounding(18);
    fill.SetRoundingType(rtRight);
    fill.SetShadowColor(19);
    fill.SetShadowOffset(20);
    fill.SetAngle(21);
}

void ExpectSameProperties(const TGDIPFill &a, const TGDIPFill &b) {
    EXPECT_EQ(a.Color(), b.Color());
    EXPECT_EQ(a.ColorTo(), b.ColorTo());
    EXPECT_EQ(a.ColorMirror(), b.ColorMirror());
    EXPECT_EQ(a.ColorMirrorTo(), b.ColorMirrorTo());
    EXPECT_EQ(a.GradientType(), b.GradientType());
    EXPECT_EQ(a.GradientMirrorType(), b.GradientMirrorType());
    EXPECT_EQ(a.HatchStyle(), b.HatchStyle());
    EXPECT_EQ(a.HatchStyleMirror(), b.HatchStyleMirror());
    EXPECT_EQ(a.BackGroundPicture().Data(), b.BackGroundPicture().Data());
    EXPECT_EQ(a.BackGroundPicture().Empty(), b.BackGroundPicture().Empty());
    EXPECT_EQ(a.BackGroundPicturePosition(), b.BackGroundPicturePosition());
    EXPECT_EQ(a.BackGroundPictureLeft(), b.BackGroundPictureLeft());
    EXPECT_EQ(a.BackGroundPictureTop(), b.BackGroundPictureTop());
    EXPECT_EQ(a.Picture().Data(), b.Picture().Data());
    EXPECT_EQ(a.Picture().Empty(), b.Picture().Empty());
    EXPECT_EQ(a.PicturePosition(), b.PicturePosition());
    EXPECT_EQ(a.PictureLeft(), b.PictureLeft());
    EXPECT_EQ(a.PictureTop(), b.PictureTop());
    EXPECT_EQ(a.PictureSize(), b.PictureSize());
    EXPECT_EQ(a.PictureWidth(), b.PictureWidth());
    EXPECT_EQ(a.PictureHeight(), b.PictureHeight());
    EXPECT_EQ(a.Opacity(), b.Opacity());
    EXPECT_EQ(a.OpacityTo(), b.OpacityTo());
    EXPECT_EQ(a.OpacityMirror(), b.OpacityMirror());
    EXPECT_EQ(a.OpacityMirrorTo(), b.OpacityMirrorTo());
    EXPECT_EQ(a.BorderColor(), b.BorderColor());
    EXPECT_EQ(a.BorderOpacity(), b.BorderOpacity());
    EXPECT_EQ(a.BorderWidth(), b.BorderWidth());
    EXPECT_EQ(a.Rounding(), b.Rounding());
    EXPECT_EQ(a.RoundingType(), b.RoundingType());
    EXPECT_EQ(a.ShadowColor(), b.ShadowColor());
    EXPECT_EQ(a.ShadowOffset(), b.ShadowOffset());
    EXPECT_EQ(a.Angle(), b.Angle());
}

/// Something that can be copied but is not a fill.
class NotAFill : public TPersistent {};

} // namespace

TEST(FillProperties, ConstructorSetsTheDefaults) {
    const TGDIPFill fill;
    EXPECT_EQ(fill.Color(), clSilver);
    EXPECT_EQ(fill.ColorTo(), clGray);
    EXPECT_EQ(fill.ColorMirror(), clNone);
    EXPECT_EQ(fill.ColorMirrorTo(), clNone);
    EXPECT_EQ(fill.GradientType(), gtVertical);
    EXPECT_EQ(fill.GradientMirrorType(), gtSolid);
    EXPECT_EQ(fill.HatchStyle(), HatchStyleHorizontal);
    EXPECT_EQ(fill.HatchStyleMirror(), HatchStyleHorizontal);
    EXPECT_TRUE(fill.BackGroundPicture().Empty());
    EXPECT_EQ(fill.BackGroundPicturePosition(), ppTopLeft);
    EXPECT_TRUE(fill.Picture().Empty());
    EXPECT_EQ(fill.PicturePosition(), ppTopLeft);
    EXPECT_EQ(fill.PictureSize(), psOriginal);
    EXPECT_EQ(fill.PictureWidth(), 50);
    EXPECT_EQ(fill.PictureHeight(), 50);
    for (std::uint8_t opacity : {fill.Opacity(), fill.OpacityTo(), fill.OpacityMirror(),
                                 fill.OpacityMirrorTo(), fill.BorderOpacity()})
        EXPECT_EQ(opacity, 255);
    EXPECT_EQ(fill.BorderColor(), clNone);
    EXPECT_EQ(fill.BorderWidth(), 1);
    EXPECT_EQ(fill.Rounding(), 0);
    EXPECT_EQ(fill.RoundingType(), rtBoth);
    EXPECT_EQ(fill.ShadowColor(), clGray);
    EXPECT_EQ(fill.ShadowOffset(), 0);
    EXPECT_EQ(fill.Angle(), 0);
    EXPECT_EQ(fill.PictureLeft() | fill.PictureTop() | fill.BackGroundPictureLeft() |
                  fill.BackGroundPictureTop(),
              0);
    EXPECT_FALSE(fill.OnChange);
}

TEST(FillProperties, SettersFireOnceForARealChangeAndNeverForTheStoredValue) {
    TGDIPFill fill;
    ChangeCounter changes(fill);
    fill.SetColor(clSilver);
    fill.SetOpacity(255);
    fill.SetRoundingType(rtBoth);
    fill.SetHatchStyle(HatchStyleHorizontal);
    EXPECT_EQ(changes.count, 0);

    fill.SetColor(clRed);
    fill.SetOpacity(254);
    fill.SetRoundingType(rtLeft);
    fill.SetAngle(-90);
    EXPECT_EQ(changes.count, 4);
    fill.SetColor(clRed);
    fill.SetOpacity(254);
    EXPECT_EQ(changes.count, 4);

    // A picture's own change (loading, clearing) reaches the fill's owner.
    LoadSmallImage(fill.Picture());
    EXPECT_EQ(changes.count, 5);
    fill.BackGroundPicture().Assign(static_cast<const TAdvGDIPPicture *>(nullptr));
    EXPECT_EQ(changes.count, 6);
}

TEST(FillProperties, PictureSettersCopyContentAndIgnoreTheOwnedPicture) {
    TGDIPFill fill;
    ChangeCounter changes(fill);
    fill.SetPicture(fill.Picture());
    fill.SetBackGroundPicture(fill.BackGroundPicture());
    EXPECT_EQ(changes.count, 0);

    TAdvGDIPPicture given;
    LoadSmallImage(given);
    fill.SetPicture(given);
    EXPECT_EQ(changes.count, 2); // the picture's own event, then the setter's
    EXPECT_EQ(fill.Picture().Data(), given.Data());
    EXPECT_NE(&fill.Picture(), &given);
    given.Assign(static_cast<const TAdvGDIPPicture *>(nullptr));
    EXPECT_FALSE(fill.Picture().Empty()) << "the fill keeps its own copy";

    const TAdvGDIPPicture empty;
    fill.SetBackGroundPicture(empty);
    EXPECT_EQ(changes.count, 3);
}

TEST(FillAssign, CopiesEveryPropertyButNotTheHandler) {
    TGDIPFill source;
    SetEveryProperty(source);
    bool sourceHandlerCalled = false;
    source.OnChange = [&](TGDIPFill *) { sourceHandlerCalled = true; };
    TGDIPFill target;
    ChangeCounter changes(target);
    target.Assign(&source);
    ExpectSameProperties(target, source);
    // 29 changed values and two pictures, each reported once; the source is not notified.
    EXPECT_EQ(changes.count, 31);
    EXPECT_FALSE(sourceHandlerCalled);
    EXPECT_NE(&target.Picture(), &source.Picture());
}

TEST(FillAssign, FiresOnlyForWhatChanges) {
    TGDIPFill source;
    TGDIPFill target;
    ChangeCounter changes(target);
    target.Assign(&source);
    EXPECT_EQ(changes.count, 0) << "equal values and empty pictures";

    source.SetColor(clRed);
    source.SetRounding(4);
    target.Assign(&source);
    EXPECT_EQ(changes.count, 2);

    // A picture that holds an image is reported at every copy, even of the same image.
    LoadSmallImage(source.Picture());
    target.Assign(&source);
    target.Assign(&source);
    EXPECT_EQ(changes.count, 4);

    // Copying an empty picture over an image empties it, and the owner hears of it.
    const TGDIPFill plain;
    target.Assign(&plain);
    EXPECT_TRUE(target.Picture().Empty());
    EXPECT_EQ(changes.count, 7);
}

TEST(FillAssign, FromAnythingButAFillFailsAndCopiesNothing) {
    TGDIPFill fill;
    fill.SetColor(clRed);
    ChangeCounter changes(fill);
    const NotAFill other;
    EXPECT_THROW(fill.Assign(&other), EInvalidCast);
    EXPECT_THROW(fill.Assign(nullptr), EInvalidCast);
    EXPECT_EQ(fill.Color(), clRed);
    EXPECT_EQ(changes.count, 0);
}

TEST(FillDescription, WritesPropertiesWithoutDeclaredDefaultsAlwaysAndTheOthersWhenChanged) {
    using Names = std::vector<std::string_view>;
    TGDIPFill fill;
    EXPECT_EQ(fill.StoredProperties(),
              (Names{"ColorMirror", "ColorMirrorTo", "BackGroundPicture", "BackGroundPictureLeft",
                     "BackGroundPictureTop", "Picture", "PictureLeft", "PictureTop", "BorderColor",
                     "Rounding", "ShadowOffset", "Angle"}));

    // The header panel's fill as the window stores it.
    ApplyHeaderFill(fill);
    fill.SetOpacityMirror(0);
    fill.SetShadowColor(clBlack);
    EXPECT_EQ(fill.StoredProperties(),
              (Names{"Color", "ColorTo", "ColorMirror", "ColorMirrorTo", "GradientMirrorType",
                     "BackGroundPicture", "BackGroundPictureLeft", "BackGroundPictureTop",
                     "Picture", "PictureLeft", "PictureTop", "OpacityMirror", "BorderColor",
                     "Rounding", "ShadowColor", "ShadowOffset", "Angle"}));
}
