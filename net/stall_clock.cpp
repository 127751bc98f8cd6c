// The stall time-out and the speed floor of one transfer.
#include "stall_clock.h"

#include <algorithm>

namespace net {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

StallClock::StallClock(milliseconds stallTimeout, std::int64_t floorBytesPerSecond,
                       std::chrono::seconds floorPeriod)
    : stallTimeout_(stallTimeout), floorBytesPerSecond_(floorBytesPerSecond),
      // A longer period means nothing in practice and would overflow the clock's nanoseconds.
      floorPeriod_(std::min<std::chrono::seconds>(floorPeriod, std::chrono::hours(24 * 365))) {}

void StallClock::Start(Clock::time_point now) {
    started_ = true;
    lastByte_ = now;
    periodStart_ = now;
    receivedAtPeriodStart_ = received_;
}

void StallClock::Received(std::size_t bytes, Clock::time_point now) {
    lastByte_ = now;
    received_ += static_cast<std::int64_t>(bytes);
}

std::optional<std::string> StallClock::Check(Clock::time_point now) {
    if (!started_)
        return std::nullopt;
    const auto quiet = duration_cast<milliseconds>(now - lastByte_);
    if (quiet >= stallTimeout_)
        return "nothing received for " + std::to_string(stallTimeout_.count()) + " ms";
    if (FloorOn() && now - periodStart_ >= floorPeriod_) {
        // bytes / period < floor, without multiplying a caller's floor into an overflow.
        const std::int64_t bytes = received_ - receivedAtPeriodStart_;
        if (bytes / floorPeriod_.count() < floorBytesPerSecond_)
            return std::to_string(bytes) + " bytes received in " +
                   std::to_string(floorPeriod_.count()) + " s, below the floor of " +
                   std::to_string(floorBytesPerSecond_) + " bytes per second";
        periodStart_ = now;
        receivedAtPeriodStart_ = received_;
    }
    return std::nullopt;
}

milliseconds StallClock::NextCheck(Clock::time_point now, milliseconds limit) const {
    if (!started_)
        return limit;
    milliseconds wait =
        std::min(limit, stallTimeout_ - duration_cast<milliseconds>(now - lastByte_));
    if (FloorOn())
        wait = std::min(wait, duration_cast<milliseconds>(floorPeriod_ - (now - periodStart_)));
    return std::max(wait, milliseconds(0));
}

} // namespace net
