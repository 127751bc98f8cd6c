// The thread the window's version queries run on.
#include "version_query.h"

#include "TIdHTTP.h"

VersionQueryThread::~VersionQueryThread() {
    Stop();
}

void VersionQueryThread::Post(std::function<void()> query) {
    std::lock_guard lock(mutex_);
    if (stopping_)
        return;
    queries_.push_back(std::move(query));
    if (!thread_.joinable())
        thread_ = std::thread([this] { Loop(); });
    wake_.notify_one();
}

void VersionQueryThread::Stop() {
    stopSource_.request_stop();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queries_.clear();
        if (running_)
            running_->Cancel();
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

void VersionQueryThread::Loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queries_.empty(); });
        if (stopping_)
            return;
        std::function<void()> query = std::move(queries_.front());
        queries_.pop_front();
        lock.unlock();
        query();
        lock.lock();
    }
}

VersionQueryThread::Running::Running(VersionQueryThread &owner, TIdHTTP &http) : owner_(owner) {
    std::lock_guard lock(owner_.mutex_);
    owner_.running_ = &http;
    if (owner_.stopping_)
        http.Cancel();
}

VersionQueryThread::Running::~Running() {
    std::lock_guard lock(owner_.mutex_);
    owner_.running_ = nullptr;
}
