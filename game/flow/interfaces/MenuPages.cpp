// Entering menu pages, and the stand-in pages that end with their default commands.
#include "game/flow/interfaces/MenuPages.h"

#include <strings.h>

namespace {

struct DefaultPage {
    const char* name;
    std::int32_t command;
};

// The start-up page's default is to play with sound; the title's menu, the world and custom
// level pages start a game; the pause page resumes; the credits lead back to the title.
constexpr DefaultPage kDefaultPages[] = {
    {kPageStartup, kMenuCommandStart},       {kPageMain, kMenuCommandStart},
    {kPageWorldSelect, kMenuCommandStart},   {kPageCustomLevelSelect, kMenuCommandStart},
    {kPageIngame, kMenuCommandResumeGame},   {kPageCredits, kMenuCommandTitle},
};

const DefaultPage* FindDefaultPage(const char* name) {
    if (name == nullptr) return nullptr;
    for (const DefaultPage& page : kDefaultPages)
        if (strcasecmp(page.name, name) == 0) return &page;
    return nullptr;
}

}  // namespace

int OpenMenuPage(MenuPages& menus, const char* name) {
    menus.ClearHistory();
    if (menus.GotoPage(name, 1) != 0) return 1;
    menus.GotoPage(kPageMain, 1);
    return 0;
}

std::int32_t DefaultCommandMenus::DefaultCommand(const char* name) {
    const DefaultPage* page = FindDefaultPage(name);
    return page != nullptr ? page->command : kMenuIdleResult;
}

int DefaultCommandMenus::GotoPage(const char* name, int) {
    const DefaultPage* page = FindDefaultPage(name);
    pending_ = page != nullptr ? page->name : nullptr;
    return page != nullptr ? 1 : 0;
}

std::int32_t DefaultCommandMenus::ProcessPendingPage() {
    const char* page = pending_;
    pending_ = nullptr;
    return page != nullptr ? DefaultCommand(page) : kMenuIdleResult;
}
