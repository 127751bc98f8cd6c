#pragma once

#include "gdiplus_types.h"

#include <QPoint>

#include <cstdint>

/// Where a caption's text box sits in its control (the same ten places for label and panel).
enum TAdvSmoothLabelLocation : std::uint8_t {
    plTopLeft,
    plTopCenter,
    plTopRight,
    plCenterLeft,
    plCenterCenter,
    plCenterRight,
    plBottomLeft,
    plBottomCenter,
    plBottomRight,
    plCustom,
};

/// The panel names the same places.
using TAdvSmoothPanelLocation = TAdvSmoothLabelLocation;

/// The label's rule: the text box of size (textWidth, textHeight) placed in a rectangle of
/// size (width, height) whose own x and y are not added. Every size is first taken to the
/// nearest integer (ties to even), halves truncate toward zero, so text wider than the rectangle
/// gets a negative x. plCustom is the caller's own place and gives (0, 0) here.
QPoint LabelTextPosition(TAdvSmoothLabelLocation location, float width, float height,
                         float textWidth, float textHeight);

/// The panel's rule: as the label's, but the rectangle's left edge takes part and the far
/// position M = max(x, width - textWidth) is never left of it, so a text wider than the
/// rectangle starts at half of its left edge, not left of the panel. The vertical positions
/// do not add the rectangle's y except at the top. plCustom gives (0, 0).
QPoint PanelTextPosition(TAdvSmoothPanelLocation location, const TGPRectF &rect, float textWidth,
                         float textHeight);

/// True for the three bottom places, where the panel's rule goes above the text.
constexpr bool IsBottomLocation(TAdvSmoothLabelLocation location) {
    return location == plBottomLeft || location == plBottomCenter || location == plBottomRight;
}
