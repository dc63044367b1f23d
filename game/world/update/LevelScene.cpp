// Baking the tile grid: blocks of 5 x 5 tile meshes merged into one lit mesh object each.
#include "engine/core/containers/KDLList.h"
#include "engine/core/node/KNode.h"
#include "engine/resources/kdb/KDB.h"
#include "game/world/level/Level.h"
#include "game/world/update/LevelUpdate.h"

namespace {
RenderLightSet g_lighting{{0, 0, 0, 1}, 0, {}};
}  // namespace

const RenderLightSet& LevelLighting() { return g_lighting; }

void PublishLevelLighting(const Level& level) {
    g_lighting.ambient = level.ambience;
    g_lighting.count = 0;
    for (KDLListIterator it(const_cast<KDLList&>(level.lights)); !it.AtEnd() && g_lighting.count < kMaxLights;
         it.Next())
        g_lighting.lights[g_lighting.count++] = *static_cast<const RenderLight*>(it.Item());
}

int BakeTileBlocks(Level& level) {
    for (std::int32_t blockRow = 0; blockRow < level.height; blockRow += kTileBlockSide) {
        for (std::int32_t blockColumn = 0; blockColumn < level.width; blockColumn += kTileBlockSide) {
            // The tiles keep their nodes: the temporary parent holds them without owning them
            // and lets them go before it is released.
            KNode* block = new KNode();
            for (std::int32_t row = blockRow; row < blockRow + kTileBlockSide && row < level.height; ++row)
                for (std::int32_t column = blockColumn; column < blockColumn + kTileBlockSide && column < level.width;
                     ++column) {
                    LevelTile* tile = level.TileAt(column, row);
                    if (tile != nullptr && tile->node != nullptr) block->AddChildEx(tile->node, false);
                }
            KNode* merged = block->ChildCount() != 0 ? MergeMeshObjects(*block) : block;
            if (merged != nullptr && merged != block) {
                if (ListPushBack(level.mergedBlocks, merged)) {
                    for (std::int32_t row = blockRow; row < blockRow + kTileBlockSide && row < level.height; ++row)
                        for (std::int32_t column = blockColumn;
                             column < blockColumn + kTileBlockSide && column < level.width; ++column)
                            level.TileAt(column, row)->mergedBlock =
                                row == blockRow && column == blockColumn ? merged : nullptr;
                    PublishLevelLighting(level);
                    merged->ApplyLighting(const_cast<RenderLightSet*>(&LevelLighting()));
                }
            }
            while (KNode* child = block->FirstChild()) block->RemoveChild(child);
            block->Release();
        }
    }
    return 1;
}
