// TIdThreadComponent: one run per Start, no waiting on a running worker, quiet exceptions,
// OnTerminate on the main thread, a destructor that stops and joins.
#include "TIdThreadComponent.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;

namespace {

/// Lets a test hold a body inside OnRun until it opens the gate.
class Gate {
public:
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    void Wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

/// Stands for the main thread's event queue: posted calls wait here until the test runs them.
class PostedCalls {
public:
    void Post(std::function<void()> call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
        changed_.notify_all();
    }
    /// Waits for one posted call and runs it on the calling (test) thread.
    bool RunOne(std::chrono::milliseconds timeout = 5s) {
        std::function<void()> call;
        {
            std::unique_lock lock(mutex_);
            if (!changed_.wait_for(lock, timeout, [this] { return !calls_.empty(); }))
                return false;
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        call();
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> calls_;
};

/// A component whose OnTerminate goes to `posted`, with the window's settings.
void Configure(TIdThreadComponent &component, PostedCalls &posted) {
    component.SetLoop(false);
    component.SetStopMode(smTerminate);
    component.PostToMainThread = [&posted](std::function<void()> call) {
        posted.Post(std::move(call));
    };
}

bool WaitUntilInactive(const TIdThreadComponent &component) {
    for (int i = 0; i < 500 && component.Active(); ++i)
        std::this_thread::sleep_for(10ms);
    return !component.Active();
}

TEST(ThreadComponent, RunsTheBodyOnceOnAWorkerAndThenRaisesOnTerminate) {
    PostedCalls posted;
    TIdThreadComponent component;
    Configure(component, posted);
    std::atomic<int> runs{0};
    std::atomic<bool> onOtherThread{false};
    const auto mainThread = std::this_thread::get_id();
    component.OnRun = [&](TIdThreadComponent &sender) {
        EXPECT_EQ(&sender, &component);
        onOtherThread = std::this_thread::get_id() != mainThread;
        ++runs;
    };
    bool terminated = false;
    component.OnTerminate = [&](TIdThreadComponent &) {
        terminated = true;
        EXPECT_EQ(std::this_thread::get_id(), mainThread);
    };

    component.Start();
    ASSERT_TRUE(posted.RunOne());
    EXPECT_TRUE(terminated);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(onOtherThread);
    EXPECT_FALSE(component.Active());
}

TEST(ThreadComponent, StartTwiceWhileRunningRunsTheBodyOnce) {
    PostedCalls posted;
    TIdThreadComponent component;
    Configure(component, posted);
    Gate gate;
    std::atomic<int> runs{0};
    component.OnRun = [&](TIdThreadComponent &) {
        ++runs;
        gate.Wait();
    };
    component.Start();
    component.Start();
    EXPECT_TRUE(component.Active());
    gate.Open();
    ASSERT_TRUE(posted.RunOne());
    EXPECT_FALSE(posted.RunOne(100ms)) << "a second run was started";
    EXPECT_EQ(runs, 1);
}

TEST(ThreadComponent, StartAfterAFinishedRunRunsTheBodyAgain) {
    PostedCalls posted;
    TIdThreadComponent component;
    Configure(component, posted);
    std::atomic<int> runs{0};
    component.OnRun = [&](TIdThreadComponent &) { ++runs; };
    component.Start();
    ASSERT_TRUE(posted.RunOne());
    ASSERT_TRUE(WaitUntilInactive(component));
    component.Start();
    ASSERT_TRUE(posted.RunOne());
    EXPECT_EQ(runs, 2);
}

TEST(ThreadComponent, StartNeverWaitsForAStoppedButUnfinishedWorker) {
    PostedCalls posted;
    TIdThreadComponent component;
    Configure(component, posted);
    Gate gate;
    std::atomic<int> runs{0};
    component.OnRun = [&](TIdThreadComponent &sender) {
        ++runs;
        sender.Stop(); // as the progress handler does when the transfer ends
        gate.Wait();   // as the body does while the success box is up
    };
    component.Start();
    while (!component.StopRequested())
        std::this_thread::sleep_for(1ms);

    const auto before = std::chrono::steady_clock::now();
    component.Start(); // must return at once and start nothing
    EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms);
    gate.Open();
    ASSERT_TRUE(posted.RunOne());
    EXPECT_EQ(runs, 1);
}

TEST(ThreadComponent, StopLetsTheBodyFinishAndRaisesOnStoppedOnlyInSuspendMode) {
    for (const TIdThreadStopMode mode : {smTerminate, smSuspend}) {
        PostedCalls posted;
        TIdThreadComponent component;
        Configure(component, posted);
        component.SetStopMode(mode);
        std::atomic<bool> finished{false};
        std::atomic<bool> stoppedRaised{false};
        component.OnStopped = [&](TIdThreadComponent &) { stoppedRaised = true; };
        component.OnRun = [&](TIdThreadComponent &sender) {
            sender.Stop();
            EXPECT_TRUE(sender.StopRequested());
            finished = true;
        };
        component.Start();
        ASSERT_TRUE(posted.RunOne());
        EXPECT_TRUE(finished);
        EXPECT_EQ(stoppedRaised, mode == smSuspend);
    }
}

TEST(ThreadComponent, ExceptionEscapingTheBodyIsRecordedAndTheThreadEndsQuietly) {
    PostedCalls posted;
    TIdThreadComponent component;
    Configure(component, posted);
    component.OnRun = [](TIdThreadComponent &) { throw std::runtime_error("socket error"); };
    component.Start();
    ASSERT_TRUE(posted.RunOne());
    EXPECT_EQ(component.LastExceptionClass(), "std::runtime_error");
    EXPECT_EQ(component.LastExceptionMessage(), "socket error");
    EXPECT_TRUE(WaitUntilInactive(component));
}

TEST(ThreadComponent, DestructorStopsAndJoinsARunningWorker) {
    PostedCalls posted;
    std::atomic<bool> bodyEnded{false};
    std::atomic<bool> bodyStarted{false};
    {
        TIdThreadComponent component;
        Configure(component, posted);
        component.OnRun = [&](TIdThreadComponent &sender) {
            bodyStarted = true;
            while (!sender.StopRequested())
                std::this_thread::sleep_for(1ms);
            std::this_thread::sleep_for(50ms); // still working after the stop request
            bodyEnded = true;
        };
        component.Start();
        while (!bodyStarted)
            std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(bodyEnded);
    // The posted OnTerminate outlived the component: running it now does nothing.
    ASSERT_TRUE(posted.RunOne());
}

TEST(ThreadComponent, StopTokenCallbackRunsWhenTheComponentIsDestroyed) {
    PostedCalls posted;
    std::atomic<bool> callbackRan{false};
    Gate started;
    {
        TIdThreadComponent component;
        Configure(component, posted);
        component.OnRun = [&](TIdThreadComponent &sender) {
            Gate released;
            std::stop_callback onStop(sender.StopToken(), [&] {
                callbackRan = true; // a real body cancels its transfer here
                released.Open();
            });
            started.Open();
            released.Wait();
        };
        component.Start();
        started.Wait();
    }
    EXPECT_TRUE(callbackRan);
}

TEST(ThreadComponent, DefaultPosterRaisesOnTerminateOnTheQtMainThread) {
    int argc = 1;
    char name[] = "thread_component_test";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    TIdThreadComponent component;
    const auto mainThread = std::this_thread::get_id();
    std::atomic<bool> ran{false};
    bool terminatedOnMain = false;
    component.OnRun = [&](TIdThreadComponent &) { ran = true; };
    component.OnTerminate = [&](TIdThreadComponent &) {
        terminatedOnMain = std::this_thread::get_id() == mainThread;
        QCoreApplication::quit();
    };
    component.Start();
    QElapsedTimer timer;
    timer.start();
    while (!terminatedOnMain && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(terminatedOnMain);
}

} // namespace
