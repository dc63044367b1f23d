// The registry entries of the game's page types and their creators.
#include "game/menu/GamePageTypes.h"

#include "engine/core/memory/EngineLog.h"
#include "engine/overlay/menu/PageTypeRegistry.h"
#include "game/menu/LevelSelectMenuPage.h"
#include "game/menu/SettingsActions.h"
#include "game/menu/WorldSelectMenuPage.h"

namespace {

template <typename Page>
MenuPage* CreatePage(PageDescription* description) {
    auto* page = new Page(description);
    if (page == nullptr) LogWrite("FATAL: out of system memory", nullptr, 1);
    return page;
}

PageTypeEntry kPageTypes[] = {
    {"AnimatedMenuPage", CreatePage<AnimatedMenuPage>, nullptr},
    {"AwardsMenuPage", CreatePage<AwardsMenuPage>, nullptr},
    {"CreditsMenuPage", CreatePage<CreditsMenuPage>, nullptr},
    {"DefaultMenuPage", CreatePage<DefaultMenuPage>, nullptr},
    {"IngameMenuPage", CreatePage<IngameMenuPage>, nullptr},
    {"MainMenuPage", CreatePage<MainMenuPage>, nullptr},
    {"PageContentMenuPage", CreatePage<PageContentMenuPage>, nullptr},
    {"StartupMenuPage", CreatePage<StartupMenuPage>, nullptr},
    {"UFMMenuPage", CreatePage<UFMMenuPage>, nullptr},
    {"SelectMenuPage", CreatePage<SelectMenuPage>, nullptr},
    {"WorldSelectMenuPage", CreatePage<WorldSelectMenuPage>, nullptr},
    {"LevelSelectMenuPage", CreatePage<LevelSelectMenuPage>, nullptr},
    {"CustomLevelSelectMenuPage", CreatePage<CustomLevelSelectMenuPage>, nullptr},
};

// Registered before the program's main code runs.
const bool registered = [] {
    RegisterGamePageTypes();
    return true;
}();

}  // namespace

void RegisterGamePageTypes() {
    (void)registered;
    for (PageTypeEntry& entry : kPageTypes) RegisterPageTypeOnce(&entry);
    InstallSettingsActions();
}
