#include "common/Sync/Event.h"

#include "common/Sync/CriticalSection.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace Sync;

TEST(SyncEvent, AutoResetReleasesOneWaiterAndResets) {
    AutoResetEvent event;
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT);
    event.Set();
    event.Set(); // setting twice is still one signal
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT);
}

TEST(SyncEvent, ManualResetStaysSetUntilReset) {
    Event event(true, true);
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    event.Reset();
    EXPECT_EQ(event.Wait(10), WAIT_TIMEOUT);
}

TEST(SyncEvent, MultipleWaitGivesTheIndexOfTheSignalledOne) {
    AutoResetEvent first;
    AutoResetEvent second;
    AutoResetEvent third;
    std::thread setter([&] { third.Set(); });
    EXPECT_EQ(Waitable::Wait({&first, &second, &third}, false, 10000), WAIT_OBJECT_0 + 2);
    setter.join();
    EXPECT_EQ(Waitable::Wait({&first, &second, &third}, false, 5), WAIT_TIMEOUT);
    first.Set();
    second.Set();
    // In list order, one at a time.
    EXPECT_EQ(Waitable::Wait({&first, &second}, false, 0), WAIT_OBJECT_0);
    EXPECT_EQ(Waitable::Wait({&first, &second}, false, 0), WAIT_OBJECT_0 + 1);
}

TEST(SyncCriticalSection, IsRecursiveAndExcludesOtherThreads) {
    CriticalSection lock;
    int counter = 0;
    {
        AutoLock outer(lock);
        AutoLock inner(lock); // the owner may take it again
        ++counter;
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                AutoLock guard(lock);
                ++counter;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 40001);
}

} // namespace
