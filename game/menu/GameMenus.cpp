// The state machine's menu operations on the menu manager.
#include "game/menu/GameMenus.h"

#include "engine/overlay/menu/MenuManager.h"
#include "game/menu/GamePageTypes.h"

GameMenus::GameMenus() { RegisterGamePageTypes(); }

int GameMenus::LoadMenus() { return GetMenuManager().LoadMenus(); }

void GameMenus::Shutdown() { GetMenuManager().Shutdown(); }

void GameMenus::ClearHistory() { GetMenuManager().ClearHistory(); }

int GameMenus::GotoPage(const char* name, int record) { return GetMenuManager().GotoPage(name, record); }

std::int32_t GameMenus::ProcessPendingPage() { return GetMenuManager().ProcessPendingPage(); }

bool GameMenus::Busy() const { return GetMenuManager().busy != 0; }

GameMenus& GetGameMenus() {
    static GameMenus menus;
    return menus;
}
