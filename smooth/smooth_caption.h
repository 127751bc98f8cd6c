#pragma once

#include "TAdvGDIPPicture.h"
#include "TPersistent.h"
#include "caption_layout.h"
#include "fill_types.h"
#include "gdiplus_types.h"

#include "TColor.h"
#include "TFont.h"

#include <QString>

#include <cstdint>
#include <memory>

/// What the gradient label's and the gradient panel's captions share: a text with its font,
/// place and brush, and the way every setter tells the owner.
///
/// A value setter does nothing when given the stored value and otherwise stores it and notifies
/// once. Setting the font copies the given font when it differs; setting the picture copies the
/// given picture's content and always notifies once, so an empty picture clears the caption's
/// and repaints it. The picture is owned, and a change of it notifies too. Each caption gives
/// its own defaults, adds its own properties and publishes them in its own order.
class TSmoothCaption : public TPersistent {
public:
    ~TSmoothCaption() override;

    const QString &Text() const { return FText; }
    /// Compares exactly (case-sensitive).
    void SetText(const QString &value);
    TAdvSmoothLabelLocation Location() const { return FLocation; }
    void SetLocation(TAdvSmoothLabelLocation value);
    /// Face, height and style; its colour, character set and strike-out play no part in drawing.
    const TFont &Font() const { return FFont; }
    void SetFont(const TFont &value);
    std::int32_t Left() const { return FLeft; }
    void SetLeft(std::int32_t value);
    std::int32_t Top() const { return FTop; }
    void SetTop(std::int32_t value);
    TAdvGDIPPicture &Picture() const { return *FPicture; }
    void SetPicture(const TAdvGDIPPicture &value);
    TColor ColorStart() const { return FColorStart; }
    void SetColorStart(TColor value);
    TColor ColorEnd() const { return FColorEnd; }
    void SetColorEnd(TColor value);
    std::uint8_t OpacityStart() const { return FOpacityStart; }
    void SetOpacityStart(std::uint8_t value);
    std::uint8_t OpacityEnd() const { return FOpacityEnd; }
    void SetOpacityEnd(std::uint8_t value);
    TAdvGradientType GradientType() const { return FGradientType; }
    void SetGradientType(TAdvGradientType value);
    ::HatchStyle HatchStyle() const { return FHatchStyle; }
    void SetHatchStyle(::HatchStyle value);

protected:
    /// The defaults in which the two captions differ.
    struct TDefaults {
        TAdvSmoothLabelLocation Location;
        TColor ColorStart;
        TColor ColorEnd;
        TFont Font;
    };
    explicit TSmoothCaption(const TDefaults &defaults);

    /// Stores value and notifies, unless it equals field.
    template <typename T> void Update(T &field, const T &value) {
        if (field == value)
            return;
        field = value;
        Changed();
    }
    /// Runs change with every notice held back, then notifies once (unless an outer change is
    /// still running, which notifies at its own end).
    template <typename Change> void ChangeOnce(Change change) {
        {
            const QuietScope quiet(FQuiet);
            change();
        }
        Changed();
    }
    /// Copies the shared properties of other (picture and font by content); call it inside
    /// ChangeOnce.
    void CopyShared(const TSmoothCaption &other);
    /// Tells the owner of a change: each caption calls its OnChange with itself as sender.
    virtual void NotifyOwner() = 0;

private:
    /// Holds notices back for its lifetime, also when the change in between throws.
    class QuietScope {
    public:
        explicit QuietScope(bool &quiet) : FFlag(quiet), FWas(quiet) { FFlag = true; }
        ~QuietScope() { FFlag = FWas; }
        QuietScope(const QuietScope &) = delete;
        QuietScope &operator=(const QuietScope &) = delete;

    private:
        bool &FFlag;
        bool FWas;
    };

    void Changed();

    TAdvGradientType FGradientType = gtVertical;
    TAdvSmoothLabelLocation FLocation;
    std::unique_ptr<TAdvGDIPPicture> FPicture;
    TColor FColorEnd;
    ::HatchStyle FHatchStyle = HatchStyleHorizontal;
    TFont FFont;
    std::uint8_t FOpacityStart = 255;
    QString FText;
    std::int32_t FTop = 0;
    std::int32_t FLeft = 0;
    std::uint8_t FOpacityEnd = 255;
    TColor FColorStart;
    bool FQuiet = false;
};
