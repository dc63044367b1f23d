// ChangeDisplaySettingsEx: the orientation queries, turning the display and what the
// windows of the program hear of it.
#include <gtest/gtest.h>

#include <vector>

#include "platform/device/DisplaySettings.h"
#include "platform/screen/Display.h"
#include "platform/user/Window.h"
#include "tests/support/TestSupport.h"

namespace {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> received;

LRESULT Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({window, message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<Received> Of(HWND window, UINT message) {
    std::vector<Received> found;
    for (const auto& entry : received)
        if (entry.window == window && entry.message == message) found.push_back(entry);
    return found;
}

void PumpAll() {
    MSG message;
    for (int i = 0; i < 1000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageW(&message);
}

DEVMODEW Mode(DWORD fields, DWORD orientation = DMDO_0) {
    DEVMODEW mode{};
    mode.dmSize = sizeof(DEVMODEW);
    mode.dmFields = fields;
    mode.dmDisplayOrientation = orientation;
    return mode;
}

class DisplaySettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Recorder;
        windowClass.lpszClassName = u"DisplayRecorder";
        RegisterClassW(&windowClass);
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        received.clear();
    }
    void TearDown() override {
        for (HWND window : windows_)
            if (IsWindow(window)) DestroyWindow(window);
        PumpAll();
        platform::screen::Configure(platform::screen::DisplayGeometry{});
    }
    HWND Make(int x, int y, int width, int height) {
        HWND window = CreateWindowExW(0, u"DisplayRecorder", u"", WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                                      nullptr, nullptr);
        windows_.push_back(window);
        return window;
    }

    handset_test::TempHandsetRoot root_;
    std::vector<HWND> windows_;
};

TEST_F(DisplaySettingsTest, TestQueriesTellTheSupportedAndTheCurrentOrientation) {
    DEVMODEW supported = Mode(DM_DISPLAYQUERYORIENTATION);
    EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, &supported, nullptr, CDS_TEST, nullptr), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(supported.dmDisplayOrientation, DMDO_90 | DMDO_180 | DMDO_270);

    for (auto [degrees, orientation] : {std::pair{0, DMDO_0}, {90, DMDO_90}, {180, DMDO_180}, {270, DMDO_270}}) {
        ASSERT_TRUE(platform::screen::SetOrientation(degrees));
        DEVMODEW current = Mode(DM_DISPLAYORIENTATION, 77);
        EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, &current, nullptr, CDS_TEST, nullptr), DISP_CHANGE_SUCCESSFUL);
        EXPECT_EQ(current.dmDisplayOrientation, orientation);
        EXPECT_EQ(platform::screen::Orientation(), degrees);  // a test changes nothing
    }
}

TEST_F(DisplaySettingsTest, TurningResizesFullScreenWindowsAndTellsEveryTopLevelWindow) {
    HWND game = Make(0, 0, 480, 800);
    HWND small = Make(10, 10, 100, 100);
    received.clear();

    DEVMODEW landscape = Mode(DM_DISPLAYORIENTATION, DMDO_90);
    ASSERT_EQ(ChangeDisplaySettingsEx(nullptr, &landscape, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(platform::screen::Orientation(), 90);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    auto sizes = Of(game, WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(LOWORD(sizes[0].lParam), 800);
    EXPECT_EQ(HIWORD(sizes[0].lParam), 480);
    EXPECT_TRUE(Of(small, WM_SIZE).empty());
    RECT rect{};
    GetClientRect(small, &rect);
    EXPECT_EQ(rect.right, 100);

    PumpAll();
    for (HWND window : {game, small}) {
        auto changes = Of(window, WM_SETTINGCHANGE);
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0].wParam, SETTINGCHANGE_RESET);
    }

    // The same orientation again changes nothing, unless a reset asks for it.
    received.clear();
    EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, &landscape, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
    PumpAll();
    EXPECT_TRUE(Of(game, WM_SETTINGCHANGE).empty());
    EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, &landscape, nullptr, CDS_RESET, nullptr), DISP_CHANGE_SUCCESSFUL);
    PumpAll();
    EXPECT_EQ(Of(game, WM_SETTINGCHANGE).size(), 1u);
    EXPECT_TRUE(Of(game, WM_SIZE).empty());
}

TEST_F(DisplaySettingsTest, TheStartUpGuardTurnsTheDisplayBackToItsNativeOrientation) {
    HWND game = Make(0, 0, 800, 480);
    ASSERT_TRUE(platform::screen::SetOrientation(270));
    // Ask what is supported, read the orientation, and when it is not 0 set 0 with a reset.
    DEVMODEW mode = Mode(DM_DISPLAYQUERYORIENTATION);
    ASSERT_EQ(ChangeDisplaySettingsEx(nullptr, &mode, nullptr, CDS_TEST, nullptr), DISP_CHANGE_SUCCESSFUL);
    mode = Mode(DM_DISPLAYORIENTATION);
    ASSERT_EQ(ChangeDisplaySettingsEx(nullptr, &mode, nullptr, CDS_TEST, nullptr), DISP_CHANGE_SUCCESSFUL);
    ASSERT_EQ(mode.dmDisplayOrientation, DMDO_270);
    mode = Mode(DM_DISPLAYORIENTATION, DMDO_0);
    ASSERT_EQ(ChangeDisplaySettingsEx(nullptr, &mode, nullptr, CDS_RESET, nullptr), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(platform::screen::Size().cx, 480);
    RECT rect{};
    GetClientRect(game, &rect);
    EXPECT_EQ(rect.right, 480);
    EXPECT_EQ(rect.bottom, 800);
}

TEST_F(DisplaySettingsTest, BadRequestsFailAndChangeNothing) {
    struct Case {
        const char* what;
        bool withDeviceName;
        bool withMode;
        WORD size;
        DWORD fields;
        DWORD orientation;
        DWORD flags;
        LONG expected;
    };
    const Case cases[] = {
        {"no record", false, false, sizeof(DEVMODEW), DM_DISPLAYORIENTATION, DMDO_90, 0, DISP_CHANGE_BADPARAM},
        {"a short record", false, true, 188, DM_DISPLAYORIENTATION, DMDO_90, 0, DISP_CHANGE_BADPARAM},
        {"a device name", true, true, sizeof(DEVMODEW), DM_DISPLAYORIENTATION, DMDO_90, 0, DISP_CHANGE_BADPARAM},
        {"an unknown flag", false, true, sizeof(DEVMODEW), DM_DISPLAYORIENTATION, DMDO_90, 0x1, DISP_CHANGE_BADFLAGS},
        {"a query without CDS_TEST", false, true, sizeof(DEVMODEW), DM_DISPLAYQUERYORIENTATION, 0, 0,
         DISP_CHANGE_BADFLAGS},
        {"a resolution", false, true, sizeof(DEVMODEW), DM_DISPLAYORIENTATION | 0x00080000, DMDO_90, 0,
         DISP_CHANGE_BADMODE},
        {"no fields", false, true, sizeof(DEVMODEW), 0, DMDO_90, 0, DISP_CHANGE_BADMODE},
        {"an unknown orientation", false, true, sizeof(DEVMODEW), DM_DISPLAYORIENTATION, 3, 0, DISP_CHANGE_BADMODE},
    };
    for (const Case& test : cases) {
        DEVMODEW mode = Mode(test.fields, test.orientation);
        mode.dmSize = test.size;
        LONG result = ChangeDisplaySettingsEx(test.withDeviceName ? u"\\\\.\\DISPLAY2" : nullptr,
                                              test.withMode ? &mode : nullptr, nullptr, test.flags, nullptr);
        EXPECT_EQ(result, test.expected) << test.what;
        EXPECT_EQ(platform::screen::Orientation(), 0) << test.what;
    }
}

}  // namespace
