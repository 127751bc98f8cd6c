#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

/// How `Stop` stops the worker.
enum TIdThreadStopMode {
    /// The thread is told to terminate: the running body finishes normally, nothing follows.
    smTerminate,
    /// The running body finishes normally, then `OnStopped` is raised on the worker thread.
    smSuspend,
};

/// Runs a body on a worker thread of its own, once per `Start`.
///
/// Thread rules: `Start`, `Stop`, the setters and the destructor are called on the owning (main)
/// thread; `Stop`, `StopRequested` and `StopToken` may also be called from the body. `OnRun` and
/// `OnStopped` run on the worker; `OnTerminate` runs on the main thread, posted through
/// `PostToMainThread` after the worker has ended. The main thread never waits for a running body
/// except in the destructor, which first asks it to stop.
class TIdThreadComponent {
public:
    using TNotifyEvent = std::function<void(TIdThreadComponent &sender)>;
    /// Runs a function later on the main thread. Never waits for it.
    using TMainThreadPoster = std::function<void(std::function<void()>)>;

    TIdThreadComponent();
    /// Asks a running body to stop (its stop token) and joins the thread. Never leaves a running
    /// thread behind. A posted `OnTerminate` that has not run yet is dropped.
    ~TIdThreadComponent();
    TIdThreadComponent(const TIdThreadComponent &) = delete;
    TIdThreadComponent &operator=(const TIdThreadComponent &) = delete;

    /// Starts a worker that runs `OnRun` once. Does nothing while a worker is still running
    /// (whether or not it was told to stop): it never joins an unfinished thread. A worker that
    /// has finished is joined (at once) and replaced by a fresh one.
    void Start();
    /// Tells the running body to stop through its stop token; the body finishes normally.
    void Stop();

    /// True from `Start` until the worker's body has ended.
    bool Active() const;
    /// True once `Stop` (or the destructor) asked the current run to stop. For the body.
    bool StopRequested() const;
    /// The current run's stop token: a body can attach a `std::stop_callback` to it (for example
    /// one that cancels a transfer).
    std::stop_token StopToken() const;

    /// Kept for the window's settings; the body runs once per `Start` whatever it says.
    bool Loop() const { return loop_; }
    void SetLoop(bool loop) { loop_ = loop; }
    TIdThreadStopMode StopMode() const { return stopMode_; }
    void SetStopMode(TIdThreadStopMode mode) { stopMode_ = mode; }

    /// Class and message of the last exception that escaped `OnRun` (empty when none).
    std::string LastExceptionClass() const;
    std::string LastExceptionMessage() const;

    /// The worker's body. An exception escaping it is recorded and the thread ends quietly.
    TNotifyEvent OnRun;
    /// Raised on the worker after the body when the run was stopped in `smSuspend` mode; never
    /// with `smTerminate`.
    TNotifyEvent OnStopped;
    /// Raised on the main thread after the worker has ended.
    TNotifyEvent OnTerminate;

    /// How `OnTerminate` reaches the main thread. The default posts to the Qt application's
    /// thread (a queued call), or calls directly on the worker when no Qt application exists.
    /// Set it before `Start`.
    TMainThreadPoster PostToMainThread;

private:
    struct Run;
    void Execute(const std::shared_ptr<Run> &run);

    bool loop_ = false;
    TIdThreadStopMode stopMode_ = smTerminate;

    mutable std::mutex mutex_;
    std::shared_ptr<Run> run_;
    std::thread thread_;
    std::string lastExceptionClass_;
    std::string lastExceptionMessage_;
    /// Cleared by the destructor so a posted `OnTerminate` that runs later finds no component.
    std::shared_ptr<TIdThreadComponent *> alive_;
};
