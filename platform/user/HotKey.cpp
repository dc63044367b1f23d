// Hot keys of this process and the injection of key presses: the keyboard hooks see a press
// first; a press that matches a hot key becomes WM_HOTKEY; any other becomes a key message
// for the focus window of the thread in front.
#include "platform/user/HotKey.h"

#include <algorithm>

#include "platform/base/Errors.h"
#include "platform/sync/Thread.h"
#include "platform/user/KeyboardHook.h"
#include "platform/user/Message.h"
#include "platform/user/WindowState.h"
#include "platform/user/WindowTable.h"

namespace platform::user {

namespace {

constexpr UINT kModifierMask = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;

UINT ModifiersDownLocked(const WindowSystem& system) {
    const auto& down = system.keysDown;
    UINT modifiers = 0;
    if (down[VK_MENU] || down[VK_LMENU] || down[VK_RMENU]) modifiers |= MOD_ALT;
    if (down[VK_CONTROL] || down[VK_LCONTROL] || down[VK_RCONTROL]) modifiers |= MOD_CONTROL;
    if (down[VK_SHIFT] || down[VK_LSHIFT] || down[VK_RSHIFT]) modifiers |= MOD_SHIFT;
    if (down[VK_LWIN] || down[VK_RWIN]) modifiers |= MOD_WIN;
    return modifiers;
}

bool IsExtendedKey(UINT key) {
    switch (key) {
        case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
        case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        case VK_RCONTROL: case VK_RMENU: case VK_DIVIDE: case VK_NUMLOCK:
        case VK_LWIN: case VK_RWIN: case VK_APPS:
            return true;
        default:
            return false;
    }
}

// The window that takes keys: the focus window of the thread whose window is in front, or
// of the thread of this process that activated a window last; its active window when it has
// no focus.
HWND KeyTargetLocked(WindowSystem& system) {
    DWORD thread = system.inputThread;
    HWND foreground = window_table::Foreground();
    if (foreground != nullptr && IsOwnProcessHandle(foreground))
        if (auto record = FindLocked(system, foreground)) thread = record->threadId;
    auto queue = QueueOfThreadLocked(system, thread);
    if (!queue) return nullptr;
    return queue->focus != nullptr ? queue->focus : queue->active;
}

}  // namespace

}  // namespace platform::user

using namespace platform::user;

BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) {
    if ((modifiers & ~(kModifierMask | MOD_KEYUP)) != 0 || virtualKey == 0 || virtualKey > 0xFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto queue = CurrentQueue();
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    if (window != nullptr && !FindOrFailLocked(system, window)) return FALSE;
    auto& keys = system.hotKeys;
    for (const auto& key : keys) {
        bool sameEntry = key.window == window && key.id == id;
        if (!sameEntry && key.modifiers == modifiers && key.virtualKey == virtualKey) {
            SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
            return FALSE;
        }
    }
    keys.erase(std::remove_if(keys.begin(), keys.end(),
                              [&](const HotKeyRecord& key) { return key.window == window && key.id == id; }),
               keys.end());
    keys.push_back({window, id, modifiers, virtualKey, queue->ThreadId()});
    return TRUE;
}

BOOL UnregisterHotKey(HWND window, int id) {
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto& keys = system.hotKeys;
    auto found = std::find_if(keys.begin(), keys.end(),
                              [&](const HotKeyRecord& key) { return key.window == window && key.id == id; });
    if (found == keys.end()) {
        SetLastError(ERROR_HOTKEY_NOT_REGISTERED);
        return FALSE;
    }
    keys.erase(found);
    return TRUE;
}

namespace platform {

bool InjectKey(UINT virtualKey, bool down) {
    if (virtualKey == 0 || virtualKey > 0xFF) return false;
    // A keyboard hook that keeps the key: no window and no key state learns of it.
    if (RunKeyboardHooks(virtualKey, down, IsExtendedKey(virtualKey))) return true;
    WindowSystem& system = System();
    HotKeyRecord hotKey;
    bool isHotKey = false;
    HWND target = nullptr;
    bool wasDown = false;
    UINT modifiers = 0;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        wasDown = system.keysDown[virtualKey];
        system.keysDown[virtualKey] = down;
        modifiers = ModifiersDownLocked(system);
        for (const auto& key : system.hotKeys) {
            bool onRelease = (key.modifiers & MOD_KEYUP) != 0;
            if (key.virtualKey == virtualKey && (key.modifiers & kModifierMask) == modifiers && onRelease == !down) {
                hotKey = key;
                isHotKey = true;
                break;
            }
        }
        if (!isHotKey) target = KeyTargetLocked(system);
    }
    if (isHotKey) {
        LPARAM lParam = MAKELPARAM(modifiers, virtualKey);
        if (hotKey.window != nullptr) return PostMessageW(hotKey.window, WM_HOTKEY, hotKey.id, lParam) != FALSE;
        return PostThreadMessageW(hotKey.threadId, WM_HOTKEY, hotKey.id, lParam) != FALSE;
    }
    if (target == nullptr) return false;
    // Repeat count 1; bit 24 extended key, bit 30 the key was down before, bit 31 released.
    DWORD flags = 1;
    if (IsExtendedKey(virtualKey)) flags |= 1u << 24;
    if (wasDown) flags |= 1u << 30;
    if (!down) flags |= 1u << 31;
    return PostMessageW(target, down ? WM_KEYDOWN : WM_KEYUP, virtualKey, static_cast<LPARAM>(flags)) != FALSE;
}

}  // namespace platform
