// The progress relay: the worker's values reach the window coalesced, at most once a frame, and
// always ending on the final ones.
#include "form_harness.h"
#include "progress_relay.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

class Relay : public ::testing::Test {
protected:
    harness::ApplicationFirst application;
    std::vector<ProgressView> shown;
    std::vector<qint64> shownAt; ///< milliseconds on `clock` when each update came
    QElapsedTimer clock;
    ProgressRelay relay{[this](const ProgressView &view) {
                            shown.push_back(view);
                            shownAt.push_back(clock.elapsed());
                        },
                        40ms};

    Relay() { clock.start(); }
    void Publish(std::int64_t count) { relay.PublishProgress(count, 0, 7, 9, int(count % 100)); }
};

TEST_F(Relay, AStreamFromAnotherThreadIsCoalescedAndEndsOnItsFinalValues) {
    std::thread worker([&] {
        relay.PublishMax(100);
        for (std::int64_t count = 1; count <= 300; ++count) {
            Publish(count);
            std::this_thread::sleep_for(1ms);
        }
        relay.PostFlush();
    });
    ASSERT_TRUE(
        harness::ProcessEventsUntil([&] { return !shown.empty() && shown.back().Count == 300; }));
    worker.join();
    EXPECT_TRUE(shown.front().HasMax);
    EXPECT_EQ(shown.front().Max, 100);
    EXPECT_EQ(shown.back().Position, 0);
    EXPECT_EQ(shown.back().StartTick, 7u);
    // Each update newer than the one before, and no more than one a frame: over the stream's
    // time, its first update and the final flush aside, at most one per 40 ms frame.
    for (std::size_t i = 1; i < shown.size(); ++i)
        EXPECT_GT(shown[i].Count, shown[i - 1].Count);
    ASSERT_GE(shown.size(), 2u);
    const qint64 streamed = shownAt[shown.size() - 2] - shownAt[0];
    EXPECT_LE(qint64(shown.size()) - 2, streamed / 40 + 1);
}

TEST_F(Relay, AValueAfterAQuietSpellShowsOnTheNextTurnOfTheLoopWithoutWaitingForATimer) {
    Publish(5);
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.size(), 1u);
    // Nothing new for a few frames: no further update, and a flush has nothing to show.
    harness::ProcessEventsUntil([] { return false; }, 300ms);
    relay.Flush();
    EXPECT_EQ(relay.Applied(), 1);
    // The frame timer has stopped: the next value queues its own update again.
    Publish(6);
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].Count, 6);
}

} // namespace
