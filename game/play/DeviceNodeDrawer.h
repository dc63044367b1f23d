// The world's draw passes onto the render device: each node tree is culled against the view and
// what may show is submitted (mesh nodes their geometry, skinned objects their skinned meshes).
#pragma once

#include "game/ui/scene/SceneCull.h"
#include "game/world/player/NodeDrawer.h"

class DeviceNodeDrawer : public NodeDrawer {
public:
    // No clip planes are kept: the culling's own tests see an empty plane set as "all inside".
    const PlaneSet* Frustum() const override { return nullptr; }
    void DrawMesh(KNode& node, const Matrix34& world) override;
    void DrawTree(KNode& node) override;

private:
    DeviceCullSink sink_;
};
