// GameMenus: the screen state machine's menu pages, run by the menu manager.
#pragma once

#include "game/flow/MenuPages.h"

class GameMenus : public MenuPages {
public:
    // Registers the game's page types.
    GameMenus();

    int LoadMenus() override;
    void Shutdown() override;
    void ClearHistory() override;
    int GotoPage(const char* name, int record) override;
    std::int32_t ProcessPendingPage() override;
    bool Busy() const override;
};

// The program's one instance.
GameMenus& GetGameMenus();
