#include "game/play/DeviceNodeDrawer.h"

#include "engine/core/node/KNode.h"
#include "engine/resources/skelobject/SkelObject.h"

void DeviceNodeDrawer::DrawMesh(KNode& node, const Matrix34& world) {
    if (node.IsKindOf(SkelObject::StaticTypeId()))
        sink_.DrawSkinned(static_cast<SkelObject&>(node), world);
    else
        sink_.DrawMesh(node, world);
}

void DeviceNodeDrawer::DrawTree(KNode& node) {
    CullState state;
    CullNodeTree(sink_, &node, state, nullptr);
}
