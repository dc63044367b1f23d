// The shell's calls for start-up and the game window: full screen, the menu bar, the work
// area, and the activation and setting-change handlers.
#include <gtest/gtest.h>

#include "platform/base/Errors.h"
#include "platform/screen/Display.h"
#include "platform/shell/Shell.h"
#include "platform/user/Window.h"
#include "tests/support/TestSupport.h"

namespace {

using platform::shell::FullScreenOf;
using platform::shell::WorkAreaOf;

LRESULT PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

RECT RectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void ExpectRect(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = PlainProcedure;
        windowClass.lpszClassName = u"ShellTestWindow";
        RegisterClassW(&windowClass);
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        platform::shell::SetInputPanelUp(false);
    }
    void TearDown() override {
        for (HWND window : windows_)
            if (IsWindow(window)) DestroyWindow(window);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        platform::screen::Configure(platform::screen::DisplayGeometry{});
    }
    HWND Make(int x, int y, int width, int height, DWORD style = WS_VISIBLE, HWND parent = nullptr) {
        HWND window = CreateWindowExW(0, u"ShellTestWindow", u"", style, x, y, width, height, parent, nullptr, nullptr,
                                      nullptr);
        windows_.push_back(window);
        return window;
    }
    static SHMENUBARINFO BarInfo(HWND parent, DWORD flags) {
        SHMENUBARINFO info{};
        info.cbSize = sizeof info;
        info.hwndParent = parent;
        info.dwFlags = flags;
        info.nToolBarId = 101;
        return info;
    }

    handset_test::TempHandsetRoot root_;
    std::vector<HWND> windows_;
};

TEST_F(ShellTest, FullScreenHidesAndShowsTheShellsItemsPerWindow) {
    HWND game = Make(0, 0, 480, 800);
    HWND other = Make(0, 0, 10, 10);
    ASSERT_TRUE(SHFullScreen(game, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON));  // 0x2A
    EXPECT_TRUE(FullScreenOf(game).taskBarHidden);
    EXPECT_TRUE(FullScreenOf(game).sipButtonHidden);
    EXPECT_TRUE(FullScreenOf(game).startIconHidden);
    EXPECT_FALSE(FullScreenOf(other).taskBarHidden);

    ASSERT_TRUE(SHFullScreen(game, SHFS_SHOWSIPBUTTON));
    EXPECT_FALSE(FullScreenOf(game).sipButtonHidden);
    EXPECT_TRUE(FullScreenOf(game).taskBarHidden);  // untouched
    ASSERT_TRUE(SHFullScreen(game, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_SHOWSTARTICON));  // 0x15
    EXPECT_FALSE(FullScreenOf(game).taskBarHidden);
    EXPECT_FALSE(FullScreenOf(game).startIconHidden);

    EXPECT_FALSE(SHFullScreen(game, SHFS_SHOWTASKBAR | SHFS_HIDETASKBAR));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(SHFullScreen(game, 0x40));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(SHFullScreen(nullptr, SHFS_HIDETASKBAR));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);

    ASSERT_TRUE(SHFullScreen(game, SHFS_HIDETASKBAR));
    DestroyWindow(game);
    EXPECT_FALSE(FullScreenOf(game).taskBarHidden);
}

TEST_F(ShellTest, MenuBarLiesAlongTheBottomWithoutTakingTheFocus) {
    EXPECT_TRUE(SHInitExtraControls());
    EXPECT_TRUE(SHInitExtraControls());
    HWND game = Make(0, 0, 480, 800);
    ASSERT_EQ(GetFocus(), game);
    SHMENUBARINFO info = BarInfo(game, SHCMBF_COLORBK | SHCMBF_HMENU);  // the game's flags 24
    ASSERT_TRUE(SHCreateMenuBar(&info));
    HWND bar = info.hwndMB;
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(platform::shell::MenuBarOf(game), bar);
    EXPECT_EQ(platform::shell::MenuBarStateOf(game).toolBarId, 101u);
    WCHAR className[64] = {};
    GetClassNameW(bar, className, 64);
    EXPECT_EQ(std::u16string(className), platform::shell::kMenuBarClass);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(GetWindow(bar, GW_OWNER), game);
    ExpectRect(RectOf(bar), 0, 748, 480, 800);
    EXPECT_EQ(GetFocus(), game);
    EXPECT_EQ(GetForegroundWindow(), game);

    // The bar keeps to the bottom when the screen turns.
    ASSERT_TRUE(platform::screen::SetOrientation(90));
    SendMessageW(bar, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    ExpectRect(RectOf(bar), 0, 428, 800, 480);

    // A second bar replaces the first; the window takes its bar with it.
    SHMENUBARINFO hidden = BarInfo(game, SHCMBF_HMENU | SHCMBF_HIDDEN);
    ASSERT_TRUE(SHCreateMenuBar(&hidden));
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_FALSE(IsWindowVisible(hidden.hwndMB));
    DestroyWindow(game);
    EXPECT_FALSE(IsWindow(hidden.hwndMB));
    EXPECT_EQ(platform::shell::MenuBarOf(game), nullptr);
}

TEST_F(ShellTest, BadMenuBarRequestsAreRefused) {
    HWND game = Make(0, 0, 480, 800);
    EXPECT_FALSE(SHCreateMenuBar(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    SHMENUBARINFO shortRecord = BarInfo(game, 0);
    shortRecord.cbSize = 36;  // the record's size on a 32-bit handset
    EXPECT_FALSE(SHCreateMenuBar(&shortRecord));
    SHMENUBARINFO unknownFlags = BarInfo(game, 0x100);
    EXPECT_FALSE(SHCreateMenuBar(&unknownFlags));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    SHMENUBARINFO noParent = BarInfo(nullptr, 0);
    EXPECT_FALSE(SHCreateMenuBar(&noParent));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(noParent.hwndMB, nullptr);
}

TEST_F(ShellTest, BarsGrowWithTheDensityAndShapeTheWorkArea) {
    ASSERT_TRUE(platform::screen::Configure({240, 320, 96}));
    EXPECT_EQ(platform::shell::MenuBarHeight(), 26);
    ASSERT_TRUE(platform::screen::Configure({480, 800, 192}));
    EXPECT_EQ(platform::shell::TaskBarHeight(), 52);

    HWND window = Make(0, 0, 100, 100);
    ExpectRect(WorkAreaOf(window), 0, 52, 480, 800);
    SHMENUBARINFO info = BarInfo(window, SHCMBF_HMENU);
    ASSERT_TRUE(SHCreateMenuBar(&info));
    ExpectRect(WorkAreaOf(window), 0, 52, 480, 748);
    ASSERT_TRUE(SHFullScreen(window, SHFS_HIDETASKBAR));
    ExpectRect(WorkAreaOf(window), 0, 0, 480, 748);
    ShowWindow(info.hwndMB, SW_HIDE);
    ExpectRect(WorkAreaOf(window), 0, 0, 480, 800);
}

TEST_F(ShellTest, SettingChangesFitTheWindowToItsWorkArea) {
    HWND window = Make(0, 0, 480, 800);
    SHACTIVATEINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(platform::screen::SetOrientation(90));
    ASSERT_TRUE(SHHandleWMSettingChange(window, 0x1234, 0, &info));  // not the shell's change
    ExpectRect(RectOf(window), 0, 0, 480, 800);
    ASSERT_TRUE(SHHandleWMSettingChange(window, SETTINGCHANGE_RESET, 0, &info));
    ExpectRect(RectOf(window), 0, 52, 800, 480);
    platform::shell::SetInputPanelUp(true);
    ASSERT_TRUE(SHFullScreen(window, SHFS_HIDETASKBAR));
    ASSERT_TRUE(SHHandleWMSettingChange(window, SPI_SETSIPINFO, 0, &info));
    EXPECT_EQ(info.fSipUp, 1u);
    ExpectRect(RectOf(window), 0, 0, 800, 480);

    info.cbSize = 12;
    EXPECT_FALSE(SHHandleWMSettingChange(window, SETTINGCHANGE_RESET, 0, &info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    info.cbSize = sizeof info;
    EXPECT_FALSE(SHHandleWMSettingChange(nullptr, SETTINGCHANGE_RESET, 0, &info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(ShellTest, ActivationGivesBackTheFocusAndTheInputPanel) {
    HWND window = Make(0, 0, 480, 800);
    HWND edit = Make(10, 10, 100, 20, WS_CHILD | WS_VISIBLE, window);
    HWND other = Make(0, 0, 480, 800, 0);
    SHACTIVATEINFO info{};
    info.cbSize = sizeof info;
    SetFocus(edit);
    platform::shell::SetInputPanelUp(true);

    ASSERT_TRUE(SHHandleWMActivate(window, MAKEWPARAM(WA_INACTIVE, 0), 0, &info, 0));
    EXPECT_EQ(info.hwndLastFocus, edit);
    EXPECT_EQ(info.fSipOnDeactivation, 1u);
    EXPECT_EQ(info.fActive, 0u);

    // Meanwhile another window has the focus and the panel goes down.
    SetFocus(other);
    platform::shell::SetInputPanelUp(false);
    ASSERT_TRUE(SHHandleWMActivate(window, MAKEWPARAM(WA_ACTIVE, 0), 0, &info, 0));
    EXPECT_EQ(info.fActive, 1u);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_TRUE(platform::shell::InputPanelUp());
    EXPECT_EQ(info.fSipUp, 1u);

    // A focus window destroyed meanwhile is not given back.
    ASSERT_TRUE(SHHandleWMActivate(window, MAKEWPARAM(WA_INACTIVE, 0), 0, &info, 0));
    DestroyWindow(edit);
    SetFocus(other);
    ASSERT_TRUE(SHHandleWMActivate(window, MAKEWPARAM(WA_ACTIVE, 0), 0, &info, 0));
    EXPECT_EQ(GetFocus(), other);

    info.cbSize = 0;
    EXPECT_FALSE(SHHandleWMActivate(window, MAKEWPARAM(WA_ACTIVE, 0), 0, &info, 0));
    EXPECT_FALSE(SHHandleWMActivate(window, MAKEWPARAM(WA_ACTIVE, 0), 0, nullptr, 0));
}

}  // namespace
