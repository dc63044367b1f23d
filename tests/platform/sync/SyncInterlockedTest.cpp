// Interlocked operations: results as the handset gives them, and exact under contention.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/sync/Interlocked.h"

namespace {

TEST(SyncInterlocked, ReturnValues) {
    volatile LONG value = 5;
    EXPECT_EQ(InterlockedIncrement(&value), 6);
    EXPECT_EQ(InterlockedDecrement(&value), 5);
    EXPECT_EQ(InterlockedExchangeAdd(&value, 10), 5);
    EXPECT_EQ(InterlockedExchange(&value, 3), 15);
    EXPECT_EQ(InterlockedCompareExchange(&value, 9, 4), 3);  // no match: unchanged
    EXPECT_EQ(value, 3);
    EXPECT_EQ(InterlockedCompareExchange(&value, 9, 3), 3);
    EXPECT_EQ(value, 9);
    volatile LONG top = 0x7FFFFFFF;
    EXPECT_EQ(InterlockedIncrement(&top), static_cast<LONG>(0x80000000u));  // wraps, as on the handset

    int a = 0;
    int b = 0;
    PVOID volatile pointer = &a;
    EXPECT_EQ(InterlockedExchangePointer(&pointer, &b), &a);
    EXPECT_EQ(InterlockedCompareExchangePointer(&pointer, &a, &a), &b);
    EXPECT_EQ(pointer, &b);
    EXPECT_EQ(InterlockedCompareExchangePointer(&pointer, &a, &b), &b);
    EXPECT_EQ(pointer, &a);
}

TEST(SyncInterlocked, ExactUnderContention) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 50000;
    volatile LONG count = 0;
    volatile LONG total = 0;
    volatile LONG casCount = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                InterlockedIncrement(&count);
                InterlockedExchangeAdd(&total, 3);
                InterlockedDecrement(&count);
                InterlockedIncrement(&count);
                LONG seen;
                do {
                    seen = casCount;
                } while (InterlockedCompareExchange(&casCount, seen + 1, seen) != seen);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(count, kThreads * kRounds);
    EXPECT_EQ(total, 3 * kThreads * kRounds);
    EXPECT_EQ(casCount, kThreads * kRounds);
}

}  // namespace
