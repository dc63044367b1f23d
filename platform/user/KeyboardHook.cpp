// The keyboard hook chain of this process and the core library's exports of it.
#include "platform/user/KeyboardHook.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/base/Library.h"
#include "platform/user/MessageTypes.h"

namespace {

struct HookRecord {
    HHOOK handle;
    HOOKPROC proc;
};

std::mutex chainMutex;
std::vector<HookRecord> chain;  // oldest first
ULONG_PTR nextHandle = 1;

// The hook that runs after `hook`: the next older one; null after the oldest.
HOOKPROC NextAfter(HHOOK hook) {
    std::lock_guard<std::mutex> lock(chainMutex);
    for (std::size_t i = chain.size(); i-- > 0;)
        if (chain[i].handle == hook) return i > 0 ? chain[i - 1].proc : nullptr;
    return nullptr;
}

template <class Function>
FARPROC AsProc(Function function) {
    return reinterpret_cast<FARPROC>(function);
}

}  // namespace

HHOOK SetWindowsHookExW(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId) {
    if (idHook != WH_KEYBOARD_LL || proc == nullptr || threadId != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(chainMutex);
    auto handle = reinterpret_cast<HHOOK>(nextHandle++);
    chain.push_back({handle, proc});
    SetLastError(ERROR_SUCCESS);
    return handle;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    HOOKPROC next = NextAfter(hook);
    return next != nullptr ? next(code, wParam, lParam) : 0;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    std::lock_guard<std::mutex> lock(chainMutex);
    auto found = std::find_if(chain.begin(), chain.end(), [&](const HookRecord& record) { return record.handle == hook; });
    if (found == chain.end()) {
        SetLastError(ERROR_INVALID_HOOK_HANDLE);
        return FALSE;
    }
    chain.erase(found);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

namespace platform {

bool RunKeyboardHooks(UINT virtualKey, bool down, bool extended) {
    HOOKPROC newest = nullptr;
    {
        std::lock_guard<std::mutex> lock(chainMutex);
        if (chain.empty()) return false;
        newest = chain.back().proc;
    }
    KBDLLHOOKSTRUCT key{};
    key.vkCode = virtualKey;
    key.flags = (extended ? LLKHF_EXTENDED : 0) | (down ? 0 : LLKHF_UP);
    key.time = GetTickCount();
    // Each hook passes the key on through CallNextHookEx; the chain's lock is not held while
    // a hook runs, so a hook may install or remove hooks.
    return newest(HC_ACTION, down ? WM_KEYDOWN : WM_KEYUP, reinterpret_cast<LPARAM>(&key)) != 0;
}

void RegisterCoreLibraryStandIn() {
    RegisterStandInLibrary(u"coredll.dll", {{"SetWindowsHookExW", 0, AsProc(SetWindowsHookExW)},
                                            {"CallNextHookEx", 0, AsProc(CallNextHookEx)},
                                            {"UnhookWindowsHookEx", 0, AsProc(UnhookWindowsHookEx)}});
}

}  // namespace platform
