// ".knode" scene files: parsed and built into a node tree by a current object database (the
// meshes they name are absent, so those blocks give nothing), then walked and released.
#include "engine/core/files/TagFile.h"
#include "engine/core/node/KNode.h"
#include "engine/resources/kdb/KDB.h"
#include "fuzz/FuzzStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    FileStream stream;
    if (!ready || !AttachFuzzInput(stream, data, size, kStreamText)) return 0;
    TagFile root;
    if (root.Parse(stream) != 0) return 0;
    KDB database;
    SetCurrentKdb(&database);
    if (KNode* object = database.BuildSceneTree(root)) {
        Matrix34 world;
        WalkSubtree(*object, [&](KNode& node) {
            node.GetWorldMatrix(world);
            return WalkStep::kDescend;
        });
        FindNodeByName(object, "glow");
        object->Release();
    }
    SetCurrentKdb(nullptr);
    return 0;
}
