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

GameMenus& GetGameMenus() {
    static GameMenus menus;
    return menus;
}
