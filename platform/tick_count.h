#pragma once

#include <cstdint>

namespace platform {

/// Milliseconds since an arbitrary start, 32 bits, wrapping about every 49.7 days. Differences
/// taken in unsigned 32-bit arithmetic stay right across a wrap.
std::uint32_t GetTickCount();

} // namespace platform
