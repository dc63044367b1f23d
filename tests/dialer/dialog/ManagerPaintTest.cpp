// The manager's painting: nothing to paint, the cached picture beneath an overlay, handing
// out and detaching the back buffer, rendering another content off screen without leaving it
// on the window, repainting one object, copying to a device context through a clip, and the
// profiler's scopes around all of it.
#include <gtest/gtest.h>

#include "dialer/dialog/DialogContent.h"
#include "dialer/dialog/DialogManager.h"
#include "dialer/surface/SurfaceDrawing.h"
#include "platform/gdi/GdiObject.h"
#include "platform/user/Window.h"
#include "tests/dialer/dialog/DialogTestSupport.h"

namespace {

using dialog_test::LayoutSet;
using dialog_test::PaintLog;
using dialog_test::PixelAt;
using dialog_test::ProfilerLog;
using dialog_test::Probe;
using dialog_test::Rgb565;
using XmlLayouts::CDialogManager;

constexpr unsigned kRed = 0x0000FF;
constexpr unsigned kBlue = 0xFF0000;
constexpr unsigned kGreen = 0x00FF00;

class ManagerPaintTest : public dialog_test::DialogTest {
protected:
    ManagerPaintTest() {
        Define(u"Red", LayoutSet("", Probe("Red", 0, 0, 100, 100, kRed)));
        Define(u"Blue", LayoutSet("", Probe("Blue", 0, 0, 100, 100, kBlue)));
        Define(u"Popup", LayoutSet("", Probe("Popup", 20, 20, 60, 60, kGreen)));
        Define(u"Pair", LayoutSet("", Probe("one", 0, 0, 50, 100, kRed) + Probe("two", 50, 0, 50, 100, kBlue)));
        manager_ = MakeManager(100, 100);
    }
    int PaintsOf(const std::u16string& name) {
        int count = 0;
        for (const auto& record : PaintLog()) count += record.name == name ? 1 : 0;
        return count;
    }
    std::uint16_t BackBufferAt(LONG x, LONG y) { return PixelAt(*manager_->GetBackBuffer(false), x, y); }

    CInterfacePtr<CDialogManager> manager_;
};

TEST_F(ManagerPaintTest, NoContentPaintsNothing) {
    ProfilerLog().clear();
    CSharedSurface buffer;
    CSharedSurface underlay;
    EXPECT_FALSE(manager_->ProcessPaint(&buffer, &underlay, nullptr));
    EXPECT_FALSE(buffer) << "the back buffer is left as it was";
    EXPECT_TRUE(manager_->NeedsRepaint());
    EXPECT_FALSE(manager_->GetBackBuffer(false));
    HBITMAP bitmap = nullptr;
    EXPECT_EQ(manager_->GetBackBufferBitmap(&bitmap, FALSE), E_FAIL);
    EXPECT_EQ(manager_->GetBackBufferBitmap(nullptr, FALSE), E_INVALIDARG);
    EXPECT_EQ(ProfilerLog().front(), u"+CDialogManager::ProcessPaint");
    EXPECT_EQ(ProfilerLog().back(), u"-CDialogManager::ProcessPaint") << "closed on the way out too";
}

TEST_F(ManagerPaintTest, ProfilerScopesNestAndClose) {
    ASSERT_EQ(manager_->OpenDialog(u"Pair", 1, nullptr), S_OK);
    ProfilerLog().clear();
    EXPECT_TRUE(manager_->Invalidate(TRUE));
    EXPECT_EQ(ProfilerLog(), (std::vector<std::u16string>{
                                 u"+CDialogManager::ProcessPaint", u"+XmlLayouts::CDialogContent::Paint",
                                 u"+CDialogContent::Layer", u"-CDialogContent::Layer",
                                 u"-XmlLayouts::CDialogContent::Paint", u"-CDialogManager::ProcessPaint"}));
}

TEST_F(ManagerPaintTest, TheDialogBeneathAnOverlayIsPaintedOnceWhileTheSizeStays) {
    ASSERT_EQ(manager_->OpenDialog(u"Red", 1, nullptr), S_OK);
    ASSERT_EQ(manager_->OpenDialog(u"Popup", 3 | DialogOverlay, nullptr), S_OK);
    PaintLog().clear();
    ASSERT_TRUE(manager_->Invalidate(TRUE));
    EXPECT_EQ(PaintsOf(u"Red"), 1);
    EXPECT_EQ(BackBufferAt(5, 5), Rgb565(kRed));
    EXPECT_EQ(BackBufferAt(50, 50), Rgb565(kGreen));
    ASSERT_TRUE(manager_->Invalidate(TRUE));
    EXPECT_EQ(PaintsOf(u"Red"), 1) << "the picture beneath is cached";
    EXPECT_EQ(PaintsOf(u"Popup"), 2);
    EXPECT_EQ(BackBufferAt(5, 5), Rgb565(kRed));

    XmlLayouts::SetDialogSize(manager_.Get(), SIZE{120, 100}, true);
    ASSERT_TRUE(manager_->Invalidate(TRUE));
    EXPECT_EQ(PaintsOf(u"Red"), 2) << "a new size takes a new picture";

    // Without an overlay on top the picture beneath is let go.
    ASSERT_EQ(manager_->OpenDialog(u"Blue", 1, nullptr), S_OK);
    ASSERT_TRUE(manager_->Invalidate(TRUE));
    EXPECT_EQ(BackBufferAt(5, 5), Rgb565(kBlue));
}

TEST_F(ManagerPaintTest, ADetachedBackBufferBelongsToTheCaller) {
    ASSERT_EQ(manager_->OpenDialog(u"Red", 1, nullptr), S_OK);
    CSharedSurface first = manager_->GetBackBuffer(false);
    ASSERT_TRUE(first);
    HBITMAP kept = nullptr;
    ASSERT_EQ(manager_->GetBackBufferBitmap(&kept, TRUE), S_OK);
    ASSERT_NE(kept, nullptr);
    EXPECT_TRUE(first->IsEmpty()) << "the surface gave its bitmap away";
    CSharedSurface next = manager_->GetBackBuffer(false);
    ASSERT_TRUE(next);
    EXPECT_NE(next.Get(), first.Get()) << "the next paint makes a new back buffer";
    EXPECT_EQ(PixelAt(*next, 5, 5), Rgb565(kRed));
    CDibSurface adopted;
    ASSERT_TRUE(AdoptSurfaceBitmap(adopted, kept, true));
    EXPECT_EQ(PixelAt(adopted, 5, 5), Rgb565(kRed));
}

TEST_F(ManagerPaintTest, RenderingAnotherContentLeavesTheWindowToThePageOnTop) {
    ASSERT_EQ(manager_->OpenDialog(u"Red", 1, nullptr), S_OK);
    manager_->GetBackBuffer(false);
    CInterfacePtr<IDialogContent> blue;
    ASSERT_EQ(manager_->LoadDialog(u"Blue", nullptr, blue.Receive()), S_OK);
    ASSERT_EQ(manager_->RelayoutDialog(blue.Get()), S_OK);

    HBITMAP own = nullptr;
    ASSERT_EQ(manager_->RenderContent(blue.Get(), &own, TRUE), S_OK);
    CDibSurface separate;
    ASSERT_TRUE(AdoptSurfaceBitmap(separate, own, true));
    EXPECT_EQ(PixelAt(separate, 5, 5), Rgb565(kBlue));
    EXPECT_EQ(BackBufferAt(5, 5), Rgb565(kRed)) << "a separate render leaves the back buffer alone";

    HBITMAP shared = nullptr;
    ASSERT_EQ(manager_->RenderContent(blue.Get(), &shared, FALSE), S_OK);
    EXPECT_EQ(shared, manager_->GetBackBuffer(false)->GetBitmap()) << "handed out the manager's own bitmap";
    // The window is painted from the back buffer: it must show the page on top again.
    CDibSurface screen;
    ASSERT_TRUE(CreateDibSurface(screen, 100, 100, DIB_FORMAT_RGB565));
    ASSERT_TRUE(manager_->Paint(screen.SelectIntoMemoryDC(), POINT{0, 0}, nullptr));
    EXPECT_EQ(PixelAt(screen, 5, 5), Rgb565(kRed));
    EXPECT_EQ(manager_->RenderContent(nullptr, &shared, FALSE), E_FAIL);
}

TEST_F(ManagerPaintTest, RepaintingAnObjectPaintsOnlyItsItemsAndInvalidatesItsRectangle) {
    HWND window = dialog_test::MakeWindow(u"RepaintWindow", 100, 100);
    manager_->SetWindow(window);
    ASSERT_EQ(manager_->OpenDialog(u"Pair", 1, nullptr), S_OK);
    manager_->GetBackBuffer(false);
    ValidateRect(window, nullptr);
    CInterfacePtr<XmlLayouts::CDialogContent> top = manager_->Stack().GetTop();
    ILayoutElement* two = top->RootLayer()->Arranged()->At(1)->element.Get();
    PaintLog().clear();
    const RECT rect{50, 0, 100, 100};
    EXPECT_EQ(manager_->RepaintObject(two, FALSE, &rect), S_OK);
    ASSERT_EQ(PaintLog().size(), 1u);
    EXPECT_EQ(PaintLog().front().name, u"two");
    EXPECT_EQ(PaintLog().front().context.mode, 0);
    EXPECT_EQ(PaintLog().front().context.fullRepaint, 0);
    RECT dirty{};
    ASSERT_TRUE(GetUpdateRect(window, &dirty, FALSE));
    EXPECT_EQ(dirty.left, 50);
    EXPECT_EQ(dirty.right, 100);
    manager_->SetWindow(nullptr);
    DestroyWindow(window);
}

TEST_F(ManagerPaintTest, PaintCopiesThroughTheClip) {
    ASSERT_EQ(manager_->OpenDialog(u"Pair", 1, nullptr), S_OK);
    CDibSurface screen;
    ASSERT_TRUE(CreateDibSurface(screen, 200, 200, DIB_FORMAT_RGB565));
    FillRectRGB565(screen, 0, 0, 200, 200, kGreen, 255);
    const RECT outside{150, 150, 200, 200};
    EXPECT_TRUE(manager_->Paint(screen.SelectIntoMemoryDC(), POINT{0, 0}, &outside));
    EXPECT_EQ(PixelAt(screen, 10, 10), Rgb565(kGreen)) << "nothing copied";
    const RECT right{60, 0, 200, 200};
    EXPECT_TRUE(manager_->Paint(screen.SelectIntoMemoryDC(), POINT{0, 0}, &right));
    EXPECT_EQ(PixelAt(screen, 10, 10), Rgb565(kGreen));
    EXPECT_EQ(PixelAt(screen, 70, 10), Rgb565(kBlue));
    EXPECT_EQ(PixelAt(screen, 110, 10), Rgb565(kGreen)) << "the dialog is 100 wide";
}

}  // namespace
