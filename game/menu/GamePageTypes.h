// The game's page types, each registered under its class name for the menu files' CLASS
// tag. Their own looks and commands come with their pages; until then each behaves as the
// page it is built on.
#pragma once

#include "game/menu/AnimatedMenuPage.h"
#include "game/menu/DefaultMenuPage.h"
#include "game/menu/LevelSelectMenuPage.h"
#include "game/menu/QuestionPages.h"
#include "game/menu/UFMMenuPage.h"
#include "game/menu/WorldSelectMenuPage.h"

class AwardsMenuPage : public DefaultMenuPage {
public:
    using DefaultMenuPage::DefaultMenuPage;
};

class CreditsMenuPage : public DefaultMenuPage {
public:
    using DefaultMenuPage::DefaultMenuPage;
};

class PageContentMenuPage : public DefaultMenuPage {
public:
    using DefaultMenuPage::DefaultMenuPage;
};

// Puts the game's 13 page types into the registry (once; later calls change nothing).
void RegisterGamePageTypes();
