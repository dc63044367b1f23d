// ".skel" text skeletons: read as mesh text and built into a skinned object (its skin and
// bone checks), which is then updated once and released.
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/material/MaterialList.h"
#include "engine/resources/mesh/MeshText.h"
#include "engine/resources/skelobject/SkelObject.h"
#include "fuzz/FuzzStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    static MaterialList materials;
    FileStream stream;
    if (!ready || !AttachFuzzInput(stream, data, size, kStreamText)) return 0;
    // Every material name is made on demand.
    SetCreateMissingMaterials(true);
    SetCurrentMaterialList(&materials);
    MeshText text;
    if (ReadMeshText(stream, "fuzz.skel", text) != 0) {
        auto* object = new SkelObject();
        if (object->BuildFromText(text, "fuzz")) {
            AdvanceSkelFrame();
            object->UpdateAnimation(0.1f);
        }
        object->Release();
    }
    FreeMeshText(text);
    return 0;
}
