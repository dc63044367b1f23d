// ".skel" text skeletons: read as mesh text and built into a skinned object (its skin and
// bone checks), which is then updated once and released.
// Inputs are capped at 4 KiB unless -max_len is given: reading is linear in the size, and
// the 56 KiB saved skeleton otherwise made libFuzzer try inputs that large, at a tenth of the
// speed. 4 KiB holds a skeleton with its skin, bones and a few frames.
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/material/MaterialList.h"
#include "engine/resources/mesh/MeshText.h"
#include "engine/resources/skelobject/SkelObject.h"
#include "fuzz/FuzzDefaultFlags.h"
#include "fuzz/FuzzStream.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    AddDefaultFlags(argc, argv, {"-max_len=4096"});
    return 0;
}

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
        // Null when engine memory runs out, as for every engine object.
        if (auto* object = new SkelObject()) {
            if (object->BuildFromText(text, "fuzz")) {
                AdvanceSkelFrame();
                object->UpdateAnimation(0.1f);
            }
            object->Release();
        }
    }
    FreeMeshText(text);
    // The materials this input named go with it: kept, they filled the engine heap after a
    // few thousand inputs and made every later name search longer.
    materials.Clear();
    return 0;
}
