#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

/// What the window shows of a transfer: the bottom bar's texts and the progress bar's range.
struct ProgressView {
    bool HasTexts = false;
    QString Status;
    QString Count;
    bool HasMax = false;
    std::int32_t Max = 0;
    bool HasPosition = false;
    std::int32_t Position = 0;
};

/// Carries progress from the worker to the window, newest values first, at most once a frame.
///
/// The worker publishes as often as the HTTP client reports; the window is updated on the main
/// thread with the newest values only, at most once per frame, and `Flush` (queued after the
/// last event of a transfer) always shows the final values.
class ProgressRelay : public QObject {
    Q_OBJECT
public:
    using TApply = std::function<void(const ProgressView &)>;

    /// `apply` runs on the thread this object lives on (the main thread).
    explicit ProgressRelay(TApply apply,
                           std::chrono::milliseconds frame = std::chrono::milliseconds(16),
                           QObject *parent = nullptr);

    /// Any thread: records a new maximum (a transfer begins).
    void PublishMax(std::int32_t max);
    /// Any thread: records new texts and a new position.
    void PublishProgress(const QString &status, const QString &count, std::int32_t position);
    /// Any thread: the final values of the transfer are shown once the calls queued before this
    /// one have run, whatever the frame rate.
    void PostFlush();

    /// Main thread: shows the pending values now.
    Q_INVOKABLE void Flush();
    /// How many times the window was updated.
    int Applied() const { return applied_; }

private:
    void Schedule();
    // Queued by name: the call crosses threads inside Qt and carries no data of ours.
    Q_INVOKABLE void ApplyWhenDue();

    TApply apply_;
    std::chrono::milliseconds frame_;
    QElapsedTimer sinceApply_;
    int applied_ = 0;

    std::mutex mutex_;
    ProgressView pending_;
    bool dirty_ = false;
    bool scheduled_ = false;
};
