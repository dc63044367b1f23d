// The game's page types, each registered under its class name for the menu files' CLASS
// tag. Their own looks and commands come with their pages; until then each behaves as the
// page it is built on.
#pragma once

#include "game/menu/DefaultMenuPage.h"

class AnimatedMenuPage : public DefaultMenuPage {
public:
    using DefaultMenuPage::DefaultMenuPage;
    DWORD animation[3] = {0, 0, 0};
};

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

class UFMMenuPage : public DefaultMenuPage {
public:
    using DefaultMenuPage::DefaultMenuPage;
};

class IngameMenuPage : public UFMMenuPage {
public:
    using UFMMenuPage::UFMMenuPage;
};

class MainMenuPage : public UFMMenuPage {
public:
    using UFMMenuPage::UFMMenuPage;
    DWORD ownWord = 0;
};

class StartupMenuPage : public UFMMenuPage {
public:
    using UFMMenuPage::UFMMenuPage;
};

// Puts the game's 13 page types into the registry (once; later calls change nothing).
void RegisterGamePageTypes();
