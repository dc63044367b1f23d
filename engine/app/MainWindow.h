// The game's one full-screen window: its class and creation, full-screen switching,
// minimising, the hot keys that end or leave the game, the saved display mode, and the
// flags the window procedure keeps for the frame driver and the game.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

constexpr const WCHAR* kMainWindowClass = u"KelWClass";
constexpr const char* kMainWindowTitle = "Quorvane";

// Hot key ids. Esc is not one: it is the game's key 27 (back, cancel, the in-game menu), and
// the game decides what it does.
constexpr int kHotKeyWindows = 91;
constexpr int kHotKeyControlQ = 81;

// The display as the game found it: 1 portrait (480 x 800), 2 landscape (800 x 480).
constexpr DWORD kDisplayPortrait = 1;
constexpr DWORD kDisplayLandscape = 2;

struct MainWindowState {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HWND menuBar = nullptr;
    bool fullScreen = false;
    bool notOwned = false;  // shutdown neither destroys the window nor unregisters the class
    bool quit = false;      // set once, never cleared
    bool active = false;    // the window has the focus
    bool activated = false;
    bool penDown = false;
    bool rightButton = false;
    bool paused = false;  // toggled by WM_CANCELMODE
    SHORT lastX = 0;
    SHORT lastY = 0;
    DWORD screenAngle = 0;  // 0 or 90, set by the game: turns the arrow keys
    // Set by WM_SETTINGCHANGE: the frame driver looks at the display's orientation again
    // once the countdown (seconds) has run out.
    bool orientationCheck = false;
    float orientationCountdown = 0.0f;
    // Asks the frame driver to have the render device re-read its client rectangle.
    bool screenRectRefresh = false;
};

MainWindowState& MainWindowInfo();
HWND MainWindowHandle();

// The game ends once this is set: the window procedure passes every message on and the
// game's main loop returns.
bool IsQuitRequested();
void RequestQuit();
void SetScreenAngle(DWORD degrees);

// Registers the class, creates the window at the screen's size, makes its hidden menu bar
// and switches to full screen; the render settings take the client size. 1 / 0.
int CreateMainWindow(HINSTANCE instance);
// Destroys the window and unregisters the class, unless the window is not owned.
void DestroyMainWindow();
// True when both hot keys (the Windows key, Ctrl+Q) were registered.
bool RegisterHotKeys();
void UnregisterHotKeys();
void SetFullScreen(bool on);
// Gives the handset back to the user: hot keys off, full screen off, the window minimised
// and the desktop brought to the front.
void MinimiseApp();

// The display's current orientation as a mode: landscape for 90 and 270 degrees.
void SaveDisplayMode(DWORD& kind, RECT& rect);

// The window procedure of "KelWClass".
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The game's key code for a window key (0 when the game does not take the key).
std::int32_t TranslateGameKey(UINT virtualKey, bool extended, DWORD screenAngle);

// How the window layer asks the render device, which lives above the engine core, to
// re-read its client rectangle; bound while a render device exists.
void SetScreenRectRefresh(void (*refresh)());
void RefreshScreenRect();

// Back to the state before the window was created (tests).
void ResetMainWindowState();
