// WaitForMultipleObjects: wait-any and wait-all over threads and events, time-outs and
// failures.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/sync/Event.h"
#include "platform/sync/Thread.h"
#include "platform/sync/Wait.h"
#include "tests/platform/sync/SyncTestHelpers.h"

namespace {

class Events {
public:
    Events(int count, BOOL manualReset) {
        for (int i = 0; i < count; ++i) handles.push_back(CreateEventW(nullptr, manualReset, FALSE, nullptr));
    }
    ~Events() {
        for (HANDLE handle : handles) CloseHandle(handle);
    }
    DWORD Count() const { return static_cast<DWORD>(handles.size()); }
    std::vector<HANDLE> handles;
};

TEST(SyncWait, WaitAnyGivesTheLowestSignalledIndexAndTakesOnlyThat) {
    Events events(4, FALSE);
    SetEvent(events.handles[3]);
    SetEvent(events.handles[1]);
    EXPECT_EQ(WaitForMultipleObjects(events.Count(), events.handles.data(), FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(events.Count(), events.handles.data(), FALSE, 0), WAIT_OBJECT_0 + 3);
    EXPECT_EQ(WaitForMultipleObjects(events.Count(), events.handles.data(), FALSE, 0), WAIT_TIMEOUT);
}

TEST(SyncWait, WaitAnyWakesForTheObjectSignalledLater) {
    Events events(MAXIMUM_WAIT_OBJECTS, FALSE);
    DWORD result = 0;
    std::thread waiter([&] { result = WaitForMultipleObjects(events.Count(), events.handles.data(), FALSE, 5000); });
    ASSERT_TRUE(sync_test::WaitUntilBlocked(events.handles[63], 1));
    SetEvent(events.handles[63]);
    waiter.join();
    EXPECT_EQ(result, WAIT_OBJECT_0 + 63);
    // Only the event that satisfied the wait was taken; the registrations on the others are gone.
    for (HANDLE handle : events.handles) EXPECT_EQ(platform::WaitsBlockedOn(handle), 0u);
}

TEST(SyncWait, WaitAllTakesAutoResetEventsOnlyWhenAllAreSet) {
    Events events(3, FALSE);
    SetEvent(events.handles[0]);
    SetEvent(events.handles[2]);
    EXPECT_EQ(WaitForMultipleObjects(events.Count(), events.handles.data(), TRUE, 0), WAIT_TIMEOUT);
    // Still set: a wait-all that could not be satisfied took nothing.
    EXPECT_EQ(WaitForSingleObject(events.handles[0], 0), WAIT_OBJECT_0);
    SetEvent(events.handles[0]);

    DWORD result = 0;
    std::thread waiter([&] { result = WaitForMultipleObjects(events.Count(), events.handles.data(), TRUE, 5000); });
    ASSERT_TRUE(sync_test::WaitUntilBlocked(events.handles[1], 1));
    SetEvent(events.handles[1]);
    waiter.join();
    EXPECT_EQ(result, WAIT_OBJECT_0);
    for (HANDLE handle : events.handles) EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_TIMEOUT);
}

TEST(SyncWait, WaitAllSeesAPulseOnlyWhenTheOthersAreSetAtThatMoment) {
    Events events(2, TRUE);
    DWORD result = 0;
    std::thread waiter([&] { result = WaitForMultipleObjects(events.Count(), events.handles.data(), TRUE, 200); });
    ASSERT_TRUE(sync_test::WaitUntilBlocked(events.handles[0], 1));
    PulseEvent(events.handles[0]);  // the other is clear: the wait goes on
    SetEvent(events.handles[1]);
    waiter.join();
    EXPECT_EQ(result, WAIT_TIMEOUT);

    std::thread second([&] { result = WaitForMultipleObjects(events.Count(), events.handles.data(), TRUE, 5000); });
    ASSERT_TRUE(sync_test::WaitUntilBlocked(events.handles[0], 1));
    PulseEvent(events.handles[0]);
    second.join();
    EXPECT_EQ(result, WAIT_OBJECT_0);
}

TEST(SyncWait, ThreadsAndEventsMix) {
    Events events(1, TRUE);
    HANDLE thread = CreateThread(
        nullptr, 0, [](LPVOID event) -> DWORD { return WaitForSingleObject(static_cast<HANDLE>(event), 5000); },
        events.handles[0], 0, nullptr);
    HANDLE both[2] = {events.handles[0], thread};
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 30), WAIT_TIMEOUT);
    SetEvent(events.handles[0]);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 5000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, WAIT_OBJECT_0);
    CloseHandle(thread);
}

TEST(SyncWait, BadArgumentsFail) {
    Events events(2, TRUE);
    HANDLE closed = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    CloseHandle(closed);
    HANDLE twice[2] = {events.handles[0], events.handles[0]};
    HANDLE withClosed[2] = {events.handles[0], closed};
    std::vector<HANDLE> tooMany(MAXIMUM_WAIT_OBJECTS + 1, events.handles[0]);
    struct Case {
        const char* what;
        DWORD count;
        const HANDLE* handles;
        BOOL waitAll;
        DWORD error;
    };
    const Case cases[] = {
        {"no objects", 0, events.handles.data(), FALSE, ERROR_INVALID_PARAMETER},
        {"null array", 1, nullptr, FALSE, ERROR_INVALID_PARAMETER},
        {"too many", MAXIMUM_WAIT_OBJECTS + 1, tooMany.data(), FALSE, ERROR_INVALID_PARAMETER},
        {"same object twice in wait-all", 2, twice, TRUE, ERROR_INVALID_PARAMETER},
        {"closed handle", 2, withClosed, FALSE, ERROR_INVALID_HANDLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(0);
        EXPECT_EQ(WaitForMultipleObjects(c.count, c.handles, c.waitAll, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), c.error);
    }
    // The same object twice is fine for wait-any.
    SetEvent(events.handles[0]);
    EXPECT_EQ(WaitForMultipleObjects(2, twice, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(GetCurrentThread(), 0), WAIT_FAILED);
}

}  // namespace
