#include "progress_relay.h"

#include <QMetaObject>
#include <QTimer>

ProgressRelay::ProgressRelay(TApply apply, std::chrono::milliseconds frame, QObject *parent)
    : QObject(parent), apply_(std::move(apply)), frame_(frame) {}

void ProgressRelay::PublishMax(std::int32_t max) {
    {
        std::lock_guard lock(mutex_);
        pending_.HasMax = true;
        pending_.Max = max;
        dirty_ = true;
    }
    Schedule();
}

void ProgressRelay::PublishProgress(const QString &status, const QString &count,
                                    std::int32_t position) {
    {
        std::lock_guard lock(mutex_);
        pending_.HasTexts = true;
        pending_.Status = status;
        pending_.Count = count;
        pending_.HasPosition = true;
        pending_.Position = position;
        dirty_ = true;
    }
    Schedule();
}

void ProgressRelay::PostFlush() {
    QMetaObject::invokeMethod(this, "Flush", Qt::QueuedConnection);
}

void ProgressRelay::Schedule() {
    {
        std::lock_guard lock(mutex_);
        if (scheduled_)
            return;
        scheduled_ = true;
    }
    QMetaObject::invokeMethod(this, "ApplyWhenDue", Qt::QueuedConnection);
}

void ProgressRelay::ApplyWhenDue() {
    if (sinceApply_.isValid()) {
        const auto since = std::chrono::milliseconds(sinceApply_.elapsed());
        if (since < frame_) {
            QTimer::singleShot(frame_ - since, this, [this] { ApplyWhenDue(); });
            return;
        }
    }
    {
        std::lock_guard lock(mutex_);
        scheduled_ = false;
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
