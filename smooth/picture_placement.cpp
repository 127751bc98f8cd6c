#include "picture_placement.h"

#include "rounding.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

int Saturate(std::int64_t value) {
    return int(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                        std::numeric_limits<int>::max()));
}

TRect Make(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    return {Saturate(left), Saturate(top), Saturate(right), Saturate(bottom)};
}

} // namespace

std::optional<TRect> PicturePlacement(TFillPicturePosition position, int width, int height,
                                      const TRect &area, int customLeft, int customTop) {
    const std::int64_t pw = width, ph = height;
    const std::int64_t l = area.Left, t = area.Top, r = area.Right, b = area.Bottom;
    const std::int64_t centreLeft = l + TruncDiv(r - l - pw, 2);
    const std::int64_t centreTop = t + TruncDiv(b - t - ph, 2);
    switch (position) {
    case ppTopLeft:
        return Make(l, t, l + pw, t + ph);
    case ppTopCenter:
        return Make(centreLeft, t, centreLeft + pw, t + ph);
    case ppTopRight:
        return Make(r - pw, t, r, t + ph);
    case ppBottomLeft:
        return Make(l, b - ph, l + pw, b);
    case ppBottomCenter:
        return Make(centreLeft, b - ph, centreLeft + pw, b);
    case ppBottomRight:
        return Make(r - pw, b - ph, r, b);
    case ppTiled:
        return std::nullopt;
    case ppStretched:
        return Make(l, t, r, b);
    case ppCenterLeft:
        return Make(l, centreTop, l + pw, centreTop + ph);
    case ppCenterCenter:
        return Make(centreLeft, centreTop, centreLeft + pw, centreTop + ph);
    case ppCenterRight:
        return Make(r - pw, centreTop, r, centreTop + ph);
    case ppCustom:
        return Make(customLeft, customTop, std::int64_t(customLeft) + pw,
                    std::int64_t(customTop) + ph);
    }
    return std::nullopt;
}
