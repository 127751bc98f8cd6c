// The worker component: one std::thread per Start, one run of the body per thread.
#include "TIdThreadComponent.h"

#include "main_thread_poster.h"

#include <exception>
#include <typeinfo>

#if defined(__GNUG__)
#include <cstdlib>
#include <cxxabi.h>
#endif

namespace {

/// The readable class name of an exception object ("EIdCancelled", "std::runtime_error").
std::string ClassNameOf(const std::type_info &type) {
#if defined(__GNUG__)
    int status = 0;
    char *demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    if (status == 0 && demangled) {
        std::string name(demangled);
        std::free(demangled);
        return name;
    }
#endif
    return type.name();
}

} // namespace

/// One run of the worker: its stop request, the settings copied at `Start`, and whether the
/// thread has finished all of its work.
struct TIdThreadComponent::Run {
    std::stop_source stop;
    TIdThreadStopMode stopMode = smTerminate;
    bool finished = false; // guarded by the component's mutex_
};

TIdThreadComponent::TIdThreadComponent()
    : PostToMainThread(net::PostToQtMainThread),
      alive_(std::make_shared<TIdThreadComponent *>(this)) {}

TIdThreadComponent::~TIdThreadComponent() {
    {
        std::lock_guard lock(mutex_);
        if (run_)
            run_->stop.request_stop();
    }
    if (thread_.joinable())
        thread_.join();
    alive_.reset();
}

void TIdThreadComponent::Start() {
    {
        std::lock_guard lock(mutex_);
        if (run_ && !run_->finished)
            return; // still running, told to stop or not: never wait for it here
    }
    // The old thread has done all its work: joining it returns at once.
    if (thread_.joinable())
        thread_.join();

    auto run = std::make_shared<Run>();
    run->stopMode = stopMode_;
    {
        std::lock_guard lock(mutex_);
        run_ = run;
    }
    thread_ = std::thread([this, run] { Execute(run); });
}

void TIdThreadComponent::Stop() {
    std::lock_guard lock(mutex_);
    if (run_)
        run_->stop.request_stop();
}

bool TIdThreadComponent::Active() const {
    std::lock_guard lock(mutex_);
    return run_ && !run_->finished;
}

bool TIdThreadComponent::StopRequested() const {
    std::lock_guard lock(mutex_);
    return run_ && run_->stop.stop_requested();
}

std::stop_token TIdThreadComponent::StopToken() const {
    std::lock_guard lock(mutex_);
    return run_ ? run_->stop.get_token() : std::stop_token{};
}

std::string TIdThreadComponent::LastExceptionClass() const {
    std::lock_guard lock(mutex_);
    return lastExceptionClass_;
}

std::string TIdThreadComponent::LastExceptionMessage() const {
    std::lock_guard lock(mutex_);
    return lastExceptionMessage_;
}

void TIdThreadComponent::Execute(const std::shared_ptr<Run> &run) {
    const std::stop_token token = run->stop.get_token();
    // An exception escaping an event is recorded; the thread then ends quietly.
    auto raise = [this](const TNotifyEvent &event) {
        std::string className;
        std::string message;
        try {
            event(*this);
            return;
        } catch (const std::exception &e) {
            className = ClassNameOf(typeid(e));
            message = e.what();
        } catch (...) {
            className = "unknown exception";
        }
        std::lock_guard lock(mutex_);
        lastExceptionClass_ = std::move(className);
        lastExceptionMessage_ = std::move(message);
    };

    // A stop requested before the thread got going means no run at all.
    if (!token.stop_requested() && OnRun)
        raise(OnRun);
    if (run->stopMode == smSuspend && token.stop_requested() && OnStopped)
        raise(OnStopped);

    // Finished before OnTerminate is posted, so a handler that calls Start finds the worker done
    // (joining it then waits only for this post). Nothing of the component is touched after it.
    const TMainThreadPoster post = PostToMainThread;
    const std::weak_ptr<TIdThreadComponent *> alive = alive_;
    {
        std::lock_guard lock(mutex_);
        run->finished = true;
    }
    if (post) {
        post([alive] {
            const auto component = alive.lock();
            if (component && (*component)->OnTerminate)
                (*component)->OnTerminate(**component);
        });
    }
}
