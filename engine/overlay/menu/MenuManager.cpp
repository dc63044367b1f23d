// Loading the menus, finding pages, the history, and running the pending pages.
#include "engine/overlay/menu/MenuManager.h"

#include <cstring>

#include "engine/app/AppFiles.h"
#include "engine/core/files/ArchiveDirectory.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/menu/MenuPage.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/menu/PageTypeRegistry.h"

namespace {

// Disk and archives, sorted.
constexpr DWORD kMenuListFlags = 7;

void DeletePage(void* item) { delete static_cast<MenuPage*>(item); }
void DeleteDescription(void* item) { delete static_cast<PageDescription*>(item); }
void DeleteStyle(void* item) { delete static_cast<MenuStyle*>(item); }

}  // namespace

MenuManager& GetMenuManager() {
    static MenuManager manager;
    return manager;
}

MenuManager::~MenuManager() { Shutdown(); }

int MenuManager::LoadMenus() {
    KDLList names;
    if (ListFiles("menus", "menu", names, kMenuListFlags) == 0) return 0;
    for (KDLLink* link = names.head; link != nullptr; link = link->next) {
        auto* name = static_cast<EngineString*>(link->item);
        auto* description = new PageDescription;
        if (description == nullptr) continue;
        description->name = *name;
        description->tree = new TagFile;
        if (description->tree != nullptr) {
            const EngineString path = EngineString::Format("menus/%s.menu", name->Text());
            description->tree->Load(path.Text(), 0);
        }
        if (ListAppend(descriptions, description) == nullptr) delete description;
    }
    ListDeleteAll(names, EngineString::DeleteItem);

    for (KDLLink* link = descriptions.head; link != nullptr; link = link->next) {
        auto* description = static_cast<PageDescription*>(link->item);
        if (ParsePageDescription(*description) == 0) {
            LogWrite("menus/%s.menu does not read as a menu page", "Menu", 1, description->name.Text());
            return 0;
        }
    }
    for (KDLLink* link = descriptions.head; link != nullptr; link = link->next) {
        auto* description = static_cast<PageDescription*>(link->item);
        if (description->className.IsEmpty()) {
            LogWrite("menus/%s.menu names no CLASS", "Menu", 1, description->name.Text());
            return 0;
        }
        PageTypeEntry* type = FindPageType(description->className.Text());
        if (type == nullptr) type = FindPageType(kDefaultPageType);
        if (type == nullptr || type->creator == nullptr) return 0;
        MenuPage* page = type->creator(description);
        if (page == nullptr) return 0;
        page->backName = description->backName;
        if (ListAppend(pages, page) == nullptr) {
            delete page;
            return 0;
        }
    }
    for (KDLLink* link = pages.head; link != nullptr; link = link->next) {
        auto* page = static_cast<MenuPage*>(link->item);
        if (page->Build() == 0) {
            LogWrite("menus/%s.menu: the menu page %s cannot be made from it", "Menu", 1, page->Name(), page->Name());
            return 0;
        }
    }
    return 1;
}

void MenuManager::Shutdown() {
    ListReset(history);
    ListDeleteAll(pages, DeletePage);
    ListDeleteAll(descriptions, DeleteDescription);
    ListDeleteAll(styles, DeleteStyle);
    busy = 0;
    current = previous = pending = nullptr;
    openCurrent = 0;
    idleResult = kMenuNoResult;
}

PageTypeEntry* MenuManager::FindPageType(const char* typeName) const {
    if (typeName == nullptr) return nullptr;
    for (PageTypeEntry* entry = FirstPageType(); entry != nullptr; entry = entry->next) {
        if (std::strcmp(entry->name, typeName) == 0) return entry;
    }
    return nullptr;
}

MenuPage* MenuManager::FindPage(const char* pageName) const {
    if (pageName == nullptr) return nullptr;
    for (KDLLink* link = pages.head; link != nullptr; link = link->next) {
        auto* page = static_cast<MenuPage*>(link->item);
        if (page->description != nullptr && CompareNoCase(page->description->name.Text(), pageName) == 0) return page;
    }
    return nullptr;
}

PageDescription* MenuManager::FindPageDescription(const char* pageName) const {
    if (pageName == nullptr) return nullptr;
    for (KDLLink* link = descriptions.head; link != nullptr; link = link->next) {
        auto* description = static_cast<PageDescription*>(link->item);
        if (CompareNoCase(description->name.Text(), pageName) == 0) return description;
    }
    return nullptr;
}

MenuPage* MenuManager::HistoryTail() const {
    return history.tail != nullptr ? static_cast<MenuPage*>(history.tail->item) : nullptr;
}

int MenuManager::GotoPage(const char* pageName, int record) {
    pending = FindPage(pageName);
    if (pending == nullptr) return 0;
    if (record != 0 && HistoryTail() != pending) ListAppend(history, pending);
    return 1;
}

void MenuManager::OpenPage(MenuPage* page) {
    pending = page;
    if (page != nullptr && HistoryTail() != page) ListAppend(history, page);
}

void MenuManager::GoBack() {
    if (history.count == 0) {
        pending = nullptr;
        return;
    }
    ListPopBack(history);
    pending = HistoryTail();
}

void MenuManager::ClearHistory() { ListReset(history); }

int MenuManager::CloseCurrentPage() {
    openCurrent = 0;
    idleResult = 0;
    if (current == nullptr) return 0;
    const bool wasModal = (current->flags & kControlModal) != 0;
    EndModal(current, 0);
    if (wasModal) return 1;
    previous = current;
    current = pending;
    pending = nullptr;
    return 0;
}

std::int32_t MenuManager::ProcessPendingPage() {
    busy = 1;
    std::int32_t open = static_cast<std::int32_t>(openCurrent);
    std::int32_t result = idleResult;
    MenuPage* page = current;
    do {
        if (open != 0 && page != nullptr) {
            result = page->Open(open, 0);
            page = current;
        }
        openCurrent = 1;
        idleResult = kMenuNoResult;
        open = 1;
        previous = page;
        current = pending;
        pending = nullptr;
        page = current;
    } while (current != nullptr);
    busy = 0;
    return result;
}
