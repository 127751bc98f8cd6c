#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <stop_token>
#include <vector>

/// The pauses before a broken download continues by itself: one per automatic continuation
/// (about 1, 2 and 4 seconds), each stretched or shortened at random by up to a fifth so that
/// many players cut off together do not all come back in the same instant.
///
/// The worker waits (`Wait`); the main thread may cut a pause short (`ContinueNow`, a press of
/// the button); a stop (the window closing) ends it.
class TContinuationWait {
public:
    explicit TContinuationWait(std::vector<std::chrono::milliseconds> pauses = {
                                   std::chrono::milliseconds(1000), std::chrono::milliseconds(2000),
                                   std::chrono::milliseconds(4000)});

    /// How many automatic continuations there are.
    int Continuations() const { return static_cast<int>(pauses_.size()); }
    /// Worker: the pause before continuation `index` (from 0). False when `stop` ended it.
    bool Wait(int index, const std::stop_token &stop);
    /// Any thread: a pause under way ends at once (a later one is not shortened).
    void ContinueNow();
    /// Any thread: true while a pause is under way (for tests that act during one).
    bool Waiting() const;

private:
    std::vector<std::chrono::milliseconds> pauses_;
    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    bool waiting_ = false;
    bool continueNow_ = false;
    std::mt19937 random_{std::random_device{}()};
};
