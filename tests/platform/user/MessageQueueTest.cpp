// One thread's message queue: the order of sent, posted, quit, paint and timer messages,
// filters, key translation and waiting for input together with kernel objects.
#include <gtest/gtest.h>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/sync/Event.h"
#include "platform/sync/Thread.h"
#include "tests/platform/user/WindowTestSupport.h"

namespace {

using window_test::Log;
using window_test::WindowTest;

constexpr ULONGLONG kSomeUtcMs = 12'000'000'000'000ull;

std::vector<UINT> PumpAll(HWND filter = nullptr) {
    std::vector<UINT> seen;
    MSG message;
    while (PeekMessageW(&message, filter, 0, 0, PM_REMOVE)) {
        seen.push_back(message.message);
        DispatchMessageW(&message);
    }
    return seen;
}

TEST_F(WindowTest, SentMessagesRunAtOncePostedOnesWaitInOrder) {
    HWND window = Make(u"Queue");
    PumpAll();
    Log().Clear();
    ASSERT_TRUE(PostMessageW(window, WM_APP + 1, 0, 0));
    SendMessageW(window, WM_APP + 2, 0, 0);
    ASSERT_TRUE(PostMessageW(window, WM_APP + 3, 0, 0));
    EXPECT_EQ(Log().Of(window), (std::vector<UINT>{WM_APP + 2}));
    EXPECT_EQ(PumpAll(), (std::vector<UINT>{WM_APP + 1, WM_APP + 3}));
    EXPECT_EQ(Log().Of(window), (std::vector<UINT>{WM_APP + 2, WM_APP + 1, WM_APP + 3}));
}

TEST_F(WindowTest, FiltersChooseByRangeAndWindow) {
    HWND first = Make(u"First", 0);
    HWND child = Make(u"Child", WS_CHILD, first, 1);
    HWND second = Make(u"Second", 0);
    PumpAll();
    PostMessageW(second, WM_USER + 1, 0, 0);
    PostMessageW(child, WM_USER + 2, 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    MSG message;
    // A range, without removing.
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_APP);
    EXPECT_EQ(message.hwnd, nullptr);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_NOREMOVE));
    // A window also takes its children's messages.
    ASSERT_TRUE(PeekMessageW(&message, first, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER + 2);
    EXPECT_FALSE(PeekMessageW(&message, first, 0, 0, PM_REMOVE));
    // (HWND)-1 takes thread messages only.
    ASSERT_TRUE(PeekMessageW(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_APP);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, second);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, QuitComesAfterThePostedMessagesAndEndsGetMessage) {
    HWND window = Make(u"Quitting");
    PumpAll();
    PostQuitMessage(7);
    PostMessageW(window, WM_APP, 0, 0);
    MSG message;
    // A range without WM_QUIT leaves it waiting.
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
    EXPECT_EQ(message.message, WM_APP);
    EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 0);
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    // A filter window that does not exist can never be satisfied.
    DestroyWindow(window);
    EXPECT_EQ(GetMessageW(&message, window, 0, 0), -1);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowTest, PaintComesWhenNothingElseWaitsAndUntilValidated) {
    HWND window = Make(u"Painted");
    PumpAll();
    ASSERT_TRUE(InvalidateRect(window, nullptr, FALSE));
    PostMessageW(window, WM_APP, 0, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_APP);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_PAINT);
    // Not validated yet: it comes again.
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_PAINT);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(update.right, 100);
    DispatchMessageW(&message);  // DefWindowProcW validates
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));

    // RedrawWindow with RDW_UPDATENOW paints at once.
    Log().Clear();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(Log().Of(window), (std::vector<UINT>{WM_PAINT}));
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));

    // UpdateWindow paints at once; a hidden window is not painted.
    RECT part{10, 10, 20, 20};
    InvalidateRect(window, &part, FALSE);
    Log().Clear();
    UpdateWindow(window);
    EXPECT_EQ(Log().Of(window), (std::vector<UINT>{WM_PAINT}));
    ShowWindow(window, SW_HIDE);
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
}

UINT_PTR timerProcedureCalls = 0;
void CountingTimerProcedure(HWND, UINT, UINT_PTR id, DWORD) { timerProcedureCalls += id; }

TEST_F(WindowTest, TimersFollowTheManualClock) {
    platform::clock::UseManualClock(1000, kSomeUtcMs);
    HWND window = Make(u"Timed");
    PumpAll();
    EXPECT_EQ(SetTimer(window, 5, 100, nullptr), 5u);
    MSG message;
    platform::clock::Advance(99);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    platform::clock::Advance(1);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_TIMER);
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, 5u);
    // Never queued twice, however long the clock stood still.
    platform::clock::Advance(1000);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    // Posted messages come first.
    platform::clock::Advance(100);
    PostMessageW(window, WM_APP, 0, 0);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_APP);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_TIMER);
    EXPECT_TRUE(KillTimer(window, 5));
    EXPECT_FALSE(KillTimer(window, 5));
    platform::clock::Advance(500);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));

    // A thread timer with a procedure: DispatchMessageW calls the procedure.
    timerProcedureCalls = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 10, CountingTimerProcedure);
    ASSERT_NE(id, 0u);
    platform::clock::Advance(10);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, nullptr);
    DispatchMessageW(&message);
    EXPECT_EQ(timerProcedureCalls, id);
    KillTimer(nullptr, id);
}

TEST_F(WindowTest, GetMessageWakesForAPostFromAnotherThreadAndATimer) {
    HWND window = Make(u"Waiting");
    PumpAll();
    std::thread poster([window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PostMessageW(window, WM_APP + 9, 1, 2);
    });
    MSG message;
    ASSERT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
    EXPECT_EQ(message.message, WM_APP + 9);
    poster.join();

    SetTimer(window, 1, 30, nullptr);
    ASSERT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
    EXPECT_EQ(message.message, WM_TIMER);
    KillTimer(window, 1);
}

TEST_F(WindowTest, KeysTranslateIntoCharactersBeforeTheKeyUp) {
    HWND window = Make(u"Typing");
    PumpAll();
    ASSERT_EQ(GetFocus(), window);
    struct Case {
        std::vector<UINT> held;
        UINT key;
        WPARAM character;  // 0: none
    };
    const Case cases[] = {
        {{}, 'A', u'a'},         {{VK_SHIFT}, 'A', u'A'},  {{}, '7', u'7'},
        {{}, VK_TSTAR, u'*'},    {{}, VK_TPOUND, u'#'},   {{}, VK_RETURN, u'\r'},
        {{}, VK_TTALK, 0},       {{VK_CONTROL}, 'C', 3},  {{}, VK_LEFT, 0},
    };
    for (const Case& c : cases) {
        for (UINT held : c.held) platform::InjectKey(held, true);
        PumpAll();
        ASSERT_TRUE(platform::InjectKey(c.key, true));
        ASSERT_TRUE(platform::InjectKey(c.key, false));
        std::vector<UINT> seen;
        WPARAM typed = 0;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            seen.push_back(message.message);
            if (message.message == WM_CHAR) typed = message.wParam;
            TranslateMessage(&message);
        }
        std::vector<UINT> expected = c.character ? std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}
                                                 : std::vector<UINT>{WM_KEYDOWN, WM_KEYUP};
        EXPECT_EQ(seen, expected) << "key " << c.key;
        EXPECT_EQ(typed, c.character) << "key " << c.key;
        for (UINT held : c.held) platform::InjectKey(held, false);
        PumpAll();
    }
}

TEST_F(WindowTest, KeyMessagesCarryTheHandsetFlags) {
    HWND window = Make(u"Flags");
    PumpAll();
    platform::InjectKey(VK_UP, true);
    platform::InjectKey(VK_UP, true);
    platform::InjectKey(VK_UP, false);
    MSG message;
    std::vector<LPARAM> flags;
    while (PeekMessageW(&message, window, 0, 0, PM_REMOVE)) flags.push_back(message.lParam);
    ASSERT_EQ(flags.size(), 3u);
    EXPECT_EQ(flags[0], static_cast<LPARAM>(0x01000001));  // extended, first press
    EXPECT_EQ(flags[1], static_cast<LPARAM>(0x41000001));  // repeat: was down
    EXPECT_EQ(flags[2], static_cast<LPARAM>(0xC1000001));  // released
}

TEST_F(WindowTest, PostingErrors) {
    HWND window = Make(u"Errors");
    COPYDATASTRUCT data{1, 0, nullptr};
    EXPECT_FALSE(PostMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)));
    EXPECT_EQ(GetLastError(), ERROR_MESSAGE_SYNC_ONLY);
    EXPECT_FALSE(PostThreadMessageW(0x7FFFFFF0, WM_APP, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    DestroyWindow(window);
    EXPECT_FALSE(PostMessageW(window, WM_APP, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowTest, MsgWaitEndsForInputOrForAnObject) {
    HWND window = Make(u"Waiting");
    PumpAll();
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 20, QS_ALLINPUT), WAIT_TIMEOUT);
    PostMessageW(window, WM_APP, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 1000, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
    // Input of a kind not asked for does not end the wait.
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_KEY, MWMO_INPUTAVAILABLE), WAIT_TIMEOUT);
    // Seen once, the message counts only for a wait that asks for available input.
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, 0), WAIT_TIMEOUT);
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE), WAIT_OBJECT_0);
    PumpAll();
    std::thread setter([event] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SetEvent(event);
    });
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 5000, QS_ALLINPUT), WAIT_OBJECT_0);
    setter.join();
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, TRUE, 0, QS_ALLINPUT), WAIT_FAILED);
    CloseHandle(event);
}

int pumpHookCalls = 0;
void CountingPumpHook() { ++pumpHookCalls; }

TEST_F(WindowTest, PumpHookRunsOnEveryPump) {
    pumpHookCalls = 0;
    platform::AddMessagePumpHook(CountingPumpHook);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(pumpHookCalls, 2);
    // GetMessageW runs it too.
    PostQuitMessage(0);
    EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 0);
    EXPECT_EQ(pumpHookCalls, 3);
    platform::RemoveMessagePumpHook(CountingPumpHook);
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(pumpHookCalls, 3);
}

// A scripted finger for the manual clock: posts WM_MOUSEMOVE to `fingerWindow` at each tick of
// `fingerTicks` that the clock has reached.
HWND fingerWindow = nullptr;
std::vector<DWORD> fingerTicks;
void FingerHook() {
    while (!fingerTicks.empty() && GetTickCount() >= fingerTicks.front()) {
        PostMessageW(fingerWindow, WM_MOUSEMOVE, 0, 0);
        fingerTicks.erase(fingerTicks.begin());
    }
}

TEST_F(WindowTest, AWaitForInputOnAManualClockRunsOnThatClock) {
    HWND window = Make(u"Finger");
    PumpAll();
    platform::clock::UseManualClock(1000, kSomeUtcMs, 16);
    fingerWindow = window;
    fingerTicks = {1040, 1056};
    platform::AddMessagePumpHook(FingerHook);
    // Nothing comes: the time-out passes on the manual clock, exactly.
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 30, QS_ALLINPUT, MWMO_INPUTAVAILABLE), WAIT_TIMEOUT);
    EXPECT_EQ(GetTickCount(), 1030u);
    // The hooks play between the clock's steps: the move posted at 1046 ends the wait there.
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 400, QS_ALLINPUT, MWMO_INPUTAVAILABLE), WAIT_OBJECT_0);
    EXPECT_EQ(GetTickCount(), 1046u);
    // Taking it without yielding is no pump: the clock stays and the next move stays unplayed.
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(GetTickCount(), 1046u);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD));
    EXPECT_EQ(fingerTicks.size(), 1u);
    // A plain pump moves the clock a step and plays the next move.
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetTickCount(), 1062u);
    platform::RemoveMessagePumpHook(FingerHook);
    platform::clock::UseRealClock();
}

}  // namespace
