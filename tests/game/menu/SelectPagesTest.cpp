// The selection pages on real menu files: arrows, the dragged cube and the focus moving the
// list; worlds locked by the profile; choosing a world, a level or a custom level; and the
// pages doing nothing outside the menus' screen state.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/app/GameKeys.h"
#include "engine/app/KeyStates.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "game/flow/interfaces/FlowHost.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/menu/LevelSelectMenuPage.h"
#include "game/menu/GamePageTypes.h"
#include "game/menu/WorldSelectMenuPage.h"
#include "tests/engine/overlay/menu/MenuTestSupport.h"

namespace {

class TestHost : public FlowHost {
public:
    DWORD CurrentScreenState() const override { return state; }
    void RequestScreenState(DWORD next) override { state = next; }
    int KeyState(std::int32_t key) const override { return key == heldKey ? kKeyHeld : kKeyUp; }
    void TouchPoint(float& x, float& y) override { x = y = 0.0f; }
    void Tilt(std::int32_t& x, std::int32_t& y, std::int32_t& z) const override { x = y = z = 0; }
    DWORD state = kScreenMenus;
    std::int32_t heldKey = -1;
};

// A page of `count` item buttons 92 high (rows of 94) with the item command `init` and the
// choice command `select`, each given the item's number (first + i).
std::string ListPage(const std::string& name, const std::string& type, int count, const std::string& init,
                     const std::string& select, int first) {
    std::string text = name + "\n{\nCLASS " + type + "\n";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(first + i);
        text += "BUTTON\n{\nNAME ITEM" + n + "\nPOS 200 " + std::to_string(i * 94) +
                "\nSIZE 400 92\nON_INIT " + init + " " + n + "\nON_CLICK " + select + " " + n + "\n}\n";
    }
    return text + "}\n";
}

class SelectPageTest : public menu_test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        if (HasFatalFailure()) return;
        RegisterGamePageTypes();
        SetFlowHost(&host_);
        SetProfile(&profile_);
        SelectedLevelBase() = 0;
    }
    void TearDown() override {
        SetProfile(nullptr);
        SetFlowHost(nullptr);
        MenuTest::TearDown();
    }
    template <typename Page>
    Page* OpenPage(const char* name) {
        auto* page = dynamic_cast<Page*>(Menus().FindPage(name));
        EXPECT_NE(page, nullptr) << name;
        if (page == nullptr) return nullptr;
        Menus().current = page;
        page->OnOpen(0, 0);
        SetVisible(page, 1);
        page->flags |= kControlModal;
        return page;
    }
    // A touch pressed at one point and released at another.
    static void Touch(SelectMenuPage* page, float x, float y, float upX, float upY) {
        Overlay().pointerX = x;
        Overlay().pointerY = y;
        page->OnKeyDown(kPenKey, 1, -1);
        Overlay().pointerX = upX;
        Overlay().pointerY = upY;
        page->OnKeyUp(kPenKey, -1);
    }
    static void Tap(SelectMenuPage* page, float x, float y) { Touch(page, x, y, x, y); }

    TestHost host_;
    PlayerProfile profile_;
};

TEST_F(SelectPageTest, TheArrowsStopAtTheEndsOfTheRegisteredList) {
    WriteMenuFile("WorldSelect.menu", ListPage("WorldSelect", "WorldSelectMenuPage", 10, "InitWorldButton", "SelectWorld", 0));
    WriteMenuFile("Short.menu", ListPage("Short", "WorldSelectMenuPage", 3, "InitWorldButton", "SelectWorld", 0));
    ASSERT_EQ(Menus().LoadMenus(), 1);
    auto* page = OpenPage<WorldSelectMenuPage>("WorldSelect");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->itemCount, 10);
    EXPECT_TRUE(page->scrolling);
    EXPECT_FLOAT_EQ(page->rowHeight, 94.0f);
    for (int i = 0; i < 8; ++i) Tap(page, 750, 430);
    EXPECT_EQ(page->targetRow, 6) << "ten items, five rows: the down arrow stops at row 6";
    // A touch that did not start on the up arrow does nothing when lifted there.
    Touch(page, 300, 200, 750, 40);
    EXPECT_EQ(page->targetRow, 6);
    // Nor does one that slid off the arrow before it was lifted.
    Overlay().pointerX = 750;
    Overlay().pointerY = 40;
    page->OnKeyDown(kPenKey, 1, -1);
    Overlay().pointerX = 600;
    page->Update(16);
    Overlay().pointerX = 750;
    page->OnKeyUp(kPenKey, -1);
    EXPECT_EQ(page->targetRow, 6);
    for (int i = 0; i < 8; ++i) Tap(page, 750, 40);
    EXPECT_EQ(page->targetRow, 0);
    // Opening again registers the same items again, not twice as many.
    page->OnOpen(0, 0);
    EXPECT_EQ(page->itemCount, 10);
    SetVisible(page, 0);

    // Three registered items: nothing to scroll, no wrapped range, no phantom rows drawn.
    auto* shortPage = OpenPage<WorldSelectMenuPage>("Short");
    ASSERT_NE(shortPage, nullptr);
    EXPECT_EQ(shortPage->itemCount, 3);
    EXPECT_EQ(shortPage->scrollMaximum, 0.0f);
    EXPECT_EQ(shortPage->cubeMaximum, kScrollCubeTop);
    Tap(shortPage, 750, 430);
    EXPECT_EQ(shortPage->targetRow, 0);
    for (int frame = 0; frame < 30; ++frame) shortPage->Update(33);
    EXPECT_EQ(shortPage->scrollOffset, 0.0f);
    shortPage->PostDraw(canvas_);
}

TEST_F(SelectPageTest, TheCubeDragsTheListAndTheListEasesToItsRow) {
    WriteMenuFile("WorldSelect.menu", ListPage("WorldSelect", "WorldSelectMenuPage", 10, "InitWorldButton", "SelectWorld", 0));
    ASSERT_EQ(Menus().LoadMenus(), 1);
    auto* page = OpenPage<WorldSelectMenuPage>("WorldSelect");
    ASSERT_NE(page, nullptr);
    // Grab the cube and pull it down two steps of 51.
    Overlay().pointerX = 755;
    Overlay().pointerY = 113;
    page->OnKeyDown(kPenKey, 1, -1);
    ASSERT_TRUE(page->cubePressed);
    Overlay().pointerY = 215;
    page->Update(16);
    EXPECT_FLOAT_EQ(page->cubeY, kScrollCubeTop + 102.0f);
    EXPECT_FLOAT_EQ(page->scrollOffset, 2.0f * 94.0f);
    EXPECT_EQ(page->visibleRow, 2);
    EXPECT_FLOAT_EQ(page->items[3]->y, 94.0f * 3 - (188.0f - 5.0f));
    page->OnKeyUp(kPenKey, -1);
    EXPECT_EQ(page->targetRow, 2);
    // Pulled far past the bottom: the cube stops at its range, the row at 6.
    Overlay().pointerY = page->cubeY + 40.0f;
    page->OnKeyDown(kPenKey, 1, -1);
    Overlay().pointerY = 2000.0f;
    page->Update(16);
    EXPECT_FLOAT_EQ(page->cubeY, page->cubeMaximum);
    EXPECT_LE(page->scrollOffset, page->scrollMaximum);
    page->OnKeyUp(kPenKey, -1);
    EXPECT_EQ(page->targetRow, 6);
    // Left alone, the list eases to row 6.
    for (int frame = 0; frame < 120; ++frame) page->Update(33);
    EXPECT_NEAR(page->scrollOffset, 6.0f * 94.0f, 0.5f);
    // Hidden, everything starts over.
    SetVisible(page, 0);
    EXPECT_EQ(page->targetRow, 0);
    EXPECT_EQ(page->scrollOffset, 0.0f);
    EXPECT_EQ(page->cubeY, kScrollCubeTop);
    EXPECT_FALSE(page->scrolling);
}

TEST_F(SelectPageTest, TheFocusPullsItsItemIntoViewWhileAnArrowKeyIsDown) {
    WriteMenuFile("WorldSelect.menu", ListPage("WorldSelect", "WorldSelectMenuPage", 10, "InitWorldButton", "SelectWorld", 0));
    ASSERT_EQ(Menus().LoadMenus(), 1);
    auto* page = OpenPage<WorldSelectMenuPage>("WorldSelect");
    ASSERT_NE(page, nullptr);
    profile_.worldFlags[7] = kWorldUnlocked;
    SetEnabled(page->items[7], 1);
    SetFocusWindow(page->items[7]);
    page->Update(16);
    EXPECT_EQ(page->targetRow, 0) << "no arrow key down";
    host_.heldKey = kGameKeyDown;
    page->Update(16);
    EXPECT_EQ(page->selectedIndex, 7);
    EXPECT_EQ(page->targetRow, 5);
    SetFocusWindow(page->items[0]);
    host_.heldKey = kGameKeyUp;
    page->Update(16);
    EXPECT_EQ(page->targetRow, 0);
}

TEST_F(SelectPageTest, LockedWorldsCannotBeChosenAndAWorldOpensItsLevels) {
    WriteMenuFile("WorldSelect.menu", ListPage("WorldSelect", "WorldSelectMenuPage", 10, "InitWorldButton", "SelectWorld", 0));
    WriteMenuFile("LevelSelect.menu", ListPage("LevelSelect", "LevelSelectMenuPage", 8, "InitLevelButton", "SelectLevel", 0));
    profile_.worldFlags[1] = kWorldUnlocked;
    profile_.worldFlags[3] = kWorldUnlocked | 0x7;
    ASSERT_EQ(Menus().LoadMenus(), 1);
    auto* page = OpenPage<WorldSelectMenuPage>("WorldSelect");
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(IsPageControlHidden(page->items[0])) << "the tutorials are always open";
    EXPECT_FALSE(IsPageControlHidden(page->items[1]));
    EXPECT_TRUE(IsPageControlHidden(page->items[2]));
    EXPECT_FALSE(IsPageControlHidden(page->items[3]));
    EXPECT_TRUE(IsPageControlHidden(page->items[9]));
    page->PostDraw(canvas_);  // locks and gauges draw without a style

    // Outside the menus' screen state the page does nothing.
    host_.state = kScreenPlay;
    EXPECT_EQ(page->OnButton(page->items[3], "SelectWorld", "3", -1), 0);
    EXPECT_EQ(SelectedLevelBase(), 0);
    EXPECT_EQ(Menus().pending, nullptr);
    host_.state = kScreenMenus;

    EXPECT_EQ(page->Notify(1, page->items[3]->id, 1, -1), 0);
    EXPECT_EQ(SelectedLevelBase(), 18);
    EXPECT_EQ(Menus().pending, Menus().FindPage("LevelSelect"));
    EXPECT_EQ(page->flags & kControlModal, 0u) << "closed";
    EXPECT_EQ(page->OnButton(page->items[0], "SelectWorld", "0", -1), 0);
    EXPECT_EQ(SelectedLevelBase(), 0) << "world 0 is the tutorial list";
}

TEST_F(SelectPageTest, ChoosingALevelStartsItWithinTheLevels) {
    WriteMenuFile("LevelSelect.menu", ListPage("LevelSelect", "LevelSelectMenuPage", 8, "InitLevelButton", "SelectLevel", 0));
    ASSERT_EQ(Menus().LoadMenus(), 1);
    IngameController controller(host_);
    struct Case {
        std::int32_t base;
        const char* item;
        std::int32_t level;
    };
    const Case cases[] = {{48, "4", 52}, {48, "7", 52}, {18, "2", 20}, {0, "7", 7}, {0, "junk", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.base) + " " + c.item);
        SelectedLevelBase() = c.base;
        auto* page = OpenPage<LevelSelectMenuPage>("LevelSelect");
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->scrolling, c.base == 0) << "only the tutorial list scrolls";
        EXPECT_EQ(page->ShownItems(), c.base == 0 ? 8 : 5);
        profile_.tutorialHint = 1;
        EXPECT_EQ(page->OnButton(page->items[0], "SelectLevel", c.item, -1), 4097);
        EXPECT_EQ(controller.nextLevel, c.level);
        EXPECT_EQ(profile_.tutorialHint, 0u);
        SetVisible(page, 0);
    }
}

TEST_F(SelectPageTest, AnItemAppearsOnlyOnceItsButtonIsNearItsPlace) {
    WriteMenuFile("LevelSelect.menu", ListPage("LevelSelect", "LevelSelectMenuPage", 8, "InitLevelButton", "SelectLevel", 0));
    ASSERT_EQ(Menus().LoadMenus(), 1);
    auto* page = OpenPage<LevelSelectMenuPage>("LevelSelect");
    ASSERT_NE(page, nullptr);
    page->frameStep = 0.1f;
    EXPECT_EQ(page->ItemFade(0, 300.0f), 0.0f);
    EXPECT_EQ(page->ItemFade(0, 450.0f), 0.0f);
    EXPECT_EQ(page->itemFades[0], 0.0f) << "far away, the fade does not grow";
    EXPECT_FLOAT_EQ(page->ItemFade(0, 299.0f), 0.2f);
    for (int frame = 0; frame < 10; ++frame) page->ItemFade(0, 0.0f);
    EXPECT_EQ(page->ItemFade(0, 0.0f), 1.0f) << "at most fully shown";
    // Shown again, the items fade in again.
    SetVisible(page, 0);
    EXPECT_EQ(page->itemFades[0], 0.0f);
    // Just shown, the buttons start at the right edge and fly toward their places.
    page->OnOpen(0, 0);
    SetVisible(page, 1);
    EXPECT_GE(page->FlyInDistance(0), 300.0f);
    EXPECT_EQ(page->FlyInDistance(99), 0.0f);
}

TEST_F(SelectPageTest, TheFocusStaysOnTheShownLevels) {
    WriteMenuFile("LevelSelect.menu", ListPage("LevelSelect", "LevelSelectMenuPage", 8, "InitLevelButton", "SelectLevel", 0));
    ASSERT_EQ(Menus().LoadMenus(), 1);
    SelectedLevelBase() = 8;
    auto* page = OpenPage<LevelSelectMenuPage>("LevelSelect");
    ASSERT_NE(page, nullptr);
    profile_.levels[0].bestScore = 1200;
    profile_.levels[0].medal = kMedalGold;
    SetFocusWindow(page->items[5]);  // the button after the five shown
    page->PostDraw(canvas_);
    EXPECT_EQ(FocusWidget(), page->items[0]);
    SetFocusWindow(nullptr);
    page->PostDraw(canvas_);
    EXPECT_EQ(FocusWidget(), page->items[4]);
    SetFocusWindow(page->items[2]);
    page->PostDraw(canvas_);
    EXPECT_EQ(FocusWidget(), page->items[2]);
}

TEST_F(SelectPageTest, CustomLevelsAreListedByTheirUtf8NamesAndStartAfterTheBuiltInLevels) {
    WriteMenuFile("CustomLevelSelect.menu",
                  ListPage("CustomLevelSelect", "CustomLevelSelectMenuPage", 10, "InitLevelButton", "SelectLevel", 0));
    const std::string folder = root_.Path() + "/fs/data/customlevels/";
    std::filesystem::create_directories(folder);
    for (const char* name : {"A maze", "Ma\xC3\xB1" "ana \xE2\x9C\x93", "Zigzag"})
        std::ofstream(folder + name + ".qvn") << "x";
    ASSERT_EQ(Menus().LoadMenus(), 1);
    IngameController controller(host_);
    ASSERT_EQ(controller.RefreshCustomLevels(), 3);
    auto* page = OpenPage<CustomLevelSelectMenuPage>("CustomLevelSelect");
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->itemCount, 10);
    page->PostDraw(canvas_);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(IsWindowEnabled(page->items[i]), i < 3) << i;
    std::vector<std::u16string> labels;
    for (int i = 0; i < 3; ++i) {
        const EngineWString name = CustomLevelSelectMenuPage::ItemLabel(i);
        labels.emplace_back(name.Text(), name.Length());
    }
    EXPECT_NE(std::find(labels.begin(), labels.end(), u"Ma\u00F1ana \u2713"), labels.end())
        << "multi-byte characters become their wide characters";
    EXPECT_EQ(CustomLevelSelectMenuPage::ItemLabel(3).Length(), 0u);
    EXPECT_EQ(page->OnButton(page->items[0], "SelectLevel", "0", -1), 4097);
    EXPECT_EQ(controller.nextLevel, 53);
}

// A name longer than its button, or than the glyphs one line draws, is cut to fit and ends
// in "..."; a short one stays whole.
TEST_F(SelectPageTest, ACustomLevelNameLongerThanItsButtonIsCutWithAnEllipsis) {
    const std::string folder = root_.Path() + "/fs/data/customlevels/";
    std::filesystem::create_directories(folder);
    const std::string longName(240, 'w');
    std::ofstream(folder + longName + ".qvn") << "x";
    std::ofstream(folder + "Short.qvn") << "x";
    IngameController controller(host_);
    ASSERT_EQ(controller.RefreshCustomLevels(), 2);
    std::vector<std::u16string> labels;
    for (int i = 0; i < 2; ++i) {
        const EngineWString name = CustomLevelSelectMenuPage::ItemLabel(i);
        labels.emplace_back(name.Text(), name.Length());
    }
    std::sort(labels.begin(), labels.end());
    EXPECT_EQ(labels[0], u"Short");
    const std::u16string& cut = labels[1];
    ASSERT_GT(cut.size(), 3u);
    EXPECT_LE(cut.size(), 64u);
    EXPECT_EQ(cut.substr(cut.size() - 3), u"...");
    EXPECT_EQ(cut.substr(0, cut.size() - 3), std::u16string(cut.size() - 3, u'w'));
}

TEST_F(SelectPageTest, TheTutorialHintOpensOnceAndTheBackKeyOnlyClosesIt) {
    std::string text = ListPage("WorldSelect", "WorldSelectMenuPage", 3, "InitWorldButton", "SelectWorld", 0);
    text.insert(text.rfind('}'),
                "STATIC_IMAGE\n{\nON_INIT InitUFMUnderlay\n}\nBUTTON\n{\nNAME OK\nPOS 800 359\nSIZE 480 64\n"
                "ON_INIT InitUFMButton\nON_CLICK OKTutorial\n}\n");
    WriteMenuFile("WorldSelect.menu", text);
    ASSERT_EQ(Menus().LoadMenus(), 1);
    profile_.tutorialHint = 1;
    auto* page = OpenPage<WorldSelectMenuPage>("WorldSelect");
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->HintOpen());
    EXPECT_EQ(page->ready, 0u);
    EXPECT_FALSE(IsWindowEnabled(page->items[1])) << "the list waits under the hint";
    // The arrows wait as well.
    page->targetRow = 0;
    Tap(page, 750, 430);
    EXPECT_EQ(page->targetRow, 0);
    // Back closes the hint: the page stays open and the game goes on.
    page->OnKeyUp(27, -1);
    EXPECT_FALSE(page->HintOpen());
    EXPECT_NE(page->flags & kControlModal, 0u);
    EXPECT_EQ(page->ready, 1u);
    for (int frame = 0; frame < 20; ++frame) page->Update(33);
    EXPECT_TRUE(IsWindowEnabled(page->items[1]));
    EXPECT_TRUE(IsPageControlHidden(page->items[2])) << "a locked world stays locked after the hint";
    // Shown again, the hint does not come back.
    SetVisible(page, 0);
    page->OnOpen(0, 0);
    SetVisible(page, 1);
    EXPECT_FALSE(page->HintOpen());
}

}  // namespace
