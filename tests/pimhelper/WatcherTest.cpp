// The watcher's choice of the window to close: the one visible "Dialog" window of this
// process other than the hidden one, or none when there are two.
#include <gtest/gtest.h>

#include "pimhelper/PellorinWnd.h"
#include "pimhelper/PhoneCmd.h"
#include "platform/user/Window.h"
#include "tests/support/TestSupport.h"

namespace {

HWND MakeDialog(bool visible) {
    return CreateWindowExW(0, u"Dialog", u"item", WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 10, 10, nullptr,
                           nullptr, nullptr, nullptr);
}

TEST(PellorinWatcher, ClosesOnlyAnUnambiguousItemWindow) {
    handset_test::TempHandsetRoot root;
    HWND hidden = MakeDialog(true);  // even of class "Dialog", the hidden window is never picked
    EXPECT_EQ(FindOwnItemWindow(hidden), nullptr);
    HWND invisible = MakeDialog(false);
    EXPECT_EQ(FindOwnItemWindow(hidden), nullptr);
    HWND item = MakeDialog(true);
    EXPECT_EQ(FindOwnItemWindow(hidden), item);
    HWND second = MakeDialog(true);
    EXPECT_EQ(FindOwnItemWindow(hidden), nullptr);
    DestroyWindow(second);
    EXPECT_EQ(FindOwnItemWindow(hidden), item);
    for (HWND window : {hidden, invisible, item}) DestroyWindow(window);
}

TEST(PellorinWatcher, TheCommandClientSendsNothingWithoutTheDialer) {
    handset_test::TempHandsetRoot root;
    CPhoneCmd client;
    EXPECT_EQ(client.FindDialerWindow(), nullptr);
    EXPECT_EQ(client.Send(3, 0), 0);
}

}  // namespace
