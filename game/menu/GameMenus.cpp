// The state machine's menu operations on the menu manager.
#include "game/menu/GameMenus.h"

#include "engine/core/memory/EngineLog.h"
#include "engine/overlay/menu/MenuManager.h"
#include "game/menu/GamePageTypes.h"

GameMenus::GameMenus() { RegisterGamePageTypes(); }

int GameMenus::LoadMenus() {
    useDefaults_ = false;
    MenuManager& manager = GetMenuManager();
    if (manager.LoadMenus() == 0) return 0;
    if (manager.pages.count == 0) {
        LogWrite("no menu files in \"menus\": every page takes its default command", "Menu", 1);
        useDefaults_ = true;
        return 1;
    }
    // Every way back in the game ends on the main menu: menus without it would leave the
    // player on an empty screen after the title, with no way on.
    if (manager.FindPage(kPageMain) == nullptr) {
        LogWrite("menus/%s.menu is missing: the game has no main menu", "Menu", 1, kPageMain);
        return 0;
    }
    return 1;
}

void GameMenus::Shutdown() {
    GetMenuManager().Shutdown();
    defaults_.Shutdown();
}

void GameMenus::ClearHistory() {
    if (!useDefaults_) GetMenuManager().ClearHistory();
}

int GameMenus::GotoPage(const char* name, int record) {
    return useDefaults_ ? defaults_.GotoPage(name, record) : GetMenuManager().GotoPage(name, record);
}

std::int32_t GameMenus::ProcessPendingPage() {
    return useDefaults_ ? defaults_.ProcessPendingPage() : GetMenuManager().ProcessPendingPage();
}

bool GameMenus::Busy() const { return !useDefaults_ && GetMenuManager().busy != 0; }

bool GameMenus::HasPages() const { return !useDefaults_ && GetMenuManager().pages.count > 0; }

GameMenus& GetGameMenus() {
    static GameMenus menus;
    return menus;
}
