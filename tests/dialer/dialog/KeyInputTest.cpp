// Keys and characters in a dialog: the focused item's own keys and named neighbours, entry
// from an edge, the nearest item in the arrow's direction (its cone, its band, items level
// with it, costs far beyond 32 bits), going round the edge unless the dialog is an overlay,
// and typed characters reaching the items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialer/dialog/DialogContent.h"
#include "dialer/dialog/DialogHostWindow.h"
#include "dialer/dialog/FocusGeometry.h"
#include "platform/base/Clock.h"
#include "platform/screen/Display.h"
#include "platform/screen/Screen.h"
#include "platform/user/Window.h"
#include "tests/dialer/dialog/DialogTestSupport.h"
#include "tests/dialer/dialog/InputScript.h"

namespace {

using dialog_test::InputLog;
using dialog_test::LayoutSet;
using dialog_test::Probe;

constexpr LONG kLeft = 37;
constexpr LONG kUp = 38;
constexpr LONG kRight = 39;
constexpr LONG kDown = 40;
constexpr LONG kReturn = 13;

const std::string kFocusable = "<Int Name=\"State\" Value=\"1\"/>";

std::string Item(const std::string& name, int x, int y, int w, int h, const std::string& extra = "") {
    return Probe(name, x, y, w, h, 0x406080, kFocusable + extra);
}

std::string Text(const std::string& name, const std::string& value) {
    return "<String Name=\"" + name + "\" Value=\"" + value + "\"/>";
}

// A B C
// D E
// F F F
const std::string kGrid = Item("A", 10, 10, 50, 30) + Item("B", 100, 10, 50, 30) + Item("C", 190, 10, 40, 30) +
                          Item("D", 10, 100, 50, 30) + Item("E", 100, 100, 50, 30) + Item("F", 10, 200, 220, 30);

class KeyInputTest : public dialog_test::DialogTest {
protected:
    KeyInputTest() {
        platform::SetDisplaySize(240, 300);
        manager_ = MakeManager(240, 300);
        handler_.Reset(new dialog_test::CTestPlugin());
    }
    ~KeyInputTest() override { platform::SetDisplaySize(480, 800); }

    void Open(const std::string& layouts, DWORD flags = DIALOG_PUSH_REPLACE_TOP) {
        const std::u16string name = u"Dialog" + std::u16string(1, static_cast<char16_t>(u'0' + opened_++));
        Define(name, layouts);
        ASSERT_EQ(manager_->OpenDialog(name.c_str(), flags, handler_.Get()), S_OK);
    }
    XmlLayouts::CDialogContent* Top() { return manager_->Stack().GetTop().Get(); }
    // The focused item of the top dialog's active layer ("" for none).
    std::u16string Focused() {
        CDialogLayer* active = Top()->ActiveLayer();
        if (active == nullptr) active = Top()->RootLayer();
        CLayerItem* item = active->PressedItem();
        return item != nullptr ? item->name : u"";
    }
    void Focus(LPCWSTR name) {
        Top()->SetActiveLayer(Top()->RootLayer(), FALSE);
        ASSERT_EQ(Top()->RootLayer()->SelectItemByName(name), S_OK);
    }
    // Presses the keys one after the other and gives the focus after each.
    std::vector<std::u16string> Keys(std::initializer_list<LONG> keys) {
        std::vector<std::u16string> seen;
        for (LONG key : keys) {
            manager_->OnKey(key, FALSE);
            manager_->OnKey(key, TRUE);
            seen.push_back(Focused());
        }
        return seen;
    }

    CInterfacePtr<XmlLayouts::CDialogManager> manager_;
    CInterfacePtr<dialog_test::CTestPlugin> handler_;
    int opened_ = 0;
};

using Names = std::vector<std::u16string>;

TEST(FocusGeometryTest, CostsConeAndBand) {
    // From (100, 100)-(140, 140) to the right: the start point is (140, 120), the band
    // y 100-139, the apex (120, 120).
    struct Case {
        RECT item;
        bool candidate;
        LONGLONG cost;
    };
    const LONGLONG w = XmlLayouts::kForwardWeight;
    const LONGLONG outside = XmlLayouts::kOutsideBandPenalty;
    for (const Case& c : {Case{{150, 100, 170, 140}, true, 10 * w},         // ahead, in the band
                          Case{{140, 125, 160, 135}, true, 5},               // level with the start point
                          Case{{60, 100, 90, 140}, false, 0},                // behind
                          Case{{130, 100, 150, 140}, true, 0},               // overlapping the start point
                          Case{{150, 200, 170, 220}, false, 0},              // beside the cone
                          Case{{200, 150, 220, 170}, true, 60 * w + 30 + outside},
                          Case{{180, 160, 200, 180}, true, 40 * w + 40 + outside}}) {  // on the cone's edge
        XmlLayouts::FocusProbe probe;
        ASSERT_TRUE(XmlLayouts::MakeFocusProbe(RECT{100, 100, 140, 140}, POINT{}, POINT{1, 0}, &probe));
        LONGLONG cost = -1;
        EXPECT_EQ(XmlLayouts::FocusCost(probe, c.item, &cost), c.candidate)
            << c.item.left << "," << c.item.top << " " << c.item.right << "," << c.item.bottom;
        if (c.candidate) {
            EXPECT_EQ(cost, c.cost) << c.item.left << "," << c.item.top;
        }
    }
    XmlLayouts::FocusProbe none;
    EXPECT_FALSE(XmlLayouts::MakeFocusProbe(RECT{0, 0, 10, 10}, POINT{}, POINT{0, 0}, &none));
}

TEST(FocusGeometryTest, CostsFarOutInThePlaneKeepTheirOrder) {
    // Rectangles near the ends of the 32-bit plane: forward distances beyond 2^28 pixels all
    // cost alike, and nothing wraps round to a small or negative cost.
    XmlLayouts::FocusProbe probe;
    ASSERT_TRUE(XmlLayouts::MakeFocusProbe(RECT{-2000000000, -2000000000, -1999999990, -1999999990}, POINT{},
                                           POINT{0, 1}, &probe));
    LONGLONG near = 0;
    LONGLONG far = 0;
    LONGLONG farther = 0;
    ASSERT_TRUE(XmlLayouts::FocusCost(probe, RECT{-2000000000, -1999999900, -1999999990, -1999999890}, &near));
    ASSERT_TRUE(XmlLayouts::FocusCost(probe, RECT{-2000000000, 2000000000, -1999999990, 2000000010}, &far));
    ASSERT_TRUE(XmlLayouts::FocusCost(probe, RECT{-2000000000, 2147483000, -1999999990, 2147483600}, &farther));
    EXPECT_EQ(near, 90 * XmlLayouts::kForwardWeight);
    EXPECT_GT(far, near);
    EXPECT_GE(farther, far);
    EXPECT_LT(farther, XmlLayouts::kNoFocusCost);
    // Far to the side: the lateral distance is kept below one forward step.
    ASSERT_TRUE(XmlLayouts::MakeFocusProbe(RECT{-2147483000, 0, 2147483000, 10}, POINT{}, POINT{0, 1}, &probe));
    LONGLONG wide = 0;
    ASSERT_TRUE(XmlLayouts::FocusCost(probe, RECT{2147483000, 11, 2147483600, 20}, &wide));
    EXPECT_LT(wide, 2 * XmlLayouts::kForwardWeight);
}

TEST_F(KeyInputTest, ArrowsMoveToTheNearestItemAndGoRoundTheEdge) {
    Open(LayoutSet("", kGrid));
    // Nothing focused: Down comes in from above the dialog, nearest its middle.
    EXPECT_EQ(Keys({kDown}), Names{u"B"});
    EXPECT_EQ(Keys({kLeft, kDown, kDown, kRight, kUp}), (Names{u"A", u"D", u"F", u"F", u"E"}));
    // At the edge the focus goes round to the item nearest the opposite side.
    Focus(u"C");
    EXPECT_EQ(Keys({kRight, kLeft, kUp}), (Names{u"A", u"C", u"F"}));
    Focus(u"F");
    EXPECT_EQ(Keys({kDown}), Names{u"B"});
    EXPECT_EQ(manager_->Stack().Count(), 1u);
}

TEST_F(KeyInputTest, AnOverlayKeepsTheFocusInsideAndClosesOnAKeyItLeaves) {
    Open(LayoutSet("", Item("Under", 0, 0, 240, 300)));
    Open(LayoutSet("", kGrid), DIALOG_PUSH_COVER | DialogOverlay);
    ASSERT_EQ(manager_->Stack().Count(), 2u);
    Focus(u"A");
    EXPECT_EQ(Keys({kRight, kRight}), (Names{u"B", u"C"}));
    // A key the item does not use is still its own while it has the focus.
    EXPECT_EQ(Keys({'Q'}), Names{u"C"});
    EXPECT_EQ(InputLog().back(), "key C 81");
    EXPECT_EQ(manager_->Stack().Count(), 2u);
    // Past the last item: no going round; the overlay closes.
    manager_->OnKey(kRight, FALSE);
    EXPECT_EQ(manager_->Stack().Count(), 1u);
}

TEST_F(KeyInputTest, NamedNeighboursComeBeforeTheSearch) {
    Open(LayoutSet("", Item("A", 10, 10, 50, 30, Text("Right", "C") + Text("Down", "") + Text("Up", "Nobody")) +
                           Item("B", 100, 10, 50, 30) + Item("C", 190, 10, 40, 30) + Item("D", 10, 100, 50, 30) +
                           Item("E", 10, 200, 50, 30)));
    Focus(u"A");
    EXPECT_EQ(Keys({kRight}), Names{u"C"}) << "the named sibling, not the nearest one";
    Focus(u"A");
    handler_->events.clear();
    // An empty name lets the focus go; the search then takes the key from where it was.
    EXPECT_EQ(Keys({kDown}), Names{u"D"});
    std::vector<WPARAM> selections;
    for (const auto& [code, argument] : handler_->events)
        if (code == DIALOG_EVENT_SELECTION_CHANGED) selections.push_back(argument);
    EXPECT_EQ(selections, (std::vector<WPARAM>{0, 1}));
    // A name that no item has leaves the key to the search (which goes round to E).
    Focus(u"A");
    EXPECT_EQ(Keys({kUp}), Names{u"E"});
}

TEST_F(KeyInputTest, AnItemMarkedAsAnEdgeEntryTakesTheFirstKey) {
    for (const auto& [key, entry] :
         {std::pair{kDown, "IsTop"}, {kUp, "IsBottom"}, {kRight, "IsLeft"}, {kLeft, "IsRight"}}) {
        SCOPED_TRACE(entry);
        const std::string mark = "<Int Name=\"" + std::string(entry) + "\" Value=\"1\"/>";
        Open(LayoutSet("", Probe("Unfocusable", 10, 10, 50, 30, 0, mark) + Item("B", 100, 10, 50, 30) +
                               Item("E", 100, 100, 50, 30, mark) + Item("Late", 10, 200, 50, 30, mark)));
        EXPECT_EQ(Keys({key}), Names{u"E"}) << "the first focusable item so marked";
    }
}

TEST_F(KeyInputTest, ForwardDistanceOutweighsEverythingElse) {
    // From X (0, 0)-(100, 100) down: N1 is one pixel ahead but beside the band, N2 two pixels
    // ahead and straight below. One pixel forward outweighs any side distance and the band.
    Open(LayoutSet("", Item("X", 0, 0, 100, 100) + Item("N1", 101, 101, 19, 19) + Item("N2", 40, 102, 20, 18)));
    Focus(u"X");
    EXPECT_EQ(Keys({kDown}), Names{u"N1"});
    // Items far out in the plane are found in their order, and never before near ones.
    Open(LayoutSet("", Item("Y", 0, 0, 100, 100) + Item("Far", 0, 2000000000, 100, 100) +
                           Item("Near", 0, 500, 100, 50)));
    Focus(u"Y");
    EXPECT_EQ(Keys({kDown, kDown}), (Names{u"Near", u"Far"}));
}

TEST_F(KeyInputTest, TheFocusStaysWhenThereIsNothingToGoTo) {
    struct Case {
        const char* name;
        std::string general;
        std::string items;
    };
    for (const Case& c : {Case{"an item that cannot take the focus itself", "", Probe("Only", 10, 10, 50, 30, 0)},
                          Case{"a layer left out of navigation", "<NoKbdNavigation Value=\"1\"/>", kGrid}}) {
        SCOPED_TRACE(c.name);
        Open(LayoutSet(c.general, c.items));
        Focus(c.general.empty() ? u"Only" : u"F");
        const std::u16string before = Focused();
        for (LONG key : {kDown, kUp, kLeft, kRight}) {
            manager_->OnKey(key, FALSE);
            EXPECT_EQ(Focused(), before) << key;
        }
    }
}

TEST_F(KeyInputTest, EnterPressesAndReleasesTheFocusedItem) {
    Open(LayoutSet("", Item("A", 10, 10, 50, 30, "<Int Name=\"TakesPress\" Value=\"1\"/>") +
                           Item("B", 100, 10, 50, 30, "<Int Name=\"UsesKey\" Value=\"40\"/>")));
    Focus(u"A");
    manager_->OnKey(kReturn, FALSE);
    EXPECT_EQ(InputLog(), (std::vector<std::string>{"press A", "release A"}));
    // An item that uses an arrow keeps it: the focus does not move.
    Focus(u"B");
    InputLog().clear();
    EXPECT_EQ(Keys({kDown}), Names{u"B"});
    EXPECT_EQ(InputLog(), std::vector<std::string>{"key B 40"});
}

TEST_F(KeyInputTest, TypedCharactersReachTheItems) {
    platform::screen::Configure(platform::screen::DisplayGeometry{});
    dialog_test::CManualClock clock(1);
    const std::string five = Text("Key", "5") + "<Int Name=\"TakesPress\" Value=\"1\"/>";
    Define(u"KeysTop", LayoutSet("<LayerAlign Value=\"Top\"/>", Item("FiveTop", 0, 0, 100, 20, five)));
    Open(LayoutSet("", Item("Five", 10, 100, 50, 30, five) + Item("Seven", 100, 100, 50, 30, Text("Key", "789")) +
                           Probe("Listener", 0, 200, 10, 10, 0),
                   "<Layer Name=\"\" Dialog=\"Main\"/><Layer Name=\"Top\" Dialog=\"KeysTop\"/>"));
    CDialogHostWindow host(manager_.Get());
    ASSERT_NE(host.Create(nullptr, RECT{0, 0, 240, 300}, u"Keys", WS_POPUP | WS_VISIBLE), nullptr);
    // A layer's items hear a character first; then the first item whose "Key" holds it is
    // pressed (and, when it takes the press, released), in the topmost layer that has one.
    {
        dialog_test::CInputScript script(host.m_hWnd, {dialog_test::KeyPress(0, '5'), dialog_test::KeyPress(20, '8')});
        script.RunUntil(50);
    }
    EXPECT_EQ(InputLog(), (std::vector<std::string>{"press FiveTop", "release FiveTop", "press Seven"}));
    int heard = 0;
    for (const dialog_test::EventRecord& event : dialog_test::EventLog())
        if (event.who == u"Listener" && event.code == DIALOG_EVENT_CHAR) ++heard;
    EXPECT_EQ(heard, 1) << "the 8 only: the top layer took the 5";
    // A character nobody has is nobody's.
    InputLog().clear();
    manager_->OnChar(u'x');
    EXPECT_TRUE(InputLog().empty());
}

}  // namespace
