// The main window's class, creation and destruction, full screen, minimising, hot keys and
// the display mode.
#include "engine/app/MainWindow.h"

#include "engine/app/Application.h"
#include "engine/core/text/TextConversion.h"
#include "platform/device/DisplaySettings.h"
#include "platform/shell/Shell.h"
#include "platform/user/Window.h"

namespace {

MainWindowState state;
void (*screenRectRefresh)() = nullptr;

constexpr UINT kMainWindowClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_NOCLOSE;  // 0x20B
constexpr DWORD kMainWindowStyle = WS_VISIBLE | WS_CLIPCHILDREN;                          // 0x12000000
constexpr int kTitleCapacity = 512;
constexpr UINT kMenuBarToolBarId = 101;
constexpr DWORD kMenuBarFlags = SHCMBF_COLORBK | SHCMBF_HMENU;  // 24
constexpr DWORD kFullScreenOn = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;   // 0x2A
constexpr DWORD kFullScreenOff = SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_SHOWSTARTICON;  // 0x15
// Out of full screen the window leaves room for the task bar and the menu bar.
constexpr int kWindowedTop = 52;
constexpr int kWindowedBars = 104;

}  // namespace

MainWindowState& MainWindowInfo() { return state; }

HWND MainWindowHandle() { return state.window; }

bool IsQuitRequested() { return state.quit; }

void RequestQuit() { state.quit = true; }

void SetScreenAngle(DWORD degrees) { state.screenAngle = degrees; }

void SetScreenRectRefresh(void (*refresh)()) { screenRectRefresh = refresh; }

void RefreshScreenRect() {
    if (screenRectRefresh != nullptr) screenRectRefresh();
}

void ResetMainWindowState() { state = MainWindowState{}; }

void SaveDisplayMode(DWORD& kind, RECT& rect) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_DISPLAYORIENTATION;
    ChangeDisplaySettingsEx(nullptr, &mode, nullptr, CDS_TEST, nullptr);
    const bool landscape = mode.dmDisplayOrientation == DMDO_90 || mode.dmDisplayOrientation == DMDO_270;
    kind = landscape ? kDisplayLandscape : kDisplayPortrait;
    rect = RECT{0, 0, landscape ? 800 : 480, landscape ? 480 : 800};
}

bool RegisterHotKeys() {
    const bool windows = RegisterHotKey(state.window, kHotKeyWindows, MOD_WIN, VK_LWIN) != FALSE;
    const bool controlQ = RegisterHotKey(state.window, kHotKeyControlQ, MOD_CONTROL, 'Q') != FALSE;
    return windows && controlQ;
}

void UnregisterHotKeys() {
    UnregisterHotKey(state.window, kHotKeyWindows);
    UnregisterHotKey(state.window, kHotKeyControlQ);
}

void SetFullScreen(bool on) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (on) {
        if (SHFullScreen(state.window, kFullScreenOn) == FALSE) return;
        state.fullScreen = true;
        HWND sipButton = FindWindowW(u"MS_SIPBUTTON", nullptr);
        if (sipButton != nullptr) ShowWindow(sipButton, SW_HIDE);
        MoveWindow(state.window, 0, 0, width, height, TRUE);
    } else {
        if (SHFullScreen(state.window, kFullScreenOff) != FALSE) state.fullScreen = false;
        MoveWindow(state.window, 0, kWindowedTop, width, height - kWindowedBars, TRUE);
    }
}

void MinimiseApp() {
    UnregisterHotKeys();
    SetFullScreen(false);
    ShowWindow(state.window, SW_MINIMIZE);
    HWND desktop = FindWindowW(u"DesktopExplorerWindow", u"Desktop");
    if (desktop != nullptr) SetForegroundWindow(desktop);
}

int CreateMainWindow(HINSTANCE instance) {
    state.instance = instance;
    // The program configures no icon, and the render device paints the whole client area,
    // so the class needs neither an icon nor a background brush.
    WNDCLASSW windowClass{};
    windowClass.style = kMainWindowClassStyle;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassW(&windowClass);

    WCHAR title[kTitleCapacity];
    Utf8ToWide(title, kMainWindowTitle, kTitleCapacity);
    if (SHInitExtraControls() == FALSE) return 0;

    Application& application = App();
    SaveDisplayMode(application.displayKind, application.screenRect);
    HWND window = CreateWindowExW(0, kMainWindowClass, title, kMainWindowStyle, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 0;
    state.window = window;
    SetWindowTextW(window, title);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    SHMENUBARINFO menuBar{};
    menuBar.cbSize = sizeof menuBar;
    menuBar.hwndParent = window;
    menuBar.dwFlags = kMenuBarFlags;
    menuBar.nToolBarId = kMenuBarToolBarId;
    menuBar.hInstRes = instance;
    if (SHCreateMenuBar(&menuBar) != FALSE) {
        state.menuBar = menuBar.hwndMB;
        ShowWindow(state.menuBar, SW_HIDE);
    }

    SetFullScreen(true);
    UpdateWindow(window);
    SetFocus(window);
    RECT client{};
    GetClientRect(window, &client);
    Config().renderSettings.width = client.right - client.left;
    Config().renderSettings.height = client.bottom - client.top;
    return 1;
}

void DestroyMainWindow() {
    if (!state.notOwned) {
        if (state.window != nullptr) DestroyWindow(state.window);
        UnregisterClassW(kMainWindowClass, state.instance);
    }
    state.window = nullptr;
    state.menuBar = nullptr;
}
