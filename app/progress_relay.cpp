#include "progress_relay.h"

#include <QMetaObject>

ProgressRelay::ProgressRelay(TApply apply, std::chrono::milliseconds frame, QObject *parent)
    : QObject(parent), apply_(std::move(apply)), frame_(frame) {
    frameTimer_.setTimerType(Qt::PreciseTimer);
    frameTimer_.setInterval(frame_);
    connect(&frameTimer_, &QTimer::timeout, this, [this] { FrameTick(); });
}

void ProgressRelay::PublishMax(std::int32_t max) {
    bool schedule = false;
    {
        std::lock_guard lock(mutex_);
        pending_.HasMax = true;
        pending_.Max = max;
        schedule = NeedsSchedule();
    }
    if (schedule)
        QMetaObject::invokeMethod(this, "ApplyWhenDue", Qt::QueuedConnection);
}

void ProgressRelay::PublishProgress(std::int64_t count, std::int64_t startCount,
                                    std::uint32_t startTick, std::uint32_t tick,
                                    std::int32_t position) {
    bool schedule = false;
    {
        std::lock_guard lock(mutex_);
        pending_.HasCount = true;
        pending_.Count = count;
        pending_.StartCount = startCount;
        pending_.StartTick = startTick;
        pending_.Tick = tick;
        pending_.Position = position;
        schedule = NeedsSchedule();
    }
    // One queued call per frame at most, not one per received piece.
    if (schedule)
        QMetaObject::invokeMethod(this, "ApplyWhenDue", Qt::QueuedConnection);
}

void ProgressRelay::PostFlush() {
    QMetaObject::invokeMethod(this, "Flush", Qt::QueuedConnection);
}

bool ProgressRelay::NeedsSchedule() {
    dirty_ = true;
    if (scheduled_)
        return false;
    scheduled_ = true;
    return true;
}

void ProgressRelay::ApplyWhenDue() {
    // A frame or more after the last update, as after any quiet spell: show the news at once.
    // Otherwise (a flush came moments ago) the timer's first tick shows them.
    if (!sinceApply_.isValid() || std::chrono::milliseconds(sinceApply_.elapsed()) >= frame_)
        Flush();
    frameTimer_.start();
}

void ProgressRelay::FrameTick() {
    {
        std::lock_guard lock(mutex_);
        if (!dirty_) {
            // A frame without news: the next value queues `ApplyWhenDue` again.
            scheduled_ = false;
            frameTimer_.stop();
            return;
        }
    }
    Flush();
}

void ProgressRelay::Flush() {
    ProgressView view;
    {
        std::lock_guard lock(mutex_);
        if (!dirty_)
            return;
        view = std::move(pending_);
        pending_ = ProgressView{};
        dirty_ = false;
    }
    apply_(view);
    ++applied_;
    sinceApply_.start();
}
