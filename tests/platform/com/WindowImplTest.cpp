// The template library's window object: messages reach the message map, the object learns
// of the window's end, and an object that goes first takes its window along.
#include <gtest/gtest.h>

#include <vector>

#include "platform/com/WindowImpl.h"
#include "platform/user/Window.h"
#include "tests/support/TestSupport.h"

namespace {

class RecordingWindow : public CWindowImpl {
public:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT& result, DWORD) override {
        seen.push_back(message);
        EXPECT_EQ(window, m_hWnd);
        if (message != WM_USER + 1) return FALSE;
        result = static_cast<LRESULT>(wParam * 2);
        return TRUE;
    }
    void OnFinalMessage(HWND window) override { finalWindow = window; }

    std::vector<UINT> seen;
    HWND finalWindow = nullptr;
};

TEST(WindowImpl, MessagesReachTheMapUntilTheWindowEnds) {
    handset_test::TempHandsetRoot root;
    RecordingWindow object;
    HWND window = object.Create(u"WindowImplTest", nullptr, RECT{0, 0, 10, 10}, u"title", 0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(object.m_hWnd, window);
    EXPECT_EQ(object.seen.front(), WM_CREATE);
    EXPECT_EQ(SendMessageW(window, WM_USER + 1, 21, 0), 42);
    // Unhandled messages go on to the default procedure.
    WCHAR title[16] = {};
    EXPECT_EQ(GetWindowTextW(window, title, 16), 5);
    // One object, one window.
    EXPECT_EQ(object.Create(u"WindowImplTest", nullptr, RECT{}, nullptr, 0), nullptr);

    EXPECT_TRUE(object.DestroyWindow());
    EXPECT_EQ(object.seen.back(), WM_DESTROY);
    EXPECT_EQ(object.finalWindow, window);
    EXPECT_EQ(object.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(object.DestroyWindow());
    // The class stays registered: a second window of it can be made.
    EXPECT_NE(object.Create(u"WindowImplTest", nullptr, RECT{}, nullptr, 0), nullptr);
}

TEST(WindowImpl, AnObjectDestroyedFirstTakesItsWindowWithoutCallingBack) {
    handset_test::TempHandsetRoot root;
    HWND window = nullptr;
    {
        RecordingWindow object;
        window = object.Create(u"WindowImplTest", nullptr, RECT{}, nullptr, 0);
        ASSERT_NE(window, nullptr);
    }
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
