// Activation, focus, the foreground window, capture and hot keys, read from the messages
// the windows get.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "platform/base/Errors.h"
#include "tests/platform/user/WindowTestSupport.h"

namespace {

using window_test::Log;
using window_test::Received;
using window_test::WindowTest;

const std::vector<UINT> kActivation{WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS};

std::vector<std::pair<UINT, WPARAM>> ActivationOf(HWND window) {
    std::vector<std::pair<UINT, WPARAM>> seen;
    for (const Received& entry : Log().Entries())
        if (entry.window == window &&
            std::find(kActivation.begin(), kActivation.end(), entry.message) != kActivation.end())
            seen.push_back({entry.message, entry.message == WM_ACTIVATE ? LOWORD(entry.wParam) : 0});
    return seen;
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

TEST_F(WindowTest, ActivationMovesBetweenWindows) {
    HWND first = Make(u"First");
    Log().Clear();
    HWND second = Make(u"Second");
    using Seen = std::vector<std::pair<UINT, WPARAM>>;
    EXPECT_EQ(ActivationOf(first), (Seen{{WM_ACTIVATE, WA_INACTIVE}, {WM_KILLFOCUS, 0}}));
    EXPECT_EQ(ActivationOf(second), (Seen{{WM_ACTIVATE, WA_ACTIVE}, {WM_SETFOCUS, 0}}));
    EXPECT_EQ(GetForegroundWindow(), second);
    EXPECT_EQ(GetActiveWindow(), second);

    // The lowest bit of the handle asks for the owned windows too; it is not part of the handle.
    Log().Clear();
    ASSERT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(first) | 1)));
    EXPECT_EQ(GetForegroundWindow(), first);
    EXPECT_EQ(GetFocus(), first);
    EXPECT_EQ(ActivationOf(second), (Seen{{WM_ACTIVATE, WA_INACTIVE}, {WM_KILLFOCUS, 0}}));
    EXPECT_EQ(ActivationOf(first), (Seen{{WM_ACTIVATE, WA_ACTIVE}, {WM_SETFOCUS, 0}}));

    // The foreground window going away brings the next one to the front.
    Log().Clear();
    DestroyWindow(first);
    EXPECT_EQ(GetForegroundWindow(), second);
    EXPECT_EQ(ActivationOf(second), (Seen{{WM_ACTIVATE, WA_ACTIVE}, {WM_SETFOCUS, 0}}));
    ShowWindow(second, SW_MINIMIZE);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowTest, FocusMovesIntoChildren) {
    HWND top = Make(u"Top");
    HWND child = Make(u"Child", WS_CHILD | WS_VISIBLE, top, 1);
    Log().Clear();
    EXPECT_EQ(SetFocus(child), top);
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(Log().Of(top, kActivation), (std::vector<UINT>{WM_KILLFOCUS}));
    EXPECT_EQ(Log().Of(child, kActivation), (std::vector<UINT>{WM_SETFOCUS}));
    // The window that lost the focus learns where it went.
    auto entries = Log().Entries();
    EXPECT_EQ(reinterpret_cast<HWND>(entries.front().wParam), child);
    EXPECT_EQ(SetFocus(nullptr), child);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowTest, CaptureChangesAreAnnounced) {
    HWND first = Make(u"First");
    HWND second = Make(u"Second");
    EXPECT_EQ(SetCapture(first), nullptr);
    EXPECT_EQ(GetCapture(), first);
    Log().Clear();
    EXPECT_EQ(SetCapture(second), first);
    EXPECT_EQ(Log().Of(first), (std::vector<UINT>{WM_CAPTURECHANGED}));
    SendMessageW(second, WM_CANCELMODE, 0, 0);  // DefWindowProcW lets go of the capture
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Log().Of(second, {WM_CAPTURECHANGED}), (std::vector<UINT>{WM_CAPTURECHANGED}));
}

TEST_F(WindowTest, ForegroundGivenToAnotherThreadsWindowReachesItThroughItsLoop) {
    HWND mine = Make(u"Mine");
    std::promise<HWND> made;
    std::atomic<bool> stop{false};
    std::atomic<bool> activated{false};
    std::thread other([&] {
        HWND window = window_test::MakeWindow(u"Theirs", 0);
        made.set_value(window);
        while (!stop) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            if (GetActiveWindow() == window && GetFocus() == window) activated = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        DestroyWindow(window);
    });
    HWND theirs = made.get_future().get();
    Log().Clear();
    ASSERT_TRUE(SetForegroundWindow(theirs));
    EXPECT_EQ(GetForegroundWindow(), theirs);
    Pump();  // this thread's window learns that it lost the front
    for (int i = 0; i < 5000 && !activated; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(activated);
    EXPECT_EQ(Log().Of(mine, {WM_ACTIVATE, WM_KILLFOCUS}), (std::vector<UINT>{WM_ACTIVATE, WM_KILLFOCUS}));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    stop = true;
    other.join();
}

TEST_F(WindowTest, HotKeysTakeTheirKeysAndLeaveTheOthers) {
    HWND window = Make(u"Game");
    Pump();
    ASSERT_TRUE(RegisterHotKey(window, 27, 0, VK_ESCAPE));
    ASSERT_TRUE(RegisterHotKey(window, 81, MOD_CONTROL, 'Q'));
    ASSERT_TRUE(RegisterHotKey(window, 91, MOD_WIN, VK_LWIN));
    EXPECT_FALSE(RegisterHotKey(nullptr, 5, MOD_CONTROL, 'Q'));
    EXPECT_EQ(GetLastError(), ERROR_HOTKEY_ALREADY_REGISTERED);
    // Registering an id of the window again replaces its keys.
    EXPECT_TRUE(RegisterHotKey(window, 27, 0, VK_ESCAPE));

    struct Case {
        std::vector<std::pair<UINT, bool>> keys;
        std::vector<std::pair<UINT, WPARAM>> expected;  // message, wParam
    };
    const Case cases[] = {
        {{{VK_ESCAPE, true}, {VK_ESCAPE, false}}, {{WM_HOTKEY, 27}, {WM_KEYUP, VK_ESCAPE}}},
        {{{VK_CONTROL, true}, {'Q', true}, {'Q', false}, {VK_CONTROL, false}},
         {{WM_KEYDOWN, VK_CONTROL}, {WM_HOTKEY, 81}, {WM_KEYUP, 'Q'}, {WM_KEYUP, VK_CONTROL}}},
        {{{'Q', true}, {'Q', false}}, {{WM_KEYDOWN, 'Q'}, {WM_KEYUP, 'Q'}}},
        {{{VK_LWIN, true}, {VK_LWIN, false}}, {{WM_HOTKEY, 91}, {WM_KEYUP, VK_LWIN}}},
    };
    for (const Case& c : cases) {
        for (auto [key, down] : c.keys) platform::InjectKey(key, down);
        std::vector<std::pair<UINT, WPARAM>> seen;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            seen.push_back({message.message, message.wParam});
            if (message.message == WM_HOTKEY && message.wParam == 81) {
                EXPECT_EQ(LOWORD(message.lParam), MOD_CONTROL);
                EXPECT_EQ(HIWORD(message.lParam), 'Q');
            }
        }
        EXPECT_EQ(seen, c.expected);
    }
    EXPECT_TRUE(UnregisterHotKey(window, 27));
    EXPECT_FALSE(UnregisterHotKey(window, 27));
    platform::InjectKey(VK_ESCAPE, true);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    platform::InjectKey(VK_ESCAPE, false);
    // A destroyed window's hot keys go with it.
    DestroyWindow(window);
    HWND next = Make(u"Next");
    EXPECT_TRUE(RegisterHotKey(next, 1, MOD_CONTROL, 'Q'));
}

TEST_F(WindowTest, TouchesGoToTheWindowUnderThePenOrToTheCapture) {
    HWND top = Make(u"Top");
    MoveWindow(top, 0, 0, 480, 800, FALSE);
    HWND button = Make(u"Button", WS_CHILD | WS_VISIBLE, top, 1);
    MoveWindow(button, 10, 20, 100, 50, FALSE);
    Pump();

    struct Touch {
        UINT message;
        int x;
        int y;
        HWND window;
        POINT client;
        WPARAM buttons;
    };
    const Touch touches[] = {
        {WM_LBUTTONDOWN, 15, 30, button, {5, 10}, MK_LBUTTON},
        {WM_MOUSEMOVE, 200, 300, top, {200, 300}, MK_LBUTTON},
        {WM_LBUTTONUP, 200, 300, top, {200, 300}, 0},
    };
    for (const Touch& touch : touches) {
        ASSERT_TRUE(platform::InjectPointer(touch.message, touch.x, touch.y));
        MSG message;
        ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(message.message, touch.message);
        EXPECT_EQ(message.hwnd, touch.window);
        EXPECT_EQ(GET_X_LPARAM(message.lParam), touch.client.x);
        EXPECT_EQ(GET_Y_LPARAM(message.lParam), touch.client.y);
        EXPECT_EQ(message.wParam, touch.buttons);
    }
    // The capture takes every touch, in its own coordinates.
    SetCapture(button);
    ASSERT_TRUE(platform::InjectPointer(WM_LBUTTONDOWN, 5, 5));
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, button);
    EXPECT_EQ(GET_X_LPARAM(message.lParam), -5);
    EXPECT_EQ(GET_Y_LPARAM(message.lParam), -15);
    ReleaseCapture();
    platform::InjectPointer(WM_LBUTTONUP, 5, 5);
    Pump();
    EXPECT_FALSE(platform::InjectPointer(WM_LBUTTONDOWN, 600, 900));
}

}  // namespace
