// The stand-in pages that end with their default commands, and entering a page that may be
// missing.
#include <gtest/gtest.h>

#include "game/flow/interfaces/MenuPages.h"
#include "tests/game/flow/FlowFakes.h"

namespace {

TEST(DefaultCommandMenus, EachPageEndsWithItsDefaultCommandOnceAndUnknownPagesAreNotPending) {
    DefaultCommandMenus menus;
    struct Case {
        const char* page;
        std::int32_t command;
    };
    for (const Case& c : {Case{"Startup", kMenuCommandStart}, Case{"main", kMenuCommandStart},
                          Case{"WorldSelect", kMenuCommandStart}, Case{"CustomLevelSelect", kMenuCommandStart},
                          Case{"Ingame", kMenuCommandResumeGame}, Case{"Credits", kMenuCommandTitle}}) {
        ASSERT_EQ(menus.GotoPage(c.page, 1), 1) << c.page;
        EXPECT_EQ(menus.ProcessPendingPage(), c.command) << c.page;
        EXPECT_EQ(menus.ProcessPendingPage(), kMenuIdleResult) << "nothing pending after " << c.page;
    }
    menus.GotoPage("Main", 1);
    EXPECT_EQ(menus.GotoPage("CustomMenu", 1), 0);
    EXPECT_EQ(menus.Pending(), nullptr) << "a missing page also clears the one before";
    EXPECT_EQ(OpenMenuPage(menus, "NoSuchPage"), 0);
    EXPECT_STREQ(menus.Pending(), "Main") << "the player is never left without a page";
}

}  // namespace
