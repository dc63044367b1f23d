// A layer on its own: selection, the pressed highlight's corners by density, which items the
// handler paints, the coordinate mappings, and scrolling with the finger: a drag that must
// not start, a pull past the top that springs back, and a fling that overshoots the bottom
// by at most three quarters of the layer and settles on it.
#include <gtest/gtest.h>

#include <algorithm>

#include "dialer/dialog/DialogContent.h"
#include "dialer/dialog/DialogEvents.h"
#include "dialer/surface/ScreenDpi.h"
#include "platform/base/Clock.h"
#include "tests/dialer/dialog/DialogTestSupport.h"

namespace {

using dialog_test::CTestPlugin;
using dialog_test::LayoutSet;
using dialog_test::PaintLog;
using dialog_test::PixelAt;
using dialog_test::Probe;
using dialog_test::Rgb565;
using XmlLayouts::CDialogContent;

class ManualClock {
public:
    explicit ManualClock(DWORD step) { platform::clock::UseManualClock(1000, 0, step); }
    ~ManualClock() { platform::clock::UseRealClock(); }
};

class DialogLayerTest : public dialog_test::DialogTest {
protected:
    // Shows the dialog in the manager and returns it, painted once.
    CInterfacePtr<CDialogContent> Show(XmlLayouts::CDialogManager* manager, LPCWSTR name,
                                       IUnknown* handler = nullptr) {
        CInterfacePtr<IDialogContent> face;
        EXPECT_EQ(manager->LoadDialog(name, handler, face.Receive()), S_OK);
        EXPECT_EQ(manager->ShowDialog(face.Get(), DIALOG_PUSH_REPLACE_TOP), S_OK);
        CInterfacePtr<CDialogContent> content = XmlLayouts::GetDialogContent(face.Get());
        manager->GetBackBuffer(false);
        return content;
    }
    static DragEventData Drag(LONG fromY, LONG toY, bool first, bool released, LONG velocity = 0) {
        DragEventData drag;
        drag.startX = 10;
        drag.startY = fromY;
        drag.previousX = 10;
        drag.previousY = fromY;
        drag.currentX = 10;
        drag.currentY = toY;
        drag.velocityY = velocity;
        drag.first = first ? 1 : 0;
        drag.released = released ? 1 : 0;
        return drag;
    }
    // The scroll positions the painted "Sheet" saw, in order.
    static std::vector<LONG> SheetScrolls() {
        std::vector<LONG> scrolls;
        for (const dialog_test::PaintRecord& record : PaintLog())
            if (record.name == u"Sheet") scrolls.push_back(record.context.sourceY);
        return scrolls;
    }
};

TEST_F(DialogLayerTest, SelectionByNameAndId) {
    Define(u"Rows", LayoutSet("", Probe("a", 0, 0, 10, 10, 0xFF) + Probe("b", 0, 10, 10, 10, 0xFF) +
                                      Probe("shy", 0, 20, 10, 10, 0xFF, R"(<Int Name="Refuse" Value="1"/>)")));
    auto manager = MakeManager(100, 100);
    CInterfacePtr<CDialogContent> content = Load(manager.Get(), u"Rows");
    CDialogLayer* layer = content->RootLayer();
    BSTR name = nullptr;
    EXPECT_EQ(layer->GetSelectedItemName(&name), S_FALSE);
    EXPECT_EQ(layer->GetSelectedItemName(nullptr), E_FAIL);
    EXPECT_EQ(layer->SelectItemByName(u"b"), S_OK);
    EXPECT_EQ(layer->SelectItemByName(u"nobody"), S_FALSE);
    EXPECT_EQ(layer->SelectItemByName(u"shy"), S_FALSE) << "its element refuses";
    ASSERT_EQ(layer->GetSelectedItemName(&name), S_OK);
    EXPECT_EQ(std::u16string(name), u"b") << "failed selections keep the current one";
    SysFreeString(name);
    EXPECT_EQ(layer->SelectItemByName(nullptr), S_OK);
    EXPECT_EQ(layer->GetSelectedItemName(&name), S_FALSE);
    EXPECT_EQ(layer->SelectItemById(-1, -1), S_FALSE) << "the last item without id or sub-id refuses";
    EXPECT_EQ(layer->SelectItemById(-1, 5), S_FALSE);
    LONG id = 0;
    EXPECT_EQ(layer->GetSelectedItemIds(&id, nullptr), E_FAIL);
}

TEST_F(DialogLayerTest, CoordinatesMapThroughPositionScrollAndOffset) {
    Define(u"Rows", LayoutSet("", Probe("a", 0, 0, 10, 300, 0xFF)));
    auto manager = MakeManager(100, 100);
    CInterfacePtr<CDialogContent> content = Load(manager.Get(), u"Rows");
    CDialogLayer* layer = content->RootLayer();
    layer->SetPosition(POINT{5, 7});
    layer->SetScroll(POINT{0, 50});
    POINT point{1, 2};
    const POINT offset{3, 4};
    layer->LayerToDialog(&point, &offset);
    EXPECT_EQ(point.x, 1 + 3 + 5);
    EXPECT_EQ(point.y, 2 + 4 + 7 - 50);
    layer->DialogToLayer(&point, &offset);
    EXPECT_EQ(point.x, 1);
    EXPECT_EQ(point.y, 2);
    POINT scroll{};
    layer->GetScroll(&scroll, &offset);
    EXPECT_EQ(scroll.y, 46);
    const RECT below{0, 180, 10, 220};
    layer->EnsureVisible(&below, nullptr);
    EXPECT_EQ(layer->Scroll().y, 120) << "brought up to the bottom edge";
    const RECT above{0, 10, 10, 20};
    layer->EnsureVisible(&above, &offset);
    EXPECT_EQ(layer->Scroll().y, 14);
    layer->SetScrollClamped(POINT{0, 500});
    EXPECT_EQ(layer->Scroll().y, 200) << "clamped to the content";
}

TEST_F(DialogLayerTest, ThePressedHighlightHasCornersByDensity) {
    SetScreenDpi(192, 192);
    // Unscaled, so that the sizes below are pixels at 192 dpi: a 40 × 40 and a 6 × 6 item.
    // The keys draw nothing themselves (opacity 0) over a black page.
    const std::string pressable = R"(<Int Name="State" Value="1"/><Int Name="Opacity" Value="0"/>)";
    Define(u"Keys", LayoutSet("", Probe("page", 0, 0, 200, 100, 0) + Probe("big", 10, 10, 40, 40, 0, pressable) +
                                      Probe("small", 60, 10, 6, 6, 0, pressable) +
                                      Probe("flat", 80, 10, 40, 40, 0, R"(<Int Name="Opacity" Value="0"/>)"),
                              "", "DontScale=\"1\""));
    auto manager = MakeManager(200, 100);
    CInterfacePtr<CDialogContent> content = Show(manager.Get(), u"Keys");
    CDialogLayer* layer = content->RootLayer();
    const auto at = [&](LONG x, LONG y) { return PixelAt(*manager->GetBackBuffer(false), x, y); };
    for (LPCWSTR name : {u"big", u"small", u"flat"}) {
        ASSERT_EQ(layer->SelectItemByName(name), S_OK);
        manager->Invalidate(TRUE);
    }
    EXPECT_EQ(at(85, 15), 0) << "an item whose state is not 1 gets no highlight";
    ASSERT_EQ(layer->SelectItemByName(u"big"), S_OK);
    manager->Invalidate(TRUE);
    const std::uint16_t full = at(30, 30);
    EXPECT_NE(full, 0);
    EXPECT_EQ(at(10, 10), 0) << "outside the rounded corner";
    EXPECT_EQ(at(11, 10), 0);
    EXPECT_NE(at(12, 10), 0) << "the corner's soft edge";
    EXPECT_NE(at(12, 10), full);
    EXPECT_EQ(at(14, 10), full) << "past the 4-pixel corner";
    EXPECT_EQ(at(49, 49), 0) << "the bottom-right corner mirrored";
    EXPECT_EQ(at(10, 14), full);
    ASSERT_EQ(layer->SelectItemByName(u"small"), S_OK);
    manager->Invalidate(TRUE);
    EXPECT_EQ(at(60, 10), full) << "too small for rounded corners";
    EXPECT_EQ(at(65, 15), full);
    EXPECT_EQ(at(30, 30), 0) << "the big key is no longer pressed";
    SetScreenDpi(kLayoutDpi, kLayoutDpi);
}

TEST_F(DialogLayerTest, TheHandlerPaintsOnlyItemsWithAnIdAndHidesOnlyThose) {
    Define(u"Mixed", LayoutSet("", R"(<Plugin Name="withId" Class="Test.Probe" ID="3" BoundRect="0,0,10,10"/>)"
                                   R"(<Plugin Name="hiddenId" Class="Test.Probe" ID="4" BoundRect="0,20,10,10"/>)" +
                                       Probe("withoutId", 0, 10, 10, 10, 0xFF) + Probe("hiddenId2", 0, 30, 10, 10, 0xFF)));
    CInterfacePtr<CTestPlugin> plugin(new CTestPlugin());
    plugin->paintsItems = true;
    // A handler's hiding reaches only the items it is asked about: those with an id.
    plugin->hidden = {u"hiddenId", u"hiddenId2"};
    auto manager = MakeManager(100, 100);
    Show(manager.Get(), u"Mixed", static_cast<IPanelPlugin*>(plugin.Get()));
    EXPECT_EQ(plugin->painted, std::vector<std::u16string>{u"withId"});
    std::vector<std::u16string> byElement;
    for (const auto& record : PaintLog()) byElement.push_back(record.name);
    EXPECT_EQ(byElement, (std::vector<std::u16string>{u"withoutId", u"hiddenId2"}));
}

TEST_F(DialogLayerTest, ADragOnAnAutoLayerWhoseContentFitsIsNotTaken) {
    Define(u"Fits", LayoutSet("<ScrollY Value=\"Auto\"/>", Probe("Sheet", 0, 0, 100, 80, 0xFF)));
    auto manager = MakeManager(100, 100);
    CInterfacePtr<CDialogContent> content = Show(manager.Get(), u"Fits");
    DragEventData drag = Drag(50, 20, true, false);
    EXPECT_EQ(content->SendEvent(DIALOG_EVENT_DRAG, 0, &drag), S_FALSE);
    EXPECT_EQ(content->RootLayer()->Scroll().y, 0);
    EXPECT_FALSE(content->RootLayer()->IsDragging());
    EXPECT_EQ(content->SendEvent(DIALOG_EVENT_DRAG_END, 0, nullptr), S_FALSE);
}

TEST_F(DialogLayerTest, APullPastTheTopSpringsBackInAboutFourHundredMilliseconds) {
    ManualClock clock(5);
    Define(u"Long", LayoutSet("<ScrollY Value=\"On\"/>", Probe("Sheet", 0, 0, 100, 500, 0xFF)));
    auto manager = MakeManager(100, 200);
    CInterfacePtr<CDialogContent> content = Show(manager.Get(), u"Long");
    CDialogLayer* layer = content->RootLayer();
    DragEventData pull = Drag(50, 80, true, false);
    EXPECT_EQ(content->SendEvent(DIALOG_EVENT_DRAG, 0, &pull), S_OK);
    EXPECT_EQ(layer->Scroll().y, -30);
    LONG mode = 0;
    content->GetCacheMode(&mode);
    EXPECT_EQ(mode, 3) << "the owner hears of the drag";
    PaintLog().clear();
    const DWORD before = GetTickCount();
    DragEventData lift = Drag(80, 80, false, true);
    EXPECT_EQ(content->SendEvent(DIALOG_EVENT_DRAG, 0, &lift), S_OK);
    const DWORD took = GetTickCount() - before;
    EXPECT_EQ(layer->Scroll().y, 0);
    EXPECT_GE(took, 360u);
    EXPECT_LE(took, 440u);
    const std::vector<LONG> scrolls = SheetScrolls();
    ASSERT_GT(scrolls.size(), 5u);
    EXPECT_TRUE(std::is_sorted(scrolls.begin(), scrolls.end())) << "it only comes back";
    EXPECT_EQ(scrolls.back(), 0);
    EXPECT_EQ(content->SendEvent(DIALOG_EVENT_DRAG_END, 0, nullptr), S_OK);
    content->GetCacheMode(&mode);
    EXPECT_EQ(mode, 0);
}

TEST_F(DialogLayerTest, AFlingOvershootsTheBottomByAtMostThreeQuartersAndSettles) {
    ManualClock clock(5);
    Define(u"Long", LayoutSet("<ScrollY Value=\"On\"/>", Probe("Sheet", 0, 0, 100, 1000, 0xFF)));
    auto manager = MakeManager(100, 200);
    CInterfacePtr<CDialogContent> content = Show(manager.Get(), u"Long");
    CDialogLayer* layer = content->RootLayer();
    layer->SetScroll(POINT{0, 700});
    DragEventData start = Drag(150, 140, true, false);
    ASSERT_EQ(content->SendEvent(DIALOG_EVENT_DRAG, 0, &start), S_OK);
    PaintLog().clear();
    DragEventData fling = Drag(140, 130, false, true, -3000);
    ASSERT_EQ(content->SendEvent(DIALOG_EVENT_DRAG, 0, &fling), S_OK);
    EXPECT_EQ(layer->Scroll().y, 800) << "settled on the bottom edge";
    const std::vector<LONG> scrolls = SheetScrolls();
    ASSERT_FALSE(scrolls.empty());
    const LONG furthest = *std::max_element(scrolls.begin(), scrolls.end());
    EXPECT_GT(furthest, 800) << "it ran on past the edge";
    EXPECT_LE(furthest, 800 + 150);
    EXPECT_EQ(scrolls.back(), 800);
}

}  // namespace
