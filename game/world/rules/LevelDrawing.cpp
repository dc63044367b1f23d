// The level's draw passes: objects (culled by their bounds, scaled by their own scale) and the
// tile grid with the background.
#include "game/world/rules/LevelDrawing.h"

#include "engine/core/math/MatrixMath.h"
#include "engine/core/node/KNode.h"
#include "engine/resources/collision/Culling.h"
#include "game/world/level/Level.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/player/NodeDrawer.h"

namespace {

constexpr DWORD kNodeCulledByBounds = 0x80;

Vector3 WorldSphereCentre(KNode& node, const Matrix34& world) {
    Vector3 centre;
    Matrix34TransformPoint(world, node.Bounds().sphereCentre, centre);
    return centre;
}

// Outside the view by its sphere first, then by its box in world space.
bool OutsideView(KNode& node, const Matrix34& world, const PlaneSet* frustum) {
    if (frustum == nullptr) return false;
    const NodeBounds& bounds = node.Bounds();
    if (SphereOutsidePlaneSet(*frustum, WorldSphereCentre(node, world), bounds.radius) != 0) return true;
    AxisBox box;
    TransformBounds(world, AxisBox{bounds.boxMin, bounds.boxMax}, box);
    return BoxOutsidePlaneSet(*frustum, box) != 0;
}

void Scale(Matrix34& world, float scale) {
    for (auto& row : world.m)
        for (int column = 0; column < 3; ++column) row[column] *= scale;
}

}  // namespace

void DrawObjects(const Level& level, NodeDrawer& drawer, bool odilePass) {
    for (const KDLLink* link = level.activeObjects.head; link != nullptr; link = link->next) {
        const auto* object = static_cast<const LevelObject*>(link->item);
        if (object == nullptr || object->model == nullptr) continue;
        if ((object->kind == kObjectOdile) != odilePass) continue;
        KNode& model = *object->model;
        Matrix34 world;
        model.GetWorldMatrix(world);
        const bool culled = (model.Flags() & kNodeCulledByBounds) != 0 && OutsideView(model, world, drawer.Frustum());
        if (!culled) {
            Scale(world, object->scale);
            drawer.DrawMesh(model, world);
        }
        for (KNode* child = model.FirstChild(); child != nullptr; child = child->NextSibling()) drawer.DrawTree(*child);
    }
}

void DrawTileGrid(const Level& level, NodeDrawer& drawer) {
    if (level.tiles != nullptr && level.height > 0) {
        for (std::int32_t row = 0; row < level.height; ++row) {
            for (std::int32_t column = 0; column < level.width; ++column) {
                const LevelTile* tile = level.TileAt(column, row);
                if (tile == nullptr || tile->node == nullptr) continue;
                KNode& node = *tile->node;
                Matrix34 world;
                node.GetWorldMatrix(world);
                if (!OutsideView(node, world, drawer.Frustum())) drawer.DrawMesh(node, world);
                for (KNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling())
                    drawer.DrawTree(*child);
            }
        }
    }
    if (level.background != nullptr) drawer.DrawTree(*level.background);
}
