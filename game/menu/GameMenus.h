// GameMenus: the screen state machine's menu pages, run by the menu manager.
#pragma once

#include "game/flow/interfaces/MenuPages.h"

// Installed without any menu file, the game still runs: each page then takes its default
// command at once, as DefaultCommandMenus does.
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
    bool HasPages() const override;

    // True while the pages stand in for missing menu files.
    bool UsingDefaults() const { return useDefaults_; }

private:
    DefaultCommandMenus defaults_;
    bool useDefaults_ = false;
};

// The program's one instance.
GameMenus& GetGameMenus();
