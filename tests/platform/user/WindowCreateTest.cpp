// Window creation and destruction, classes, window longs, text, placement and the walks of
// the window lists, driven through real messages.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "platform/base/Errors.h"
#include "tests/platform/user/WindowTestSupport.h"

namespace {

using window_test::Log;
using window_test::WindowTest;

TEST_F(WindowTest, CreationSendsItsMessagesInOrder) {
    HWND hidden = Make(u"Hidden", 0);
    EXPECT_EQ(Log().Of(hidden), (std::vector<UINT>{WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_NE(GetForegroundWindow(), hidden);

    Log().Clear();
    HWND shown = Make(u"Shown", WS_VISIBLE);
    EXPECT_EQ(Log().Of(shown),
              (std::vector<UINT>{WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS}));
    EXPECT_EQ(GetForegroundWindow(), shown);
    EXPECT_EQ(GetFocus(), shown);
    EXPECT_TRUE(IsWindowVisible(shown));
    EXPECT_FALSE(IsWindowVisible(hidden));
}

struct CreateSeen {
    LPVOID parameter;
    int cx;
    int cy;
    std::u16string name;
    LONG_PTR styleDuringCreate;
};
CreateSeen seen;

LRESULT CreateInspector(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        seen = {create->lpCreateParams, create->cx, create->cy, create->lpszName, GetWindowLongW(window, GWL_STYLE)};
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(WindowTest, CreateStructCarriesTheArguments) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CreateInspector;
    windowClass.lpszClassName = u"Inspector";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    int marker = 0;
    HWND window = CreateWindowExW(0, u"inspector", u"Title", WS_VISIBLE | WS_POPUP, 1, 2, 30, 40, nullptr, nullptr,
                                  nullptr, &marker);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(seen.parameter, &marker);
    EXPECT_EQ(seen.cx, 30);
    EXPECT_EQ(seen.cy, 40);
    EXPECT_EQ(seen.name, u"Title");
    // WS_VISIBLE comes with showing, after WM_CREATE.
    EXPECT_EQ(seen.styleDuringCreate & WS_VISIBLE, 0);
    EXPECT_NE(GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_TRUE(UnregisterClassW(u"Inspector", nullptr));
}

TEST_F(WindowTest, MinusOneFromCreateFailsTheCreation) {
    window_test::Answers().push_back({WM_CREATE, -1});
    EXPECT_EQ(window_test::MakeWindow(u"Refused"), nullptr);
    EXPECT_EQ(Log().Of(nullptr), (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
    EXPECT_EQ(FindWindowW(window_test::kRecorderClass, u"Refused"), nullptr);
}

TEST_F(WindowTest, DestroyReachesOwnedWindowsAndChildrenBeforeTheWindow) {
    HWND parent = Make(u"Parent");
    HWND first = Make(u"First", WS_CHILD | WS_VISIBLE, parent, 1);
    HWND inner = Make(u"Inner", WS_CHILD | WS_VISIBLE, first, 2);
    HWND second = Make(u"Second", WS_CHILD | WS_VISIBLE, parent, 3);
    HWND owned = Make(u"Owned", WS_POPUP, parent);
    Log().Clear();

    ASSERT_TRUE(DestroyWindow(parent));
    std::vector<HWND> order;
    for (const auto& entry : Log().Entries())
        if (entry.message == WM_DESTROY) order.push_back(entry.window);
    EXPECT_EQ(order, (std::vector<HWND>{owned, inner, first, second, parent}));
    for (HWND window : {parent, first, inner, second, owned}) EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(DestroyWindow(parent));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowTest, WindowLongsHoldPointersAndTheClassBytes) {
    HWND parent = Make(u"Parent");
    HWND child = Make(u"Child", WS_CHILD, parent, 77);
    int object = 0;
    EXPECT_EQ(SetWindowLongW(parent, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&object)), 0);
    EXPECT_EQ(GetWindowLongW(parent, GWL_USERDATA), reinterpret_cast<LONG_PTR>(&object));
    // The class asked for 4 bytes: one word, wide enough for a pointer.
    EXPECT_EQ(SetWindowLongW(parent, 0, reinterpret_cast<LONG_PTR>(&object)), 0);
    EXPECT_EQ(GetWindowLongW(parent, 0), reinterpret_cast<LONG_PTR>(&object));
    EXPECT_EQ(GetWindowLongW(parent, static_cast<int>(sizeof(LONG_PTR))), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    EXPECT_EQ(GetWindowLongW(child, GWL_ID), 77);
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_EQ(GetParent(parent), nullptr);
}

LRESULT Replacement(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) return 1234;
    auto saved = reinterpret_cast<WNDPROC>(GetWindowLongW(window, GWL_USERDATA));
    return CallWindowProcW(saved, window, message, wParam, lParam);
}

TEST_F(WindowTest, ReplacedProcedureGetsTheMessagesAndCanPassThemOn) {
    HWND window = Make(u"Subclassed");
    LONG_PTR saved = SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Replacement));
    EXPECT_EQ(saved, reinterpret_cast<LONG_PTR>(&window_test::RecordingProcedure));
    SetWindowLongW(window, GWL_USERDATA, saved);
    Log().Clear();
    EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 1234);
    SendMessageW(window, WM_APP + 1, 0, 0);
    EXPECT_EQ(Log().Of(window), (std::vector<UINT>{WM_APP + 1}));
}

TEST_F(WindowTest, TextIsSetReadAndCut) {
    HWND window = Make(u"First title");
    EXPECT_TRUE(SetWindowTextW(window, u"Second title"));
    EXPECT_EQ(GetWindowTextLengthW(window), 12);
    WCHAR text[7];
    EXPECT_EQ(GetWindowTextW(window, text, 7), 6);
    EXPECT_EQ(std::u16string(text), u"Second");
    WCHAR name[64];
    EXPECT_EQ(GetClassNameW(window, name, 64), 8);
    EXPECT_EQ(std::u16string(name), u"Recorder");
    EXPECT_EQ(FindWindowW(nullptr, u"Second title"), window);
    EXPECT_EQ(FindWindowW(u"RECORDER", u"Second title"), window);
    EXPECT_EQ(FindWindowW(nullptr, u"First title"), nullptr);
    EXPECT_EQ(FindWindowW(nullptr, u"second title"), nullptr);
}

TEST_F(WindowTest, LongTitlesAreFoundExactly) {
    std::u16string title(400, u'x');
    title += u"end";
    HWND window = Make(title.c_str());
    EXPECT_EQ(FindWindowW(nullptr, title.c_str()), window);
    std::u16string other = title;
    other.back() = u'x';
    EXPECT_EQ(FindWindowW(nullptr, other.c_str()), nullptr);
}

TEST_F(WindowTest, ClassAndCreationErrors) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = window_test::RecordingProcedure;
    windowClass.lpszClassName = u"recorder";
    EXPECT_EQ(RegisterClassW(&windowClass), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    windowClass.lpszClassName = u"";
    EXPECT_EQ(RegisterClassW(&windowClass), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    HWND window = Make(u"Keeps the class");
    EXPECT_FALSE(UnregisterClassW(window_test::kRecorderClass, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
    DestroyWindow(window);

    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
    EXPECT_EQ(window_test::MakeWindow(u"Orphan", WS_CHILD), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_TLW_WITH_WSCHILD);
    // The system's classes are there without registration.
    HWND label = CreateWindowExW(0, u"static", u"Label", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(label, nullptr);
    DestroyWindow(label);
}

TEST_F(WindowTest, WalksFollowTheZOrderAndTheChildren) {
    HWND first = Make(u"First");
    HWND second = Make(u"Second");
    HWND third = Make(u"Third", 0);
    // Each new window starts on top of the others.
    EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), third);
    EXPECT_EQ(GetWindow(third, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(first, GW_HWNDPREV), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDFIRST), third);
    EXPECT_EQ(GetWindow(second, GW_HWNDLAST), first);

    SetForegroundWindow(first);
    EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), first);
    // Topmost windows stay above the others.
    SetWindowPos(third, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetForegroundWindow(second);
    std::vector<HWND> listed;
    EnumWindows(
        [](HWND window, LPARAM into) {
            reinterpret_cast<std::vector<HWND>*>(into)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&listed));
    EXPECT_EQ(listed, (std::vector<HWND>{third, second, first}));

    HWND childA = Make(u"A", WS_CHILD, first, 1);
    HWND childB = Make(u"B", WS_CHILD, first, 2);
    EXPECT_EQ(GetWindow(first, GW_CHILD), childA);
    EXPECT_EQ(GetWindow(childA, GW_HWNDNEXT), childB);
    SetWindowPos(childB, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindow(first, GW_CHILD), childB);

    HWND owned = Make(u"Owned", WS_POPUP, first);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), first);
    EXPECT_EQ(GetParent(owned), first);
}

TEST_F(WindowTest, MovingAndSizingSendSizeAndMove) {
    HWND parent = Make(u"Parent");
    HWND child = Make(u"Child", WS_CHILD | WS_VISIBLE, parent, 1);
    ASSERT_TRUE(MoveWindow(parent, 10, 20, 300, 200, TRUE));
    ASSERT_TRUE(MoveWindow(child, 5, 6, 50, 60, TRUE));
    RECT rect;
    ASSERT_TRUE(GetClientRect(parent, &rect));
    EXPECT_EQ(rect.right, 300);
    EXPECT_EQ(rect.bottom, 200);
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ(rect.left, 15);
    EXPECT_EQ(rect.top, 26);
    EXPECT_EQ(rect.right, 65);
    EXPECT_EQ(rect.bottom, 86);

    Log().Clear();
    SetWindowPos(parent, nullptr, 10, 20, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);  // unchanged
    MoveWindow(parent, 10, 20, 320, 200, TRUE);
    auto sizes = Log().Of(parent, {WM_SIZE, WM_MOVE});
    EXPECT_EQ(sizes, (std::vector<UINT>{WM_SIZE}));
    auto entries = Log().Entries();
    auto size = std::find_if(entries.begin(), entries.end(), [](const auto& e) { return e.message == WM_SIZE; });
    ASSERT_NE(size, entries.end());
    EXPECT_EQ(LOWORD(size->lParam), 320);
    EXPECT_EQ(HIWORD(size->lParam), 200);
}

TEST_F(WindowTest, SystemMetricsFollowTheDisplaySize) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 480);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 800);
    platform::SetDisplaySize(800, 480);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    HWND full = CreateWindowExW(0, window_test::kRecorderClass, u"Full", 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    RECT rect;
    GetClientRect(full, &rect);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 480);
    DestroyWindow(full);
    platform::SetDisplaySize(480, 800);
}

TEST_F(WindowTest, ThreadEndTakesItsWindowsAway) {
    HWND window = nullptr;
    std::thread([&] { window = window_test::MakeWindow(u"Short lived"); }).join();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(FindWindowW(nullptr, u"Short lived"), nullptr);
    EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

// Each call that looks a window up gives its own failure value and the same last error
// when the handle names no window any more.
TEST_F(WindowTest, CallsOnAGoneWindowFailWithInvalidWindowHandle) {
    HWND gone = Make(u"Gone");
    ASSERT_TRUE(DestroyWindow(gone));
    auto value = [](HWND window) { return reinterpret_cast<LONG_PTR>(window); };
    RECT rect{};
    WCHAR text[8];
    MSG message{};
    message.hwnd = gone;
    message.message = WM_APP;
    struct Case {
        const char* call;
        std::function<LONG_PTR()> run;
        LONG_PTR failure;
    };
    const Case cases[] = {
        {"GetWindowLongW", [&] { return GetWindowLongW(gone, GWL_STYLE); }, 0},
        {"SetWindowLongW", [&] { return SetWindowLongW(gone, GWL_USERDATA, 1); }, 0},
        {"SetWindowTextW", [&] { return LONG_PTR{SetWindowTextW(gone, u"x")}; }, FALSE},
        {"GetWindowTextW", [&] { return LONG_PTR{GetWindowTextW(gone, text, 8)}; }, 0},
        {"GetClassNameW", [&] { return LONG_PTR{GetClassNameW(gone, text, 8)}; }, 0},
        {"GetParent", [&] { return value(GetParent(gone)); }, 0},
        {"GetWindow", [&] { return value(GetWindow(gone, GW_OWNER)); }, 0},
        {"GetWindowThreadProcessId", [&] { return LONG_PTR{GetWindowThreadProcessId(gone, nullptr)}; }, 0},
        {"DestroyWindow", [&] { return LONG_PTR{DestroyWindow(gone)}; }, FALSE},
        {"ShowWindow", [&] { return LONG_PTR{ShowWindow(gone, SW_SHOW)}; }, FALSE},
        {"GetClientRect", [&] { return LONG_PTR{GetClientRect(gone, &rect)}; }, FALSE},
        {"GetWindowRect", [&] { return LONG_PTR{GetWindowRect(gone, &rect)}; }, FALSE},
        {"InvalidateRect", [&] { return LONG_PTR{InvalidateRect(gone, nullptr, FALSE)}; }, FALSE},
        {"ValidateRect", [&] { return LONG_PTR{ValidateRect(gone, nullptr)}; }, FALSE},
        {"GetUpdateRect", [&] { return LONG_PTR{GetUpdateRect(gone, &rect, FALSE)}; }, FALSE},
        {"UpdateWindow", [&] { return LONG_PTR{UpdateWindow(gone)}; }, FALSE},
        {"SetFocus", [&] { return value(SetFocus(gone)); }, 0},
        {"SetActiveWindow", [&] { return value(SetActiveWindow(gone)); }, 0},
        {"SetCapture", [&] { return value(SetCapture(gone)); }, 0},
        {"SetForegroundWindow", [&] { return LONG_PTR{SetForegroundWindow(gone)}; }, FALSE},
        {"SetTimer", [&] { return static_cast<LONG_PTR>(SetTimer(gone, 1, 10, nullptr)); }, 0},
        {"KillTimer", [&] { return LONG_PTR{KillTimer(gone, 1)}; }, FALSE},
        {"RegisterHotKey", [&] { return LONG_PTR{RegisterHotKey(gone, 1, 0, 'Q')}; }, FALSE},
        {"PostMessageW", [&] { return LONG_PTR{PostMessageW(gone, WM_APP, 0, 0)}; }, FALSE},
        {"SendMessageW", [&] { return SendMessageW(gone, WM_APP, 0, 0); }, 0},
        {"GetMessageW", [&] { return LONG_PTR{GetMessageW(&message, gone, 0, 0)}; }, -1},
        {"DispatchMessageW", [&] { return DispatchMessageW(&message); }, 0},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(c.run(), c.failure) << c.call;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE) << c.call;
    }
}

}  // namespace
