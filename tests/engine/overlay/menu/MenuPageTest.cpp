// Menu pages and the menu root: the widgets made from the controls, controls that go to a
// missing page, the events that find their scripts (every selection of a list, not only the
// first), the scripts of creation and opening, controls hidden by disabling, and the root
// behind the pages.
#include "engine/overlay/menu/MenuRoot.h"
#include "engine/overlay/widgets/EditBox.h"
#include "engine/overlay/widgets/ListBox.h"
#include "engine/overlay/widgets/ScrollBar.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "tests/engine/overlay/menu/MenuTestSupport.h"

namespace {

using menu_test::MenuTest;
using menu_test::TestPage;

TEST_F(MenuTest, ControlsBecomeWidgetsAndDeadGotosAreDisabled) {
    WriteMenuFile("Main.menu", "Main\n{\nCLASS PlainPage\n}\n");
    WriteMenuFile("Page.menu",
                  "Page\n{\nCLASS PlainPage\n"
                  "BUTTON\n{\nNAME GOOD\nPOS 10 20\nSIZE 100 40\nTEXT KEY\nON_CLICK GOTO main\n}\n"
                  "BUTTON\n{\nNAME DEAD\nALIGNTO BOTTOM\nON_CLICK GOTO Nowhere DO Note\n}\n"
                  "STATIC_TEXT\n{\nNAME LABEL\nPOS 0 0\nSIZE 50 10\nTEXT KEY\nCOLOR [0 1 0 1]\n}\n"
                  "STATIC_IMAGE\n{\nNAME PICTURE\nSIZE 50 10\n}\n"
                  "EMPTY_CONTROL\n{\nNAME NOTHING\n}\n"
                  "CHECKBUTTON\n{\nNAME CHECK\nON_SELECTCHANGE Note selection\n}\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    MenuPage* page = Menus().FindPage("Page");
    ASSERT_NE(page, nullptr);
    auto* good = dynamic_cast<Button*>(page->FindControlByName("good"));
    auto* dead = dynamic_cast<Button*>(page->FindControlByName("DEAD"));
    ASSERT_NE(good, nullptr);
    ASSERT_NE(dead, nullptr);
    EXPECT_EQ(good->id, 1024u);
    EXPECT_EQ(good->parent, page);
    EXPECT_FLOAT_EQ(good->x, 10.0f);
    EXPECT_FLOAT_EQ(dead->y, 70.0f);
    EXPECT_TRUE(IsWindowEnabled(good));
    EXPECT_FALSE(IsWindowEnabled(dead)) << "its page does not exist";
    EXPECT_NE(good->flags & kButtonCaption, 0u);
    EXPECT_EQ(dead->flags & kButtonCaption, 0u);
    auto* label = dynamic_cast<StaticText*>(page->FindControlByName("LABEL"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(IsWindowEnabled(label));
    EXPECT_EQ(label->colour, 0xFF00FF00u);
    auto* picture = dynamic_cast<StaticImage*>(page->FindControlByName("PICTURE"));
    ASSERT_NE(picture, nullptr);
    EXPECT_NE(picture->image, nullptr);
    Control* nothing = page->FindControlByName("NOTHING");
    ASSERT_NE(nothing, nullptr);
    EXPECT_EQ(nothing->flags & kControlShown, 0u);
    EXPECT_EQ(page->FindControlByName("MISSING"), nullptr);

    // Clicking the dead button's script by hand: -1, the page stays open.
    EXPECT_EQ(page->Notify(1, dead->id, 1, -1), -1);
    EXPECT_EQ(Menus().pending, nullptr);
    EXPECT_TRUE(TestPage::Log().empty());
    // The good one makes "Main" pending and closes the page with result 0.
    page->flags |= kControlModal | kControlShown;
    page->modalResult = 9;
    EXPECT_EQ(page->Notify(1, good->id, 1, -1), 0);
    EXPECT_EQ(Menus().pending, Menus().FindPage("Main"));
    EXPECT_EQ(page->flags & (kControlModal | kControlShown), 0u);
    EXPECT_EQ(page->modalResult, 0);
}

TEST_F(MenuTest, ToggleButtonsListBoxesAndEditBoxesAreMadeFromTheirDescriptions) {
    WriteMenuFile("Page.menu", "Page\n{\nCLASS PlainPage\n"
                               "TOGGLEBUTTON\n{\nNAME TOGGLE\nPOS 10 20\nSIZE 100 40\nTEXT OFF LOW HIGH\nTOOLTIP T0 T1\n}\n"
                               "TEXTLISTBOX\n{\nNAME LIST\nPOS 10 80\nSIZE 300 180\nTEXT ONE TWO THREE\n}\n"
                               "EDIT\n{\nNAME EDIT\nPOS 10 300\nSIZE 200 30\nTEXT NAME\n}\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    MenuPage* page = Menus().FindPage("Page");
    ASSERT_NE(page, nullptr);
    auto* toggle = dynamic_cast<ToggleButton*>(page->FindControlByName("TOGGLE"));
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->StateCount(), 3);
    EXPECT_EQ(toggle->current, 0);
    ASSERT_NE(toggle->text.key, nullptr) << "the first state's caption is shown";
    EXPECT_STREQ(toggle->text.key->Text(), "OFF");
    ASSERT_NE(toggle->GetTooltip()->key, nullptr);
    EXPECT_STREQ(toggle->GetTooltip()->key->Text(), "T0");
    auto* list = dynamic_cast<TextListBox*>(page->FindControlByName("LIST"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->ItemCount(), 3);
    EXPECT_EQ(list->visibleCount, 6);
    EXPECT_EQ(list->scrollBar->maximum, 0) << "all items fit";
    auto* edit = dynamic_cast<EditBox*>(page->FindControlByName("EDIT"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->flags & 0x1800u, 0x1800u) << "centred both ways by default";
    EXPECT_EQ(edit->maximumLength, 128u);
}

TEST_F(MenuTest, AChangeOfSelectionFindsItsScriptForEveryItem) {
    WriteMenuFile("Page.menu", "Page\n{\nCLASS PlainPage\nBUTTON\n{\nON_SELECTCHANGE Note change\n"
                               "ON_SELECT Note confirm\n}\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    MenuPage* page = Menus().FindPage("Page");
    struct Case {
        std::int32_t kind;
        const char* logged;
    };
    const Case cases[] = {
        {(0 << 16) | 1, "Page Note change 0"},
        {(3 << 16) | 1, "Page Note change 0"},
        {(200 << 16) | 1, "Page Note change 0"},
        {2, "Page Note confirm 0"},
        {(1 << 16) | 2, "Page Note confirm 0"},
        {3, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        TestPage::Log().clear();
        page->Notify(1, 1024, c.kind, 0);
        if (c.logged == nullptr) {
            EXPECT_TRUE(TestPage::Log().empty());
        } else {
            EXPECT_EQ(TestPage::Log(), (std::vector<std::string>{c.logged}));
        }
    }
    // A report with another code or for another control is not the page's.
    TestPage::Log().clear();
    page->Notify(2, 1024, 1, 0);
    page->Notify(1, 1025, 1, 0);
    EXPECT_TRUE(TestPage::Log().empty());
}

TEST_F(MenuTest, CreationScriptsRunOnceAndOpeningScriptsEachTime) {
    WriteMenuFile("Page.menu", "Page\n{\nCLASS PlainPage\nEMPTY_CONTROL\n{\nON_CREATE Note made\nON_INIT Note opened\n}\n"
                               "EMPTY_CONTROL\n{\nON_INIT Close 7\n}\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    EXPECT_EQ(TestPage::Log(), (std::vector<std::string>{"Page Note made -1"}));
    MenuPage* page = Menus().FindPage("Page");
    for (int run = 0; run < 2; ++run) EXPECT_EQ(page->Open(0, 0), 7);
    EXPECT_EQ(TestPage::Log(),
              (std::vector<std::string>{"Page Note made -1", "Page Note opened -1", "Page Close 7 -1",
                                        "Page Note opened -1", "Page Close 7 -1"}));
}

TEST_F(MenuTest, AHiddenControlIsDisabledAndTheFocusKeysPassIt) {
    WriteMenuFile("Page.menu", "Page\n{\nCLASS PlainPage\nBUTTON\n{\nNAME A\nSIZE 10 10\n}\nBUTTON\n{\nNAME B\n}\n"
                               "BUTTON\n{\nNAME C\n}\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    MenuPage* page = Menus().FindPage("Page");
    SetVisible(page, 1);
    Control* a = page->FindControlByName("A");
    Control* b = page->FindControlByName("B");
    Control* c = page->FindControlByName("C");
    EXPECT_EQ(HidePageControl(b), 1);
    EXPECT_EQ(HidePageControl(b), 0) << "hidden already";
    EXPECT_TRUE(IsPageControlHidden(b));
    EXPECT_NE(b->flags & kControlShown, 0u) << "still in its place";
    EXPECT_NE(b->flags & kControlDisabled, 0u);
    SetFocusWindow(a);
    a->OnKeyDown(9, 1, -1);
    EXPECT_EQ(Overlay().focus, c);
}

TEST_F(MenuTest, TheMenuRootIsHiddenAfterSetupAndCountedWhileShown) {
    struct Host : MenuRootHost {
        void UpdateScreenState() override { ++updates; }
        // The game's frame draws the overlay tree, the root with it.
        void DrawGameFrame(Canvas2D* canvas) override {
            ++frames;
            if (root != nullptr) root->Draw(canvas);
        }
        int updates = 0;
        int frames = 0;
        MenuRoot* root = nullptr;
    } host;
    OverlayManager& overlay = Overlay();
    const std::int32_t pointerBefore = overlay.pointerVisibility;
    auto* root = new MenuRoot;
    ASSERT_EQ(root->Setup(&host), 1);
    EXPECT_EQ(GetMenuRoot(), root);
    EXPECT_EQ(root->flags & kControlShown, 0u);
    EXPECT_FLOAT_EQ(root->width, 800.0f);
    EXPECT_FLOAT_EQ(root->height, 480.0f);
    EXPECT_EQ(root->parent, nullptr);
    EXPECT_EQ(overlay.root->children.tail->item, root);
    EXPECT_EQ(overlay.pointerVisibility, pointerBefore - 1);

    const std::int32_t countBefore = overlay.modalRedrawCount;
    EXPECT_EQ(SetVisible(root, 1), 1);
    EXPECT_EQ(overlay.modalRedrawCount, countBefore + 1);
    EXPECT_EQ(overlay.secondList.count, 1u);
    SetVisible(root, 0);
    EXPECT_EQ(overlay.modalRedrawCount, countBefore);
    EXPECT_EQ(overlay.secondList.count, 0u);

    // A second OnCreate: still one entry in the update list, the counter lower again.
    const std::uint32_t updatesListed = overlay.updateList.count;
    root->OnCreate();
    EXPECT_EQ(overlay.updateList.count, updatesListed);
    EXPECT_EQ(overlay.pointerVisibility, pointerBefore - 2);

    // The timer steps the game; Enter and Escape on the root notify nobody.
    Dispatch(overlay.root, 11, 16);
    EXPECT_EQ(host.updates, 1);
    SetFocusWindow(root);
    EXPECT_EQ(root->Notify(1, 0, 0, 0), 0);
    root->OnKeyDown(10, 1, -1);
    root->OnKeyDown(27, 1, -1);
    EXPECT_EQ(root->flags & kControlModal, kControlModal);
    root->Draw(overlay.canvas);
    EXPECT_EQ(host.frames, 1);
    // Drawn again from inside the frame it started, the root does not start another.
    host.root = root;
    root->Draw(overlay.canvas);
    EXPECT_EQ(host.frames, 2);
    root->Draw(overlay.canvas);
    EXPECT_EQ(host.frames, 3) << "a later frame draws again";
    root->Destroy(0);
    delete root;
    EXPECT_EQ(GetMenuRoot(), nullptr);
    EXPECT_EQ(overlay.updateList.count, updatesListed - 1);
}

}  // namespace
