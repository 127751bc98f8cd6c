#include "gamma.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct Tables {
    std::array<double, 256> toLinear{};
    Tables() {
        for (int i = 0; i < 256; ++i)
            toLinear[i] = std::pow(i / 255.0, GradientGamma);
    }
};

const Tables &GetTables() {
    static const Tables tables; // built once, thread-safe initialisation
    return tables;
}

} // namespace

void PrepareGammaTables() {
    (void)GetTables();
}

double ChannelToLinear(std::uint8_t channel) {
    return GetTables().toLinear[channel];
}

std::uint8_t LinearToChannel(double linear) {
    const double clamped = std::clamp(linear, 0.0, 1.0);
    return static_cast<std::uint8_t>(std::lround(std::pow(clamped, 1.0 / GradientGamma) * 255.0));
}
