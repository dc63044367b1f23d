// Named events: one event per name in a handset root, shared by its processes.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/sync/Event.h"
#include "platform/sync/Thread.h"
#include "platform/sync/Wait.h"
#include "tests/platform/sync/SyncTestHelpers.h"
#include "tests/support/TestSupport.h"

namespace {

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

class EventNamed : public testing::Test {
protected:
    handset_test::TempHandsetRoot root_;
};

TEST_F(EventNamed, SecondCreateOpensTheSameEvent) {
    HANDLE first = CreateEventW(nullptr, FALSE, FALSE, u"Calvane_Test");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    // Reset mode and state of the existing event are kept.
    HANDLE second = CreateEventW(nullptr, TRUE, TRUE, u"Calvane_Test");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_NE(second, first);
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT);
    SetEvent(second);
    EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT);  // auto-reset: taken through the first handle

    HANDLE opened = OpenEventW(EVENT_ALL_ACCESS, FALSE, u"Calvane_Test");
    ASSERT_NE(opened, nullptr);
    // Names are compared exactly.
    EXPECT_EQ(OpenEventW(EVENT_ALL_ACCESS, FALSE, u"calvane_test"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    CloseHandle(first);
    CloseHandle(second);
    CloseHandle(opened);
}

TEST_F(EventNamed, EventEndsWithItsLastHandle) {
    HANDLE event = CreateEventW(nullptr, TRUE, TRUE, u"Gone");
    CloseHandle(event);
    EXPECT_EQ(OpenEventW(EVENT_ALL_ACCESS, FALSE, u"Gone"), nullptr);
    HANDLE again = CreateEventW(nullptr, TRUE, FALSE, u"Gone");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(again, 0), WAIT_TIMEOUT);
    CloseHandle(again);
}

TEST_F(EventNamed, NameLengthIsChecked) {
    std::u16string longest(MAX_PATH, u'n');
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, longest.c_str());
    EXPECT_NE(event, nullptr);
    CloseHandle(event);
    std::u16string tooLong(MAX_PATH + 1, u'n');
    EXPECT_EQ(CreateEventW(nullptr, FALSE, FALSE, tooLong.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(OpenEventW(EVENT_ALL_ACCESS, FALSE, nullptr), nullptr);
}

TEST_F(EventNamed, PulseAndWaitsWithinOneProcess) {
    HANDLE manual = CreateEventW(nullptr, TRUE, FALSE, u"Manual");
    HANDLE automatic = CreateEventW(nullptr, FALSE, FALSE, u"Auto");
    std::atomic<int> woken{0};
    std::thread a([&] { woken += WaitForSingleObject(manual, 5000) == WAIT_OBJECT_0; });
    std::thread b([&] { woken += WaitForSingleObject(manual, 5000) == WAIT_OBJECT_0 ? 10 : 0; });
    ASSERT_TRUE(sync_test::WaitUntilBlocked(manual, 2));
    PulseEvent(manual);
    a.join();
    b.join();
    EXPECT_EQ(woken.load(), 11);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);

    // A pulse with nobody waiting is lost; a set auto-reset event waits for its one taker.
    PulseEvent(automatic);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);
    SetEvent(automatic);
    HANDLE both[2] = {manual, automatic};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 20), WAIT_TIMEOUT);
    CloseHandle(manual);
    CloseHandle(automatic);
}

TEST_F(EventNamed, WaitAnyMixesNamedAndUnnamedObjects) {
    HANDLE named = CreateEventW(nullptr, FALSE, FALSE, u"Mixed");
    HANDLE local = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE both[2] = {local, named};
    for (HANDLE signalled : {named, local}) {
        DWORD result = WAIT_FAILED;
        std::thread waiter([&] { result = WaitForMultipleObjects(2, both, FALSE, 5000); });
        ASSERT_TRUE(sync_test::WaitUntilBlocked(signalled, 1));
        SetEvent(signalled);
        waiter.join();
        EXPECT_EQ(result, WAIT_OBJECT_0 + (signalled == local ? 0 : 1));
        // Only the winner's signal was taken, and no registration is left behind.
        EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_TIMEOUT);
        EXPECT_EQ(platform::WaitsBlockedOn(named), 0u);
        EXPECT_EQ(platform::WaitsBlockedOn(local), 0u);
    }
    // A wait-all over both kinds re-checks until both are set at once.
    DWORD result = WAIT_FAILED;
    std::thread waiter([&] { result = WaitForMultipleObjects(2, both, TRUE, 5000); });
    SetEvent(named);
    SetEvent(local);
    waiter.join();
    EXPECT_EQ(result, WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_TIMEOUT);
    CloseHandle(named);
    CloseHandle(local);
}

// Child role: opens the named auto-reset event, says it is about to wait, waits once and
// reports the wake through the "woke" event.
TEST(EventNamedChild, WaitOnce) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs only as a child process";
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, Wide(handset_test::ChildArgument("event")).c_str());
    ASSERT_NE(event, nullptr);
    ASSERT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    HANDLE woke = OpenEventW(EVENT_ALL_ACCESS, FALSE, Wide(handset_test::ChildArgument("woke")).c_str());
    ASSERT_NE(woke, nullptr);
    ASSERT_EQ(WaitForSingleObject(event, 10000), WAIT_OBJECT_0);
    SetEvent(woke);
    CloseHandle(event);
    CloseHandle(woke);
}

TEST_F(EventNamed, AutoResetSetWakesExactlyOneWaiterInAnotherProcess) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"CrossProcess");
    HANDLE woke = CreateEventW(nullptr, FALSE, FALSE, u"CrossProcessWoke");
    std::map<std::string, std::string> arguments{{"event", "CrossProcess"}, {"woke", "CrossProcessWoke"}};
    int first = handset_test::StartChild("EventNamedChild.WaitOnce", arguments);
    int second = handset_test::StartChild("EventNamedChild.WaitOnce", arguments);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    ASSERT_TRUE(sync_test::WaitUntilBlocked(event, 2));

    SetEvent(event);
    EXPECT_EQ(platform::WaitsBlockedOn(event), 1u);
    EXPECT_EQ(WaitForSingleObject(woke, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(woke, 200), WAIT_TIMEOUT);

    SetEvent(event);
    EXPECT_EQ(WaitForSingleObject(woke, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(handset_test::WaitChild(first), 0);
    EXPECT_EQ(handset_test::WaitChild(second), 0);
    // Both signals were taken by the children.
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    CloseHandle(event);
    CloseHandle(woke);
}

// Child role: leaves the process while a thread waits on the event and while it holds a
// signalled event of its own, without closing anything.
TEST(EventNamedChild, EndWhileWaiting) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs only as a child process";
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, Wide(handset_test::ChildArgument("event")).c_str());
    ASSERT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    HANDLE own = CreateEventW(nullptr, TRUE, TRUE, u"LeftBehind");
    ASSERT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE thread = CreateThread(
        nullptr, 0, [](LPVOID waited) -> DWORD { return WaitForSingleObject(static_cast<HANDLE>(waited), INFINITE); },
        event, 0, nullptr);
    ASSERT_TRUE(sync_test::WaitUntilBlocked(event, 1));
    UNREFERENCED_PARAMETER(own);
    UNREFERENCED_PARAMETER(thread);
}

TEST_F(EventNamed, AProcessThatEndedNeitherHoldsEventsNorSwallowsSignals) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"Survivor");
    ASSERT_EQ(handset_test::RunChild("EventNamedChild.EndWhileWaiting", {{"event", "Survivor"}}), 0);

    // The child's wait is older than this one, but its process is gone.
    DWORD result = WAIT_FAILED;
    std::thread waiter([&] { result = WaitForSingleObject(event, 5000); });
    ASSERT_TRUE(sync_test::WaitUntilBlocked(event, 1));
    SetEvent(event);
    waiter.join();
    EXPECT_EQ(result, WAIT_OBJECT_0);

    // The child's own event went with it.
    EXPECT_EQ(OpenEventW(EVENT_ALL_ACCESS, FALSE, u"LeftBehind"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    CloseHandle(event);
}

}  // namespace
