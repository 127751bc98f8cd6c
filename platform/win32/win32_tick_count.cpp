#include "../tick_count.h"

#include <windows.h>

namespace platform {

std::uint32_t GetTickCount() {
    return ::GetTickCount();
}

} // namespace platform
