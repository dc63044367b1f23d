// Events of one process: manual and auto reset, pulses, and who gets a signal.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/sync/Event.h"
#include "platform/sync/Wait.h"
#include "tests/platform/sync/SyncTestHelpers.h"

namespace {

// Threads that each wait once on an event and count how many of them got it.
class Waiters {
public:
    Waiters(HANDLE event, int count, DWORD timeout) {
        for (int i = 0; i < count; ++i) {
            threads_.emplace_back([this, event, timeout] {
                if (WaitForSingleObject(event, timeout) == WAIT_OBJECT_0) ++woken_;
            });
        }
    }
    ~Waiters() { Join(); }
    void Join() {
        for (std::thread& thread : threads_)
            if (thread.joinable()) thread.join();
    }
    int Woken() const { return woken_.load(); }

private:
    std::vector<std::thread> threads_;
    std::atomic<int> woken_{0};
};

TEST(Event, InitialStateAndResetModes) {
    struct Case {
        BOOL manualReset;
        BOOL initialState;
        DWORD first;
        DWORD second;  // a second wait right after the first
    };
    const Case cases[] = {
        {TRUE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0},  // manual: stays signalled
        {FALSE, TRUE, WAIT_OBJECT_0, WAIT_TIMEOUT},  // auto: the first wait takes it
        {TRUE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
        {FALSE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "manual " << c.manualReset << " initial " << c.initialState);
        HANDLE event = CreateEventW(nullptr, c.manualReset, c.initialState, nullptr);
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(WaitForSingleObject(event, 0), c.first);
        EXPECT_EQ(WaitForSingleObject(event, 0), c.second);
        EXPECT_TRUE(SetEvent(event));
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
        EXPECT_TRUE(ResetEvent(event));
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
        CloseHandle(event);
    }
}

TEST(Event, TimedWaitTimesOutAfterAboutItsTime) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 60), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
    CloseHandle(event);
}

TEST(Event, SetWakesABlockedWaiter) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    Waiters waiters(event, 1, INFINITE);
    ASSERT_TRUE(sync_test::WaitUntilBlocked(event, 1));
    SetEvent(event);
    waiters.Join();
    EXPECT_EQ(waiters.Woken(), 1);
    // The waiter took the auto-reset signal.
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST(Event, AutoResetSetWakesExactlyOneWaiterEachTime) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    Waiters waiters(event, 3, 5000);
    ASSERT_TRUE(sync_test::WaitUntilBlocked(event, 3));
    for (int round = 1; round <= 3; ++round) {
        SetEvent(event);
        // The signal is handed over inside SetEvent: one wait fewer is blocked at once.
        EXPECT_EQ(platform::WaitsBlockedOn(event), static_cast<DWORD>(3 - round));
        for (int i = 0; i < 200 && waiters.Woken() < round; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(waiters.Woken(), round);
    }
    waiters.Join();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST(Event, ManualResetSetWakesEveryWaiterAndStaysSet) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Waiters waiters(event, 4, 5000);
    ASSERT_TRUE(sync_test::WaitUntilBlocked(event, 4));
    SetEvent(event);
    waiters.Join();
    EXPECT_EQ(waiters.Woken(), 4);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    CloseHandle(event);
}

TEST(Event, PulseReleasesTheWaitersPresentAndLeavesTheEventClear) {
    struct Case {
        BOOL manualReset;
        int waiting;
        int released;
    };
    const Case cases[] = {{TRUE, 3, 3}, {FALSE, 3, 1}, {TRUE, 0, 0}, {FALSE, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "manual " << c.manualReset << " waiting " << c.waiting);
        HANDLE event = CreateEventW(nullptr, c.manualReset, FALSE, nullptr);
        Waiters waiters(event, c.waiting, 300);
        ASSERT_TRUE(sync_test::WaitUntilBlocked(event, c.waiting));
        EXPECT_TRUE(PulseEvent(event));
        // Nobody arriving after the pulse sees it.
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
        waiters.Join();
        EXPECT_EQ(waiters.Woken(), c.released);
        CloseHandle(event);
    }
}

TEST(Event, EventModifyTakesTheHandsetFunctionCodes) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(EventModify(event, EVENT_SET));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(EventModify(event, EVENT_RESET));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_FALSE(EventModify(event, 4));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    CloseHandle(event);
    SetLastError(0);
    EXPECT_FALSE(SetEvent(event));  // closed
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(SetEvent(nullptr));
}

TEST(Event, UnnamedCreateClearsTheLastError) {
    SetLastError(ERROR_ALREADY_EXISTS);
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"");
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(event);
}

}  // namespace
