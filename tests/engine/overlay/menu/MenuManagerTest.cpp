// The menu manager: loading every menu file into pages, inheritance between page files and
// its cycles, the shared style cache, finding pages and types, the history, and running a
// chain of pages until one returns a command.
#include "engine/overlay/menu/MenuStyle.h"
#include "tests/engine/support/EngineTestSupport.h"
#include "tests/engine/overlay/menu/MenuTestSupport.h"

namespace {

using menu_test::MenuTest;
using menu_test::PlainPage;
using menu_test::TestPage;

// The names of the page's controls in id order, with their ids.
std::vector<std::string> ControlNames(const PageDescription& description) {
    std::vector<std::string> names;
    for (KDLLink* link = description.controls.head; link != nullptr; link = link->next) {
        auto* control = static_cast<ControlDescription*>(link->item);
        names.push_back(std::string(control->name.Text()) + "=" + std::to_string(control->id));
    }
    return names;
}

TEST_F(MenuTest, PagesInheritTagsAndControlsAndShareOneStyle) {
    WriteMenuFile("Base.menu", "Base\n{\nCLASS PlainPage\nSTYLE Shared\nBACK Main\nEMPTY_CONTROL\n{\nNAME P\n}\n"
                               "EMPTY_CONTROL\n{\nNAME Q\n}\n}\n");
    WriteMenuFile("Page.menu", "Page\n{\nINHERIT base\nEMPTY_CONTROL\n{\nNAME R\n}\n}\n");
    WriteMenuFile("Own.menu", "Own\n{\nINHERIT Page\nSTYLE shared\nCLASS defaultmenupage\n}\n");
    WriteMenuFile("Main.menu", "Main\n{\nCLASS DefaultMenuPage\nSTYLE Theme\n}\n");
    WriteMenuFile("Shared.menustyle", "Shared\n{\nCOLORS\n{\nBLUE [0 0 1 1]\n}\n}\n");
    Menus().themeName = EngineString("SHARED");
    ASSERT_EQ(Menus().LoadMenus(), 1);

    ASSERT_EQ(Menus().descriptions.count, 4u);
    const PageDescription* page = Menus().FindPageDescription("page");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ControlNames(*page), (std::vector<std::string>{"R=1024", "P=1025", "Q=1026"}));
    EXPECT_STREQ(page->className.Text(), "PlainPage");
    EXPECT_STREQ(page->backName.Text(), "Main");
    const PageDescription* own = Menus().FindPageDescription("OWN");
    EXPECT_EQ(ControlNames(*own), (std::vector<std::string>{"R=1024", "P=1025", "Q=1026"}));
    // One style for every spelling of its name, the theme's included.
    EXPECT_EQ(Menus().styles.count, 1u);
    EXPECT_EQ(page->style, own->style);
    EXPECT_EQ(Menus().FindPageDescription("Main")->style, page->style);
    EXPECT_FLOAT_EQ(page->style->FindColor("BLUE").b, 1.0f);

    // A CLASS that differs only in case is no registered type: the default one stands in.
    EXPECT_NE(dynamic_cast<PlainPage*>(Menus().FindPage("Page")), nullptr);
    MenuPage* fallback = Menus().FindPage("Own");
    EXPECT_EQ(dynamic_cast<PlainPage*>(fallback), nullptr);
    EXPECT_NE(dynamic_cast<TestPage*>(fallback), nullptr);
    EXPECT_STREQ(fallback->backName.Text(), "Main");
    EXPECT_NE(Menus().FindPageType("PlainPage"), nullptr);
    EXPECT_EQ(Menus().FindPageType("plainpage"), nullptr);
    // The pages are hidden top-level widgets with one child per control.
    EXPECT_EQ(fallback->parent, nullptr);
    EXPECT_EQ(fallback->flags & kControlShown, 0u);
    EXPECT_EQ(fallback->children.count, 3u);
}

TEST_F(MenuTest, InheritanceThatLoopsOrLeadsNowhereFailsTheLoad) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        const char* logged;
    };
    const Case cases[] = {
        {"a page inheriting itself",
         {{"A.menu", "A\n{\nINHERIT a\nCLASS PlainPage\n}\n"}},
         "menus/A.menu: INHERIT leads back to \"A\""},
        {"a cycle of three",
         {{"A.menu", "A\n{\nINHERIT B\nCLASS PlainPage\n}\n"},
          {"B.menu", "B\n{\nINHERIT C\n}\n"},
          {"C.menu", "C\n{\nINHERIT A\n}\n"}},
         "menus/A.menu: INHERIT leads back to \"A\""},
        {"a missing base",
         {{"A.menu", "A\n{\nINHERIT Nowhere\nCLASS PlainPage\n}\n"}},
         "menus/A.menu: INHERIT names \"Nowhere\", which is no page"},
        {"an empty INHERIT", {{"A.menu", "A\n{\nINHERIT \"\"\nCLASS PlainPage\n}\n"}}, "INHERIT names no page"},
        {"no CLASS", {{"A.menu", "A\n{\n}\n"}}, "menus/A.menu names no CLASS"},
        {"an unreadable file", {{"A.menu", "A\n{\n"}}, "no CLASS"},
        {"an invalid script",
         {{"A.menu", "A\n{\nCLASS PlainPage\nBUTTON\n{\nON_CLICK RETURN\n}\n}\n"}},
         "menus/A.menu does not read as a menu page"},
        {"an unknown control", {{"A.menu", "A\n{\nCLASS PlainPage\nSLIDER\n{\n}\n}\n"}}, "cannot be made"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine_test::CapturedLog log;
        std::filesystem::remove_all(root_.Path() + "/fs/data/menus");
        std::filesystem::create_directories(root_.Path() + "/fs/data/menus");
        for (const auto& [name, text] : c.files) WriteMenuFile(name, text);
        EXPECT_EQ(Menus().LoadMenus(), 0);
        EXPECT_TRUE(log.Contains(c.logged)) << log.Text();
        for (KDLLink* link = Menus().descriptions.head; link != nullptr; link = link->next)
            EXPECT_EQ(static_cast<PageDescription*>(link->item)->parsing, 0u) << "no description is left half-walked";
        Menus().Shutdown();
    }
}

// Nodes nested inside a control are copied by inheritance and freed without recursion, so
// a file decides nothing about the depth of the stack.
TEST_F(MenuTest, DeeplyNestedNodesAreInheritedWithoutRecursion) {
    constexpr int kDepth = 20000;
    std::string base = "Base\n{\nCLASS PlainPage\nEMPTY_CONTROL\n{\nNAME DEEP\n";
    for (int i = 0; i < kDepth; ++i) base += "N\n{\n";
    base += "LEAF 1\n";
    WriteMenuFile("Base.menu", base);  // the end of the text closes every open node
    WriteMenuFile("Page.menu", "Page\n{\nINHERIT Base\n}\n");
    engine_test::CapturedLog log;
    ASSERT_EQ(Menus().LoadMenus(), 1) << log.Text();
    const PageDescription* page = Menus().FindPageDescription("Page");
    ASSERT_EQ(page->controls.count, 1u);
    const TagFile* node = page->tree->FindChild("EMPTY_CONTROL");
    int depth = 0;
    while (node != nullptr && node->children.head != nullptr) {
        node = static_cast<const TagFile*>(node->children.head->item);
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_NE(const_cast<TagFile*>(node)->FindTag("LEAF"), nullptr);
}

TEST_F(MenuTest, TheHistoryRecordsEachPageOnceAndGoesBack) {
    WriteMenuFile("Main.menu", "Main\n{\nCLASS PlainPage\n}\n");
    WriteMenuFile("WorldSelect.menu", "WorldSelect\n{\nCLASS PlainPage\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    MenuManager& menus = Menus();
    MenuPage* main = menus.FindPage("Main");
    MenuPage* world = menus.FindPage("worldselect");
    ASSERT_NE(world, nullptr);

    EXPECT_EQ(menus.GotoPage("Main", 1), 1);
    EXPECT_EQ(menus.GotoPage("MAIN", 1), 1);
    EXPECT_EQ(menus.history.count, 1u);
    EXPECT_EQ(menus.GotoPage("WorldSelect", 0), 1);
    EXPECT_EQ(menus.history.count, 1u);
    menus.OpenPage(world);
    menus.OpenPage(world);
    EXPECT_EQ(menus.history.count, 2u);
    EXPECT_EQ(menus.pending, world);
    menus.GoBack();
    EXPECT_EQ(menus.pending, main);
    menus.GoBack();
    EXPECT_EQ(menus.pending, nullptr);
    menus.GoBack();
    EXPECT_EQ(menus.pending, nullptr);
    EXPECT_EQ(menus.GotoPage("Main", 1), 1);
    EXPECT_EQ(menus.GotoPage("Nowhere", 1), 0);
    EXPECT_EQ(menus.pending, nullptr) << "a missing page clears what was pending";
    EXPECT_EQ(menus.history.count, 1u);
    menus.ClearHistory();
    EXPECT_EQ(menus.history.count, 0u);
}

TEST_F(MenuTest, PendingPagesRunUntilOneReturnsACommand) {
    // Each page acts as it opens: A goes to B, B records a command and returns START.
    WriteMenuFile("A.menu", "A\n{\nCLASS PlainPage\nEMPTY_CONTROL\n{\nON_INIT GOTO B DO Note x\n}\n}\n");
    WriteMenuFile("B.menu", "B\n{\nCLASS PlainPage\nEMPTY_CONTROL\n{\nON_INIT RETURN START\n}\n}\n");
    WriteMenuFile("C.menu", "C\n{\nCLASS PlainPage\nEMPTY_CONTROL\n{\nON_INIT GOBACK\n}\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    MenuManager& menus = Menus();
    EXPECT_EQ(menus.ProcessPendingPage(), -1) << "nothing pending, nothing run";

    menus.ClearHistory();
    ASSERT_EQ(menus.GotoPage("A", 1), 1);
    EXPECT_EQ(menus.ProcessPendingPage(), 4097);
    EXPECT_EQ(TestPage::Log(), (std::vector<std::string>{"A Note x -1"}));
    EXPECT_EQ(menus.current, nullptr);
    EXPECT_EQ(menus.previous, menus.FindPage("B"));
    EXPECT_EQ(menus.history.count, 2u);
    EXPECT_EQ(menus.busy, 0u);
    EXPECT_EQ(menus.ProcessPendingPage(), -1) << "the next call with nothing pending";

    // GOBACK with one page in the history and no back page closes it and leaves no page.
    menus.ClearHistory();
    ASSERT_EQ(menus.GotoPage("C", 1), 1);
    EXPECT_EQ(menus.ProcessPendingPage(), 0);
    EXPECT_EQ(menus.current, nullptr);
    EXPECT_EQ(menus.pending, nullptr);
}

TEST_F(MenuTest, ShutdownFreesEverythingAndTheMenusLoadAgain) {
    WriteMenuFile("A.menu", "A\n{\nCLASS PlainPage\nSTATIC_TEXT\n{\nTEXT KEY\n}\n}\n");
    const std::size_t widgetsBefore = Overlay().widgets.count;
    const std::size_t brushesBefore = Overlay().brushes.count;
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(Menus().LoadMenus(), 1);
        EXPECT_EQ(Menus().pages.count, 1u);
        ASSERT_EQ(Menus().GotoPage("A", 1), 1);
        Menus().Shutdown();
        EXPECT_EQ(Menus().pages.count + Menus().descriptions.count + Menus().styles.count + Menus().history.count, 0u);
        EXPECT_EQ(Menus().pending, nullptr);
        EXPECT_EQ(Overlay().widgets.count, widgetsBefore);
        EXPECT_LE(Overlay().brushes.count, brushesBefore + 1) << "the page's own entry is gone";
    }
}

}  // namespace
