#pragma once

#include <cstdint>

/// The looks of the skinned progress bar: the attached skin source, or one of five built-in
/// styles. Stored in one byte; the ordinals are part of saved window descriptions.
enum class TsuiUIStyle : std::uint8_t {
    FromThemeFile = 0,
    MacOS = 1,
    WinXP = 2,
    DeepBlue = 3,
    Protein = 4,
    BlueGlass = 5,
};
