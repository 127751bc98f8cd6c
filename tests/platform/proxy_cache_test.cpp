// The proxy answers of one press: asked once per server, and never holding up a stop while the
// system's look-up still blocks (the blocked call is abandoned, not waited for).
#include "proxy_cache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

/// Answers with a fixed proxy, counting questions; while `blocked`, every question waits for
/// `Release` (an automatic detection that finds no server).
class SlowProxySeam final : public platform::ProxySeam {
public:
    std::atomic<int> asked{0};
    std::atomic<int> answered{0};
    bool blocked = false;

    std::optional<std::string> ProxyFor(const std::string &) override {
        ++asked;
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return !blocked; });
        ++answered;
        return std::string("http://proxy.test:3128");
    }
    void Release() {
        {
            std::lock_guard lock(mutex_);
            blocked = false;
        }
        released_.notify_all();
    }
    /// Waits until every question has come back, so no abandoned thread outlives the seam.
    void AwaitAnswers() const {
        while (answered < asked)
            std::this_thread::sleep_for(1ms);
    }

private:
    std::mutex mutex_;
    std::condition_variable released_;
};

TEST(ProxyCache, AsksTheSystemOncePerServerOfAPress) {
    SlowProxySeam seam;
    std::stop_source stop;
    platform::ProxyCache cache(seam, stop.get_token());
    for (const char *url : {"http://a.test/x.exe", "http://a.test/x.exe.minisig",
                            "http://a.test:80/y", "https://a.test/x.exe", "http://b.test/x"})
        EXPECT_EQ(cache.ProxyFor(url), "http://proxy.test:3128") << url;
    EXPECT_EQ(seam.asked, 3); // http://a.test:80, https://a.test:443, http://b.test:80
}

TEST(ProxyCache, AStopReleasesAQuestionThatStillBlocks) {
    SlowProxySeam seam;
    seam.blocked = true;
    std::stop_source stop;
    platform::ProxyCache cache(seam, stop.get_token());
    std::thread stopper([&] {
        while (seam.asked == 0)
            std::this_thread::sleep_for(1ms);
        stop.request_stop();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(cache.ProxyFor("http://a.test/x.exe"), "") << "direct once stopped";
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    stopper.join();
    EXPECT_EQ(seam.answered, 0) << "the look-up was still blocked when the stop came";
    seam.Release();
    seam.AwaitAnswers();
}

} // namespace
