#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

/// What the window shows of a transfer: the progress bar's range and the newest count with the
/// ticks it is timed by. The window formats the texts when it shows them, so the worker does no
/// text work per received piece.
struct ProgressView {
    bool HasCount = false;
    std::int64_t Count = 0;      ///< bytes of the file received, earlier attempts included
    std::int64_t StartCount = 0; ///< what `Count` was when this attempt began
    std::uint32_t StartTick = 0; ///< GetTickCount when the transfer began
    std::uint32_t Tick = 0;      ///< GetTickCount when `Count` was reached
    bool HasMax = false;
    std::int32_t Max = 0;
    std::int32_t Position = 0; ///< valid with `HasCount`
};

/// Carries progress from the worker to the window, newest values first, at most once a frame.
///
/// The worker publishes as often as the HTTP client reports; the window is updated on the main
/// thread with the newest values only, at most once per frame, and `Flush` (queued after the
/// last event of a transfer) always shows the final values. The first values after a quiet
/// spell are shown at once; while values keep coming, one repeating frame timer shows them, and
/// it stops after a frame without news. (A timer started anew for every frame costs a thread
/// each time on Windows under Wine, where short timers are multimedia timers.)
class ProgressRelay : public QObject {
    Q_OBJECT
public:
    using TApply = std::function<void(const ProgressView &)>;

    /// `apply` runs on the thread this object lives on (the main thread).
    explicit ProgressRelay(TApply apply,
                           std::chrono::milliseconds frame = std::chrono::milliseconds(17),
                           QObject *parent = nullptr);

    /// Any thread: records a new maximum (a transfer begins).
    void PublishMax(std::int32_t max);
    /// Any thread: records a new count (with the count this attempt started from), its ticks and
    /// the bar position; cheap enough to call for every received piece.
    void PublishProgress(std::int64_t count, std::int64_t startCount, std::uint32_t startTick,
                         std::uint32_t tick, std::int32_t position);
    /// Any thread: the final values of the transfer are shown once the calls queued before this
    /// one have run, whatever the frame rate.
    void PostFlush();

    /// Main thread: shows the pending values now.
    Q_INVOKABLE void Flush();
    /// How many times the window was updated.
    int Applied() const { return applied_; }

private:
    /// Called with `mutex_` held; true when the caller must queue `ApplyWhenDue`.
    bool NeedsSchedule();
    // Queued by name: the call crosses threads inside Qt and carries no data of ours.
    Q_INVOKABLE void ApplyWhenDue();
    /// A tick of the frame timer: shows what is pending, or stops the timer when nothing is.
    void FrameTick();

    TApply apply_;
    std::chrono::milliseconds frame_;
    QElapsedTimer sinceApply_;
    QTimer frameTimer_;
    int applied_ = 0;

    std::mutex mutex_;
    ProgressView pending_;
    bool dirty_ = false;
    /// Set by the worker when it queues `ApplyWhenDue`; cleared by the main thread when the
    /// frame timer stops. While set, the worker queues nothing: the timer takes the values.
    bool scheduled_ = false;
};
