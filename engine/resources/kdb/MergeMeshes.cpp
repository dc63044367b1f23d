// Merging every mesh node below a node into one mesh node (the level draws its tiles so).
#include "engine/core/node/KNode.h"
#include "engine/resources/kdb/KDB.h"
#include "engine/resources/mesh/MergeBuilder.h"
#include "engine/resources/mesh/MeshBuild.h"
#include "engine/resources/meshnode/MeshObject.h"

KNode* MergeMeshObjects(KNode& node) {
    KDLList found;
    if (!node.CollectByType(found, Object::StaticTypeId()) || found.count == 0) {
        ListReset(found);
        return &node;
    }
    MergeBuilder builder;
    bool added = true;
    for (KDLLink* link = found.head; link != nullptr && added; link = link->next) {
        auto* object = static_cast<Object*>(link->item);
        Matrix34 world;
        object->GetWorldMatrix(world);
        added = MergeBuilderAdd(builder, object->GetGeometry(), world);
    }
    ListReset(found);
    auto* merged = added ? new Object() : nullptr;
    if (merged == nullptr) {
        MergeBuilderFree(builder);
        return nullptr;
    }
    merged->SetName(node.Name());
    merged->SetFlags(node.Flags() | kNodeMesh);
    merged->SetExtraWord(node.ExtraWord());
    merged->Transform() = node.Transform();
    merged->SetSourceNode(nullptr);
    merged->SetGeometryKind(kGeometrySubMeshList);
    ResetTransform(merged->Transform());
    if (MergeBuilderBuild(merged->GetGeometry(), builder) == 0) {
        MergeBuilderFree(builder);
        merged->Release();
        return nullptr;
    }
    MergeBuilderFree(builder);
    merged->ComputeBounds();
    if (KDB* database = CurrentKdb()) ListAppend(database->Objects(), merged);
    return merged;
}
