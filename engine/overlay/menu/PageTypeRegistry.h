// The page-type registry: the names a menu file's CLASS may give, each with the function
// that makes a page of that type. Each page type registers itself before the menus load.
#pragma once

class MenuPage;
class PageDescription;

using PageCreator = MenuPage* (*)(PageDescription* description);

struct PageTypeEntry {
    const char* name;
    PageCreator creator;
    PageTypeEntry* next;
};

// The entry goes to the front of the chain.
void RegisterPageType(PageTypeEntry* entry);
// The first entry of the chain (the last registered), or null.
PageTypeEntry* FirstPageType();
// Registers the entry unless an entry of that name is in the chain; for static
// initialisers, which a test may run twice. 1 when registered.
int RegisterPageTypeOnce(PageTypeEntry* entry);

// The type the manager falls back to for a CLASS no entry has.
constexpr const char kDefaultPageType[] = "DefaultMenuPage";
