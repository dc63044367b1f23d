// Taking a level down before the next one loads.
#include "engine/core/containers/KDLList.h"
#include "engine/core/node/KNode.h"
#include "engine/resources/kdb/KDB.h"
#include "game/world/level/Level.h"
#include "game/world/update/LevelUpdate.h"

namespace {

// A merged block is also listed by the object database that built it: it leaves that list
// before it is released, so that clearing the database does not release it a second time.
void ReleaseMergedBlock(KNode* merged) {
    if (merged == nullptr) return;
    if (KDB* database = CurrentKdb()) {
        KDLList& objects = database->Objects();
        for (KDLListIterator it(objects); !it.AtEnd();) {
            if (it.Item() == merged)
                ListIteratorRemove(it);
            else
                it.Next();
        }
    }
    merged->Release();
}

}  // namespace

void Unload(Level& level) {
    level.DeleteFireflySwarms();
    level.FreeGrid();
    level.DeleteObjects();
    ListReset(level.glowList);
    level.ambience = Color{0, 0, 0, 1};
    ListFreeAll(level.lights);
    ListReset(level.bigPlantTiles);
    while (level.mergedBlocks.count != 0) ReleaseMergedBlock(static_cast<KNode*>(ListPopBack(level.mergedBlocks)));
    if (level.background != nullptr) level.background->Release();
    level.background = nullptr;
    level.exitPortal = nullptr;
    level.columnSpan = level.rowSpan = 0;
    level.firstColumn = level.firstRow = 0;
    level.Clear();
}
