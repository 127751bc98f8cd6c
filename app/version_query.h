#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

class TIdHTTP;

/// Runs the window's version queries off the main thread, one after another in the order they
/// were asked for, on one thread of its own started with the first query.
///
/// A query registers the HTTP client it uses (`Running`), so `Stop` can cancel a transfer in
/// flight. `Stop` also drops the queries still waiting and joins the thread; afterwards `Post`
/// does nothing.
class VersionQueryThread {
public:
    VersionQueryThread() = default;
    /// Stops and joins.
    ~VersionQueryThread();
    VersionQueryThread(const VersionQueryThread &) = delete;
    VersionQueryThread &operator=(const VersionQueryThread &) = delete;

    /// Queues `query` to run on the query thread after the ones already queued.
    void Post(std::function<void()> query);

    /// Cancels the running transfer, drops waiting queries and joins the thread. Main thread.
    void Stop();

    /// Requested by `Stop`: a query's slow steps (the proxy look-up) give up on it.
    std::stop_token StopToken() const { return stopSource_.get_token(); }

    /// Makes `http` cancellable by `Stop` while this object lives. Query thread. When the thread
    /// is already stopping, the client is cancelled at once, so its next `Get` fails at once.
    class Running {
    public:
        Running(VersionQueryThread &owner, TIdHTTP &http);
        ~Running();
        Running(const Running &) = delete;
        Running &operator=(const Running &) = delete;

    private:
        VersionQueryThread &owner_;
    };

private:
    void Loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queries_;
    bool stopping_ = false;
    TIdHTTP *running_ = nullptr;
    std::stop_source stopSource_;
    std::thread thread_;
};
