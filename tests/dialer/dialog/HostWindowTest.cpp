// A dialog shown in a real window: WM_PAINT copies the manager's back buffer into the
// window's context (the screenshot shows it), a manager with nothing to paint shows "Error"
// in red on black, and a resize lays the dialog out at the window's new size.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "dialer/dialog/DialogContent.h"
#include "dialer/dialog/DialogHostWindow.h"
#include "platform/screen/Display.h"
#include "platform/screen/PngFile.h"
#include "platform/screen/Screen.h"
#include "platform/user/Window.h"
#include "tests/dialer/dialog/DialogTestSupport.h"

namespace {

using dialog_test::LayoutSet;
using dialog_test::Probe;

class HostWindowTest : public dialog_test::DialogTest {
protected:
    HostWindowTest() {
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        Define(u"Page", LayoutSet("", Probe("Top", 0, 0, 240, 100, 0x0000FF) + Probe("Rest", 0, 100, 240, 300, 0xFF8000)));
        manager_ = MakeManager(0, 0);
    }
    // Delivers what the window's queue holds, WM_PAINT included, as a message loop would.
    static void Pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    platform::screen::Image Screenshot() {
        const std::string path = root_.Path() + "/host.png";
        std::string error;
        EXPECT_TRUE(platform::screen::SaveScreenshot(path, error)) << error;
        platform::screen::Image image;
        EXPECT_TRUE(platform::screen::ReadPng(path, image));
        return image;
    }
    static bool Near(const platform::screen::Image& image, int x, int y, int red, int green, int blue) {
        const std::uint8_t* p = image.PixelAt(x, y);
        return std::abs(p[0] - red) <= 8 && std::abs(p[1] - green) <= 4 && std::abs(p[2] - blue) <= 8;
    }

    CInterfacePtr<XmlLayouts::CDialogManager> manager_;
};

TEST_F(HostWindowTest, PaintsTheDialogOrAnErrorIntoTheWindow) {
    CDialogHostWindow host(manager_.Get());
    ASSERT_NE(host.Create(nullptr, RECT{0, 0, 240, 400}, u"Dialer", WS_POPUP | WS_VISIBLE), nullptr);
    EXPECT_EQ(manager_->Window(), host.m_hWnd);
    EXPECT_EQ(manager_->Width(), 240);
    EXPECT_EQ(manager_->Height(), 400);
    InvalidateRect(host.m_hWnd, nullptr, FALSE);
    Pump();
    platform::screen::Image empty = Screenshot();
    EXPECT_TRUE(Near(empty, 5, 5, 0, 0, 0)) << "black where nothing is painted";
    int red = 0;
    for (int y = 180; y < 220; ++y)
        for (int x = 80; x < 160; ++x) red += Near(empty, x, y, 255, 0, 0) ? 1 : 0;
    EXPECT_GT(red, 20) << "the red word \"Error\" in the middle";

    ASSERT_EQ(manager_->OpenDialog(u"Page", 1, nullptr), S_OK);
    Pump();
    platform::screen::Image page = Screenshot();
    EXPECT_TRUE(Near(page, 5, 5, 255, 0, 0));
    EXPECT_TRUE(Near(page, 200, 300, 0, 128, 255));
    EXPECT_TRUE(Near(page, 300, 300, 0, 0, 0)) << "nothing outside the window";

    // A resize reaches the manager as a new size and a new layout.
    MoveWindow(host.m_hWnd, 0, 0, 200, 300, TRUE);
    Pump();
    EXPECT_EQ(manager_->Width(), 200);
    EXPECT_EQ(manager_->Height(), 300);
    CInterfacePtr<XmlLayouts::CDialogContent> top = manager_->Stack().GetTop();
    EXPECT_EQ(top->RootLayer()->Extent().cx, 200);
    EXPECT_EQ(top->RootLayer()->Extent().cy, 300);
}

}  // namespace
