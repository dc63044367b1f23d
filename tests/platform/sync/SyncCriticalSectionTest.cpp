// Critical sections: re-entry by the owner, exclusion of other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/sync/CriticalSection.h"

namespace {

TEST(SyncCriticalSection, OwnerReentersOtherThreadsWaitForTheLastLeave) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);
    EXPECT_TRUE(TryEnterCriticalSection(&section));

    std::atomic<bool> tried{false};
    std::atomic<bool> entered{false};
    std::thread other([&] {
        tried = TryEnterCriticalSection(&section) == FALSE;
        EnterCriticalSection(&section);
        entered = true;
        LeaveCriticalSection(&section);
    });
    while (!tried) std::this_thread::yield();
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(entered.load()) << "entered while the owner still held one level";
    LeaveCriticalSection(&section);
    other.join();
    EXPECT_TRUE(entered.load());
    DeleteCriticalSection(&section);
}

TEST(SyncCriticalSection, LeaveByAThreadThatDoesNotOwnItIsIgnored) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    std::thread([&] {
        LeaveCriticalSection(&section);
        EXPECT_FALSE(TryEnterCriticalSection(&section));
    }).join();
    LeaveCriticalSection(&section);
    std::thread([&] {
        EXPECT_TRUE(TryEnterCriticalSection(&section));
        LeaveCriticalSection(&section);
    }).join();
    DeleteCriticalSection(&section);
}

TEST(SyncCriticalSection, NestedEntriesFromTwoThreadsKeepACountExact) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    long long counter = 0;  // guarded by the section only
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            EnterCriticalSection(&section);
            EnterCriticalSection(&section);
            ++counter;
            LeaveCriticalSection(&section);
            ++counter;
            LeaveCriticalSection(&section);
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 80000);
    DeleteCriticalSection(&section);
}

}  // namespace
