#pragma once

#include <cstdint>

/// Direction in which a progress bar fills: from the left, or from the bottom.
enum TsuiProgressBarOrientation : std::uint8_t { suiHorizontal = 0, suiVertical = 1 };
