// Touches become mouse messages for the window under the finger (or the capture window),
// in its client coordinates; close requests reach the program's top window.
#include <gtest/gtest.h>

#include "platform/screen/TouchInput.h"
#include "tests/platform/screen/ScreenTestSupport.h"

namespace {

using screen_test::InputOf;
using screen_test::PumpAll;
using screen_test::ScreenTest;

POINT ClientPoint(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

TEST_F(ScreenTest, TouchesGoToTheDeepestVisibleWindowUnderTheFinger) {
    HWND main = Make(u"Main", 0, 0, 480, 800);
    HWND panel = Make(u"Panel", 40, 50, 200, 200, WS_CHILD | WS_VISIBLE, main);
    HWND button = Make(u"Button", 10, 10, 50, 20, WS_CHILD | WS_VISIBLE, panel);
    HWND hidden = Make(u"Hidden", 0, 0, 480, 800, WS_CHILD, main);
    HWND disabled = Make(u"Disabled", 300, 300, 50, 50, WS_CHILD | WS_VISIBLE | WS_DISABLED, main);
    ASSERT_TRUE(button && hidden && disabled);

    EXPECT_EQ(platform::screen::WindowAtPoint(55, 65), button);
    EXPECT_EQ(platform::screen::WindowAtPoint(45, 55), panel);
    EXPECT_EQ(platform::screen::WindowAtPoint(479, 799), main);
    EXPECT_EQ(platform::screen::WindowAtPoint(480, 10), nullptr);

    platform::screen::TouchDown(55, 65);
    platform::screen::TouchUp(56, 66);
    platform::screen::TouchDown(310, 310);  // the disabled window takes no touch
    platform::screen::TouchUp(310, 310);
    platform::screen::TouchDown(45, 55);
    PumpAll();

    auto onButton = InputOf(button);
    ASSERT_EQ(onButton.size(), 2u);
    EXPECT_EQ(onButton[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(onButton[0].wParam, MK_LBUTTON);
    EXPECT_EQ(ClientPoint(onButton[0].lParam).x, 5);
    EXPECT_EQ(ClientPoint(onButton[0].lParam).y, 5);
    EXPECT_EQ(onButton[1].message, WM_LBUTTONUP);
    EXPECT_EQ(onButton[1].wParam, 0u);
    EXPECT_EQ(ClientPoint(onButton[1].lParam).x, 6);
    EXPECT_TRUE(InputOf(disabled).empty());
    EXPECT_TRUE(InputOf(main).empty());
    auto onPanel = InputOf(panel);
    ASSERT_EQ(onPanel.size(), 1u);
    EXPECT_EQ(ClientPoint(onPanel[0].lParam).x, 5);
    platform::screen::TouchUp(45, 55);
}

TEST_F(ScreenTest, TheCaptureWindowGetsTouchesAnywhere) {
    HWND main = Make(u"Main", 0, 0, 480, 800);
    HWND slider = Make(u"Slider", 100, 100, 50, 50, WS_CHILD | WS_VISIBLE, main);
    platform::screen::TouchDown(110, 120);
    PumpAll();
    SetCapture(slider);
    platform::screen::TouchMove(20, 700);
    platform::screen::TouchUp(-30, 900);
    PumpAll();
    ReleaseCapture();
    platform::screen::TouchMove(20, 700);  // a move with the finger up, over the main window
    PumpAll();

    auto onSlider = InputOf(slider);
    ASSERT_EQ(onSlider.size(), 3u);
    EXPECT_EQ(onSlider[1].message, WM_MOUSEMOVE);
    EXPECT_EQ(onSlider[1].wParam, MK_LBUTTON);
    EXPECT_EQ(ClientPoint(onSlider[1].lParam).x, -80);
    EXPECT_EQ(ClientPoint(onSlider[1].lParam).y, 600);
    EXPECT_EQ(onSlider[2].message, WM_LBUTTONUP);
    EXPECT_EQ(ClientPoint(onSlider[2].lParam).x, -130);
    auto onMain = InputOf(main);
    ASSERT_EQ(onMain.size(), 1u);
    EXPECT_EQ(onMain[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(onMain[0].wParam, 0u);
}

TEST_F(ScreenTest, CloseGoesToTheWindowThatOwnsTheForegroundWindow) {
    EXPECT_FALSE(platform::screen::CloseTopWindow());
    HWND main = Make(u"Main", 0, 0, 480, 800);
    HWND popup = Make(u"Popup", 10, 10, 100, 100, WS_VISIBLE | WS_POPUP, main);
    ASSERT_EQ(GetForegroundWindow(), popup);
    EXPECT_TRUE(platform::screen::CloseTopWindow());
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(message.hwnd, main);
}

}  // namespace
