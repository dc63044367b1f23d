// MenuManager: the one record that owns every menu page. It loads all menu files at start,
// makes one page per file through the page-type registry, keeps the open page, the page to
// open next and the history of visited pages, and runs pages modally one after another
// until one ends with a command for the screen state machine.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

class MenuPage;
class PageDescription;
struct PageTypeEntry;

// What ProcessPendingPage answers when no page ran.
constexpr std::int32_t kMenuNoResult = -1;

class MenuManager {
public:
    MenuManager() = default;
    ~MenuManager();
    MenuManager(const MenuManager&) = delete;
    MenuManager& operator=(const MenuManager&) = delete;

    // Every "menus/*.menu" file: descriptions, parsed; one page each (the CLASS's type, else
    // "DefaultMenuPage"), built. 1, or 0 at the first failure (what was made stays until
    // Shutdown).
    int LoadMenus();
    // Everything freed; the record as constructed (the theme name stays).
    void Shutdown();

    PageTypeEntry* FindPageType(const char* typeName) const;  // case counts
    MenuPage* FindPage(const char* pageName) const;           // case ignored
    PageDescription* FindPageDescription(const char* pageName) const;

    // The named page becomes pending (none: nothing pending, 0); recorded in the history
    // when `record` is set and it is not already the newest entry.
    int GotoPage(const char* pageName, int record);
    // The page becomes pending and is recorded unless it is the newest entry.
    void OpenPage(MenuPage* page);
    // Drops the newest history entry; the one before it becomes pending (none when empty).
    void GoBack();
    void ClearHistory();
    // Closes the current page with result 0: 1 when it was running modally (the manager
    // moves on when its loop returns); otherwise the pending page becomes current at once.
    int CloseCurrentPage();
    // Runs the pending pages modally, one after another, until none is pending; the result
    // of the last page run, or the idle result.
    std::int32_t ProcessPendingPage();

    MenuPage* HistoryTail() const;

    DWORD busy = 0;
    MenuPage* current = nullptr;
    MenuPage* previous = nullptr;
    MenuPage* pending = nullptr;
    KDLList descriptions;  // PageDescription, owned, in listing order
    KDLList styles;        // MenuStyle, owned: the style cache
    KDLList pages;         // MenuPage, owned, one per description
    KDLList history;       // MenuPage, not owned; oldest first
    DWORD openCurrent = 0;
    std::int32_t idleResult = kMenuNoResult;
    EngineString themeName;
};

// The program's one menu manager.
MenuManager& GetMenuManager();
