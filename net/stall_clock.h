#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace net {

/// Decides when a connected transfer counts as stalled: when nothing arrived for the stall
/// time-out, or when less than the speed floor arrived on average over a floor period.
///
/// The floor is measured over consecutive periods from the moment of connection: each period
/// must bring at least `floor × period` bytes, so a server that drips a byte now and then keeps a
/// transfer alive for one period at most, whatever the stall time-out. Header bytes count as well
/// as body bytes, so a server cannot drip its header block either. The caller passes the time,
/// so the loop that owns the clock decides when it looks.
class StallClock {
public:
    using Clock = std::chrono::steady_clock;

    /// A floor of 0 bytes per second or a period of 0 disables the floor.
    StallClock(std::chrono::milliseconds stallTimeout, std::int64_t floorBytesPerSecond,
               std::chrono::seconds floorPeriod);

    /// The connection is made: both clocks start at `now`.
    void Start(Clock::time_point now);
    bool Started() const { return started_; }
    /// `bytes` arrived at `now`.
    void Received(std::size_t bytes, Clock::time_point now);

    /// Why the transfer counts as stalled at `now`, or nothing while it may go on. Before
    /// `Start` nothing is stalled (the connect time-out covers that phase). A period that ended
    /// above the floor starts the next one.
    std::optional<std::string> Check(Clock::time_point now);
    /// How long from `now` until `Check` could next find a stall; at most `limit`.
    std::chrono::milliseconds NextCheck(Clock::time_point now,
                                        std::chrono::milliseconds limit) const;

private:
    bool FloorOn() const { return floorBytesPerSecond_ > 0 && floorPeriod_.count() > 0; }

    std::chrono::milliseconds stallTimeout_;
    std::int64_t floorBytesPerSecond_;
    std::chrono::seconds floorPeriod_;

    bool started_ = false;
    Clock::time_point lastByte_;
    Clock::time_point periodStart_;
    std::int64_t received_ = 0; ///< bytes since the connection was made
    std::int64_t receivedAtPeriodStart_ = 0;
};

} // namespace net
