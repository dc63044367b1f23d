// ".ksk" skeleton caches: node-tree records read by the object database with the core
// module's classes (nodes, mesh nodes, bones, skinned objects), the trees prepared, posed,
// written back and released.
#include "engine/app/CoreModule.h"
#include "engine/core/node/KNode.h"
#include "engine/core/node/StreamFields.h"
#include "engine/core/object/Module.h"
#include "engine/resources/kdb/KDB.h"
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/skelobject/SkelObject.h"
#include "fuzz/FuzzStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0 && RegisterCoreModule() == 0;
    FileStream stream;
    if (!ready || !AttachFuzzInput(stream, data, size, kStreamBinary)) return 0;
    KDB database;
    SetCurrentKdb(&database);
    // The caches' materials fall back to a "default" the list holds.
    auto* fallback = new KMaterial;
    fallback->name.Assign(kDefaultMaterialName);
    database.Materials().Add(fallback);
    while (StreamBytesLeft(stream) > 0 && database.LoadNodeTree(stream, nullptr) == 0) continue;
    for (KDLLink* link = database.Roots().head; link != nullptr; link = link->next) {
        auto* root = static_cast<KNode*>(link->item);
        root->Prepare(nullptr);
        WalkSubtree(*root, [](KNode& node) {
            if (node.IsKindOf(SkelObject::StaticTypeId())) {
                AdvanceSkelFrame();
                node.UpdateAnimation(0.1f);
            }
            return WalkStep::kDescend;
        });
    }
    database.Clear();
    SetCurrentKdb(nullptr);
    FreeSkelChannelPool();
    return 0;
}
