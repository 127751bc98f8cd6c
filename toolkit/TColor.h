#pragma once

#include <cstdint>

/// A toolkit colour: 0x00BBGGRR for a plain colour, 0xFF0000nn for the system colour with
/// index nn (resolved when used), or clNone for "no colour".
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

/// Marks a system colour; the low byte is the system colour's index.
inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clWindowText = clSystemColor | 8;

/// "No colour": a step that would use it is skipped. Never converted to RGB.
inline constexpr TColor clNone = 0x1FFFFFFF;

/// True for a system colour (one that ColorToRGB resolves from the current palette).
constexpr bool IsSystemColor(TColor color) {
    return (color & 0xFF000000u) == clSystemColor;
}

/// Builds 0x00BBGGRR from its three channels.
constexpr TColor RGBColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

constexpr std::uint8_t GetRValue(TColor c) {
    return std::uint8_t(c & 0xFF);
}
constexpr std::uint8_t GetGValue(TColor c) {
    return std::uint8_t((c >> 8) & 0xFF);
}
constexpr std::uint8_t GetBValue(TColor c) {
    return std::uint8_t((c >> 16) & 0xFF);
}

/// Resolves a system colour to its current RGB value from the application's palette; every
/// other value, clNone included, passes unchanged.
TColor ColorToRGB(TColor color);
