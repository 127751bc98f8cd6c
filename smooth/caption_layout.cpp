#include "caption_layout.h"

#include "rounding.h"

#include <algorithm>

namespace {

int Near(float value) {
    return int(RoundHalfEven(value));
}

int Half(long long value) {
    return int(TruncDiv(value, 2));
}

/// Column (0 left, 1 centre, 2 right) and row of a place other than plCustom.
int Column(TAdvSmoothLabelLocation location) {
    return int(location) % 3;
}
int Row(TAdvSmoothLabelLocation location) {
    return int(location) / 3;
}

} // namespace

QPoint LabelTextPosition(TAdvSmoothLabelLocation location, float width, float height,
                         float textWidth, float textHeight) {
    if (location >= plCustom)
        return {0, 0};
    const long long freeX = Near(width) - Near(textWidth);
    const long long freeY = Near(height) - Near(textHeight);
    const int x = Column(location) == 0 ? 0 : Column(location) == 1 ? Half(freeX) : int(freeX);
    const int y = Row(location) == 0 ? 0 : Row(location) == 1 ? Half(freeY) : int(freeY);
    return {x, y};
}

QPoint PanelTextPosition(TAdvSmoothPanelLocation location, const TGPRectF &rect, float textWidth,
                         float textHeight) {
    if (location >= plCustom)
        return {0, 0};
    const int qx = Near(rect.X);
    const int qy = Near(rect.Y);
    const int qw = Near(rect.Width);
    const int qh = Near(rect.Height);
    const int far = std::max(qx, qw - Near(textWidth));
    const int x = Column(location) == 0 ? qx : Column(location) == 1 ? Half(far) : far;
    const long long freeY = qh - Near(textHeight);
    const int y = Row(location) == 0 ? qy : Row(location) == 1 ? Half(freeY) : int(freeY);
    return {x, y};
}
