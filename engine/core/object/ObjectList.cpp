// ListClear and ListReleaseAll over ListDeleteAll.
#include "engine/core/object/ObjectList.h"

#include "engine/core/object/Interface.h"

void ListClear(KDLList& list, int deleteItems) {
    if (deleteItems == 0) {
        ListReset(list);
        return;
    }
    ListDeleteAll(list, [](void* item) { delete static_cast<Interface*>(item); });
}

void ListReleaseAll(KDLList& list, int releaseItems) {
    if (releaseItems == 0) {
        ListReset(list);
        return;
    }
    ListDeleteAll(list, [](void* item) { static_cast<Interface*>(item)->Release(); });
}
