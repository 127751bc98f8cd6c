#include "continuation_wait.h"

TContinuationWait::TContinuationWait(std::vector<std::chrono::milliseconds> pauses)
    : pauses_(std::move(pauses)) {}

bool TContinuationWait::Wait(int index, const std::stop_token &stop) {
    std::unique_lock lock(mutex_);
    const auto base = pauses_.at(static_cast<std::size_t>(index));
    const auto pause = std::chrono::milliseconds(static_cast<long long>(
        base.count() * std::uniform_real_distribution<double>(0.8, 1.2)(random_)));
    waiting_ = true;
    continueNow_ = false;
    wake_.wait_for(lock, stop, pause, [this] { return continueNow_; });
    waiting_ = false;
    return !stop.stop_requested();
}

bool TContinuationWait::Waiting() const {
    std::lock_guard lock(mutex_);
    return waiting_;
}

void TContinuationWait::ContinueNow() {
    {
        std::lock_guard lock(mutex_);
        continueNow_ = waiting_;
    }
    wake_.notify_all();
}
