#pragma once

#include <cstdint>

/// Gamma of the colour model used by gamma-corrected gradients: stored values are linear light
/// raised to 1 / 2.2.
inline constexpr double GradientGamma = 2.2;

/// Fills the lookup tables below; safe to call more than once.
void PrepareGammaTables();

/// A channel byte in linear light (0 to 1).
double ChannelToLinear(std::uint8_t channel);

/// Linear light (clamped to 0 to 1) back to the nearest channel byte.
std::uint8_t LinearToChannel(double linear);
