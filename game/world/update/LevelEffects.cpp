// The glow sprites of the objects and the effect state they share.
#include <cmath>

#include "engine/core/containers/KDLList.h"
#include "engine/core/node/KNode.h"
#include "engine/core/text/TextCompare.h"
#include "game/world/level/Level.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/update/LevelUpdate.h"

namespace {

constexpr char kGlowNode[] = "glow";

// The direct children first, then depth first below each child that has children.
KNode* FindGlowNode(KNode* model) {
    if (model == nullptr) return nullptr;
    for (KNode* child = model->FirstChild(); child != nullptr; child = child->NextSibling())
        if (CompareNoCase(child->Name(), kGlowNode) == 0) return child;
    for (KNode* child = model->FirstChild(); child != nullptr; child = child->NextSibling())
        if (child->ChildCount() != 0)
            if (KNode* found = FindNodeByName(child, kGlowNode)) return found;
    return nullptr;
}

}  // namespace

void CollectGlowObjects(Level& level) {
    ListReset(level.glowList);
    for (KDLListIterator it(level.activeObjects); !it.AtEnd(); it.Next()) {
        auto* object = static_cast<LevelObject*>(it.Item());
        KNode* glow = FindGlowNode(object->model);
        if (glow == nullptr) continue;
        object->flare.glowNode = glow;
        ListPushBack(level.glowList, object);
    }
    level.glowEffect = GlowEffectState{};
}

void GlowSpriteCorners(const Vector3& p, const Vector3& right, const Vector3& up, float size, float pulse,
                       float gameTime, Vector3 corners[4]) {
    const float s = std::sin(gameTime * 6.0f) * pulse + size;
    const Vector3 r{right.x * s, right.y * s, right.z * s};
    const Vector3 u{up.x * s, up.y * s, up.z * s};
    corners[0] = Vector3{p.x - r.x + u.x, p.y - r.y + u.y, p.z - r.z + u.z};
    corners[1] = Vector3{p.x - r.x - u.x, p.y - r.y - u.y, p.z - r.z - u.z};
    corners[2] = Vector3{p.x + r.x - u.x, p.y + r.y - u.y, p.z + r.z - u.z};
    corners[3] = Vector3{p.x + r.x + u.x, p.y + r.y + u.y, p.z + r.z + u.z};
}
