// Binding the keyboard hook calls: only with the core library's three exports there, and
// the library is let go again on removal.
#include <gtest/gtest.h>

#include "engine/core/device/KeyboardHook.h"
#include "platform/base/Library.h"
#include "platform/user/KeyboardHook.h"

namespace {

TEST(KeyboardHookBinding, BindsTheCoreLibrarysHookCallsOnlyWhenAllThreeAreThere) {
    platform::UnregisterStandInLibrary(u"coredll.dll");
    EXPECT_EQ(InstallKeyboardHook(), 0) << "no core library";

    platform::RegisterStandInLibrary(u"coredll.dll", {{"SetWindowsHookExW", 0, reinterpret_cast<FARPROC>(SetWindowsHookExW)},
                                                      {"CallNextHookEx", 0, reinterpret_cast<FARPROC>(CallNextHookEx)}});
    EXPECT_EQ(InstallKeyboardHook(), 0) << "one call missing";
    EXPECT_EQ(GetModuleHandleW(u"coredll.dll"), nullptr) << "and the library let go";

    platform::RegisterCoreLibraryStandIn();
    EXPECT_EQ(InstallKeyboardHook(), 1);
    EXPECT_NE(GetModuleHandleW(u"coredll.dll"), nullptr);
    EXPECT_EQ(InstallKeyboardHook(), 1) << "bound once";
    RemoveKeyboardHook();
    EXPECT_EQ(GetModuleHandleW(u"coredll.dll"), nullptr);
    platform::UnregisterStandInLibrary(u"coredll.dll");
}

}  // namespace
