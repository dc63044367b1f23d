// The chain of page types.
#include "engine/overlay/menu/PageTypeRegistry.h"

#include <cstring>

namespace {

PageTypeEntry* firstType = nullptr;

}  // namespace

void RegisterPageType(PageTypeEntry* entry) {
    if (entry == nullptr) return;
    entry->next = firstType;
    firstType = entry;
}

PageTypeEntry* FirstPageType() { return firstType; }

int RegisterPageTypeOnce(PageTypeEntry* entry) {
    if (entry == nullptr) return 0;
    for (PageTypeEntry* at = firstType; at != nullptr; at = at->next) {
        if (at == entry || std::strcmp(at->name, entry->name) == 0) return 0;
    }
    RegisterPageType(entry);
    return 1;
}
