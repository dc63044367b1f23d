// MenuPages: how the screen state machine and play enter and run the menu pages: going to a
// page by name, running the pending pages, and the commands with which pages end. The menu
// manager fills it in; until it does, DefaultCommandMenus stands in and ends every page at
// once with the command its default button gives.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

// Command results of the pages.
constexpr std::int32_t kMenuCommandStart = 4097;
constexpr std::int32_t kMenuCommandQuit = 4098;
constexpr std::int32_t kMenuCommandExitGame = 4100;
constexpr std::int32_t kMenuCommandResumeGame = 4102;
constexpr std::int32_t kMenuCommandTitle = 4112;
constexpr std::int32_t kMenuCommandRestartLevel = 4119;
constexpr std::int32_t kMenuCommandLanguageChanged = 4120;
// What running pages answers when no page ran.
constexpr std::int32_t kMenuIdleResult = -1;

// The page names of the flow.
constexpr const char* kPageStartup = "Startup";
constexpr const char* kPageMain = "Main";
constexpr const char* kPageWorldSelect = "WorldSelect";
constexpr const char* kPageCredits = "Credits";
constexpr const char* kPageIngame = "Ingame";
constexpr const char* kPageCustomLevelSelect = "CustomLevelSelect";

class MenuPages {
public:
    virtual ~MenuPages() = default;

    // 1 when the pages were loaded.
    virtual int LoadMenus() = 0;
    virtual void Shutdown() = 0;
    virtual void ClearHistory() = 0;
    // The named page becomes the pending page; 0 (nothing pending) when there is none.
    virtual int GotoPage(const char* name, int record) = 0;
    // Runs the pending pages; the command the last one ended with, kMenuIdleResult for none.
    virtual std::int32_t ProcessPendingPage() = 0;
    virtual bool Busy() const = 0;
    // Whether pages were loaded from menu files (not stand-ins taking default commands).
    virtual bool HasPages() const { return false; }
};

// Clears the history and goes to the page; a page that does not exist opens "Main" in its
// place, so that the player is never left without a screen. 1 when the named page opened.
int OpenMenuPage(MenuPages& menus, const char* name);

class DefaultCommandMenus : public MenuPages {
public:
    int LoadMenus() override { return 1; }
    void Shutdown() override { pending_ = nullptr; }
    void ClearHistory() override {}
    int GotoPage(const char* name, int record) override;
    std::int32_t ProcessPendingPage() override;
    bool Busy() const override { return false; }

    const char* Pending() const { return pending_; }
    // The command the page's default button ends it with.
    static std::int32_t DefaultCommand(const char* name);

private:
    const char* pending_ = nullptr;  // one of the flow's page names
};
