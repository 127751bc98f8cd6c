#include "tick_count.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(TickCount, AdvancesInMilliseconds) {
    const std::uint32_t before = platform::GetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::uint32_t elapsed = platform::GetTickCount() - before;
    EXPECT_GE(elapsed, 45u);
    EXPECT_LT(elapsed, 5000u);
}
