// The main window's procedure: touch and key messages become game events, key states and
// queued input events; focus, activation and setting changes drive the frame driver's
// flags; the hot keys end or leave the game.
#include <bit>
#include <cstdlib>

#include "engine/app/FrameDriver.h"
#include "engine/app/GameKeys.h"
#include "engine/app/GameObject.h"
#include "engine/app/InputEvents.h"
#include "engine/app/KeyStates.h"
#include "engine/app/MainWindow.h"
#include "engine/core/device/NotificationLights.h"
#include "engine/sound/SoundDevice.h"
#include "platform/base/WideString.h"
#include "platform/device/Toolhelp.h"
#include "platform/shell/Shell.h"
#include "platform/sync/Thread.h"
#include "platform/user/Window.h"

namespace {

// Bit 24 of a key message's lParam: an extended key.
constexpr LPARAM kExtendedKeyBit = LPARAM{1} << 24;

SHACTIVATEINFO activateInfo;

// The position of a mouse message: its lParam's low and high signed 16-bit halves.
SHORT PointerX(LPARAM lParam) { return static_cast<SHORT>(LOWORD(lParam)); }
SHORT PointerY(LPARAM lParam) { return static_cast<SHORT>(HIWORD(lParam)); }
// The packed position the game events carry.
LPARAM PackedPosition(SHORT x, SHORT y) { return MAKELPARAM(x, y); }

void RememberPosition(MainWindowState& state, SHORT x, SHORT y) {
    state.lastX = x;
    state.lastY = y;
}

bool HopperIsRunning() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        found = _wcsicmp(entry.szExeFile, u"hopper.exe") == 0;
    CloseToolhelp32Snapshot(snapshot);
    return found;
}

void OnHotKey(MainWindowState& state, WPARAM id) {
    if (id == static_cast<WPARAM>(kHotKeyControlQ)) {
        SetBacklight(false);
        state.quit = true;
    } else if (id == static_cast<WPARAM>(kHotKeyWindows)) {
        MinimiseApp();
        // With "hopper.exe" running, leaving the game ends it.
        if (HopperIsRunning()) {
            SetBacklight(false);
            state.quit = true;
        }
    }
}

// The pen touching (down) or leaving the screen: a game event, the position, the pointer
// event and the pen's key.
void OnPen(MainWindowState& state, LPARAM lParam, bool down) {
    const SHORT x = PointerX(lParam);
    const SHORT y = PointerY(lParam);
    state.penDown = down;
    SendGameEvent(down ? kGameEventPenDown : kGameEventPenUp, PackedPosition(x, y), 0);
    RememberPosition(state, x, y);
    PushInputEvent(kInputPointerPosition, x, y);
    PushInputEvent(down ? kInputPointerDown : kInputPointerUp, 0, 0);
    OnKeyEvent(down ? kInputKeyDown : kInputKeyUp, kPenKey, down ? 1 : 0, FrameCounter());
}

void OnPointerMove(MainWindowState& state, LPARAM lParam) {
    const SHORT x = PointerX(lParam);
    const SHORT y = PointerY(lParam);
    if (state.rightButton) {
        const int change = x - state.lastX;
        if (change != 0) {
            // The distance travels as the bits of a float in the event's second argument.
            const float distance = static_cast<float>(std::abs(change));
            SendGameEvent(change > 0 ? kGameEventSwipeRight : kGameEventSwipeLeft, PackedPosition(x, y),
                          static_cast<LPARAM>(std::bit_cast<std::uint32_t>(distance)));
        }
    } else if (state.penDown) {
        SendGameEvent(kGameEventPenMove, PackedPosition(x, y), 0);
    }
    RememberPosition(state, x, y);
    PushInputEvent(kInputPointerPosition, x, y);
}

void OnSetFocus(MainWindowState& state, HWND window) {
    RegisterHotKeys();
    SetForegroundWindow(window);
    state.active = true;
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    SetBacklight(true);
    SetFullScreen(true);
    SendGameEvent(kGameEventFocusGained, 0, 0);
}

void OnKillFocus(MainWindowState& state) {
    UnregisterHotKeys();
    SetBacklight(false);
    state.active = false;
    SendGameEvent(kGameEventFocusLost, 0, 0);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
}

void OnCancelMode(MainWindowState& state) {
    if (state.paused) {
        state.paused = false;
        SendGameEvent(kGameEventResume, 0, 0);
    } else {
        state.paused = true;
        if (SoundDevice* sound = GetSoundDevice()) sound->Reinit();
        SendGameEvent(kGameEventPause, 0, 0);
    }
}

}  // namespace

std::int32_t TranslateGameKey(UINT virtualKey, bool extended, DWORD screenAngle) {
    if (virtualKey == VK_F6) return kGameKeyF6;
    if (virtualKey == VK_F7) return kGameKeyF7;
    // The game turns its picture by the screen angle; the arrows turn with it.
    const bool turned = screenAngle == 90;
    switch (virtualKey) {
    case VK_UP:
        return turned ? kGameKeyLeft : kGameKeyUp;
    case VK_RIGHT:
        return turned ? kGameKeyUp : kGameKeyRight;
    case VK_DOWN:
        return turned ? kGameKeyRight : kGameKeyDown;
    case VK_LEFT:
        return turned ? kGameKeyDown : kGameKeyLeft;
    default:
        break;
    }
    const bool letterOrDigit = (virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= 'a' && virtualKey <= 'z') ||
                               (virtualKey >= '0' && virtualKey <= '9');
    if (letterOrDigit && !extended) return static_cast<std::int32_t>(virtualKey);
    if (virtualKey == VK_TAB && !extended) return kGameKeyTab;
    if (virtualKey == VK_ACTION) return kGameKeyAction;
    if (virtualKey == VK_SPACE) return kGameKeySpace;
    if (virtualKey == VK_ESCAPE) return kGameKeyEscape;
    if (virtualKey == VK_SHIFT || virtualKey == VK_LSHIFT) return kGameKeyShiftLeft;
    if (virtualKey == VK_RSHIFT) return kGameKeyShiftRight;
    if (virtualKey == VK_APP2) return kGameKeyApp2;
    if (virtualKey == VK_APP3) return kGameKeyApp3;
    return 0;
}

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindowState& state = MainWindowInfo();
    if (state.quit) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        // Focus and activation arrive before CreateWindowExW returns, and they need the
        // window for its hot keys and full screen.
        state.window = window;
        activateInfo = SHACTIVATEINFO{};
        activateInfo.cbSize = sizeof activateInfo;
        SetBacklight(true);
        return 0;
    case WM_DESTROY:
        SetBacklight(false);
        state.quit = true;
        return 0;
    case WM_SIZE:
        RefreshScreenRect();
        return 0;
    case WM_ACTIVATE:
        SHHandleWMActivate(window, wParam, lParam, &activateInfo, 0);
        if (LOWORD(wParam) != WA_INACTIVE) {
            state.activated = true;
            SendGameEvent(kGameEventActivated, 0, 0);
        } else {
            state.activated = false;
            SendGameEvent(kGameEventDeactivated, 0, 0);
        }
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(state, window);
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(state);
        return 0;
    case WM_PAINT:
        ValidateRect(window, nullptr);
        return 0;
    case WM_SETTINGCHANGE:
        state.orientationCheck = true;
        state.orientationCountdown = kOrientationCheckDelay;
        return 0;
    case WM_CANCELMODE:
        if (!state.orientationCheck) OnCancelMode(state);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnPen(state, lParam, true);
        return 0;
    case WM_LBUTTONUP:
        OnPen(state, lParam, false);
        return 0;
    case WM_MOUSEMOVE:
        OnPointerMove(state, lParam);
        return 0;
    case WM_RBUTTONDOWN:
        RememberPosition(state, PointerX(lParam), PointerY(lParam));
        state.rightButton = true;
        return 0;
    case WM_RBUTTONUP:
        state.rightButton = false;
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: {
        const std::int32_t key = TranslateGameKey(static_cast<UINT>(wParam), (lParam & kExtendedKeyBit) != 0,
                                                  state.screenAngle);
        if (wParam == 0 || key == 0) break;
        if (message == WM_KEYDOWN)
            OnKeyEvent(kInputKeyDown, key, 1, FrameCounter());
        else
            OnKeyEvent(kInputKeyUp, key, 0, FrameCounter());
        return 0;
    }
    case WM_HOTKEY:
        OnHotKey(state, wParam);
        return 0;
    case WM_ENTERMENULOOP:
        return 0;
    case WM_EXITMENULOOP:
        if (wParam == 0) return 0;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
