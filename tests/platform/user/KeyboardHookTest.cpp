// The keyboard hooks of the core library, bound by name as a program binds them: they see
// each key handed in before any window does, in order from the newest, pass it on with
// CallNextHookEx, and a hook that answers non-zero keeps the key from the window.
#include <gtest/gtest.h>

#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/Library.h"
#include "platform/user/HotKey.h"
#include "platform/user/KeyboardHook.h"
#include "tests/platform/user/WindowTestSupport.h"

namespace {

using window_test::WindowTest;

using SetHook = HHOOK (*)(int, HOOKPROC, HINSTANCE, DWORD);
using CallNext = LRESULT (*)(HHOOK, int, WPARAM, LPARAM);
using Unhook = BOOL (*)(HHOOK);

struct Seen {
    char hook;
    WPARAM message;
    DWORD key;
    DWORD flags;
};
std::vector<Seen> seen;
HHOOK outer = nullptr;
HHOOK inner = nullptr;
CallNext callNext = nullptr;

// The older hook: records and passes on.
LRESULT InnerHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    seen.push_back({'i', wParam, key->vkCode, key->flags});
    return callNext(inner, code, wParam, lParam);
}

// The newer hook: keeps the Talk key for itself, passes the others on.
LRESULT OuterHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    seen.push_back({'o', wParam, key->vkCode, key->flags});
    if (code == HC_ACTION && key->vkCode == VK_TTALK) return 1;
    return callNext(outer, code, wParam, lParam);
}

// The key messages that reached the window's queue.
std::vector<std::pair<UINT, WPARAM>> KeyMessages() {
    std::vector<std::pair<UINT, WPARAM>> keys;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_KEYDOWN || message.message == WM_KEYUP) keys.push_back({message.message, message.wParam});
        DispatchMessageW(&message);
    }
    return keys;
}

TEST_F(WindowTest, HooksBoundFromTheCoreLibrarySeeKeysFirstAndMayKeepThem) {
    platform::RegisterCoreLibraryStandIn();
    HMODULE core = LoadLibraryW(u"coredll.dll");
    ASSERT_NE(core, nullptr);
    auto setHook = reinterpret_cast<SetHook>(GetProcAddress(core, "SetWindowsHookExW"));
    callNext = reinterpret_cast<CallNext>(GetProcAddress(core, "CallNextHookEx"));
    auto unhook = reinterpret_cast<Unhook>(GetProcAddress(core, "UnhookWindowsHookEx"));
    ASSERT_TRUE(setHook != nullptr && callNext != nullptr && unhook != nullptr);

    HWND window = Make(u"Keys");
    KeyMessages();
    ASSERT_EQ(GetFocus(), window);
    EXPECT_EQ(setHook(2, InnerHook, nullptr, 0), nullptr) << "only low-level keyboard hooks";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    inner = setHook(WH_KEYBOARD_LL, InnerHook, nullptr, 0);
    outer = setHook(WH_KEYBOARD_LL, OuterHook, nullptr, 0);
    ASSERT_NE(inner, nullptr);
    ASSERT_NE(outer, nullptr);

    seen.clear();
    ASSERT_TRUE(platform::InjectKey(VK_LEFT, true));
    ASSERT_TRUE(platform::InjectKey(VK_LEFT, false));
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].hook, 'o') << "the newest hook first";
    EXPECT_EQ(seen[1].hook, 'i');
    EXPECT_EQ(seen[0].message, WPARAM{WM_KEYDOWN});
    EXPECT_EQ(seen[0].key, DWORD{VK_LEFT});
    EXPECT_EQ(seen[0].flags, LLKHF_EXTENDED);
    EXPECT_EQ(seen[2].message, WPARAM{WM_KEYUP});
    EXPECT_EQ(seen[2].flags, LLKHF_EXTENDED | LLKHF_UP);
    EXPECT_EQ(KeyMessages(), (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, VK_LEFT}, {WM_KEYUP, VK_LEFT}}));

    // The kept key reaches neither the older hook nor the window.
    seen.clear();
    ASSERT_TRUE(platform::InjectKey(VK_TTALK, true));
    ASSERT_TRUE(platform::InjectKey(VK_TTALK, false));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].hook, 'o');
    EXPECT_EQ(seen[1].hook, 'o');
    EXPECT_TRUE(KeyMessages().empty());

    // Unhooked, the key goes to the window again; a hook cannot be removed twice.
    EXPECT_TRUE(unhook(outer));
    EXPECT_FALSE(unhook(outer));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HOOK_HANDLE);
    seen.clear();
    ASSERT_TRUE(platform::InjectKey(VK_TTALK, true));
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(KeyMessages(), (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, VK_TTALK}}));
    platform::InjectKey(VK_TTALK, false);
    KeyMessages();
    EXPECT_TRUE(unhook(inner));
    FreeLibrary(core);
    platform::UnregisterStandInLibrary(u"coredll.dll");
}

}  // namespace
