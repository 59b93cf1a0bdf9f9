#include "base/helper_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Every item is done once, whatever the size of the job, job after job on the same helpers.
TEST(HelperThreads, DoesEveryItemOnceJobAfterJob) {
    HelperThreads helpers(2);
    for (std::size_t n = 0; n < 60; ++n) {
        std::vector<std::atomic<int>> calls(n);
        helpers.ForEach(n, [&](std::size_t i) { ++calls[i]; });
        for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(calls[i].load(), 1) << "item " << i << " of " << n;
    }
    EXPECT_EQ(helpers.Started(), 2u);
}

// The items run at once on three threads: each of the first three waits (up to a deadline) until
// three threads are inside, which only helpers that take part can bring about.
TEST(HelperThreads, SharesTheItemsAmongTheAskingThreadAndTheHelpers) {
    HelperThreads helpers(2);
    std::mutex mutex;
    std::condition_variable changed;
    std::set<std::thread::id> inside;
    bool allMet = true;
    helpers.ForEach(3, [&](std::size_t) {
        std::unique_lock<std::mutex> lock(mutex);
        inside.insert(std::this_thread::get_id());
        changed.notify_all();
        allMet = changed.wait_for(lock, std::chrono::seconds(60), [&] { return inside.size() == 3; }) && allMet;
    });
    EXPECT_TRUE(allMet);
    EXPECT_EQ(inside.size(), 3u);
    EXPECT_EQ(inside.count(std::this_thread::get_id()), 1u);
}

TEST(HelperThreads, WithoutHelpersTheAskingThreadDoesItAll) {
    HelperThreads helpers(0);
    std::vector<std::thread::id> ran;
    helpers.ForEach(5, [&](std::size_t) { ran.push_back(std::this_thread::get_id()); });
    EXPECT_EQ(ran, std::vector<std::thread::id>(5, std::this_thread::get_id()));
    EXPECT_EQ(helpers.Started(), 0u);
}

// A call that throws ends the job: calls not yet begun are not made, the exception reaches the
// asker once every call has returned, and the helpers take the next job as before.
TEST(HelperThreads, AnExceptionEndsTheJobAndReachesTheAsker) {
    {
        HelperThreads alone(0);
        std::vector<std::size_t> made;
        EXPECT_THROW(alone.ForEach(10,
                                   [&](std::size_t i) {
                                       made.push_back(i);
                                       if (i == 3) throw std::runtime_error("item 3");
                                   }),
                     std::runtime_error);
        EXPECT_EQ(made, (std::vector<std::size_t>{0, 1, 2, 3}));
    }
    HelperThreads helpers(2);
    std::atomic<int> running{0};
    bool stillRunning = true;
    try {
        helpers.ForEach(200, [&](std::size_t i) {
            ++running;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            --running;
            if (i == 3) throw std::runtime_error("item 3");
        });
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "item 3");
        stillRunning = running.load() != 0;
    }
    EXPECT_FALSE(stillRunning) << "ForEach did not throw, or returned while calls were running";
    std::atomic<int> calls{0};
    helpers.ForEach(10, [&](std::size_t) { ++calls; });
    EXPECT_EQ(calls.load(), 10);
}

}  // namespace
