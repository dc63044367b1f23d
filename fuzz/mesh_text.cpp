// Text meshes and skeletons: the file read, built into a geometry (planes, texture frames,
// tangents), measured, lit, and queried through its face tree. Every material name is made.
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/collision/FaceTree.h"
#include "engine/resources/material/MaterialList.h"
#include "engine/resources/mesh/MeshBuild.h"
#include "engine/resources/mesh/MeshText.h"
#include "fuzz/FuzzStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0 && GlobalResourceCache().Init() == 0;
    static MaterialList materials;
    FileStream stream;
    if (!ready || !AttachFuzzInput(stream, data, size, kStreamText)) return 0;
    SetCurrentMaterialList(&materials);
    SetCreateMissingMaterials(true);
    MeshText text;
    Geometry geometry;
    if (ReadMeshText(stream, "fuzz.fmesh", text) == 1 && BuildGeometryFromText(geometry, text) == 1) {
        AxisBox box;
        ComputeBoundingBox(geometry.list, box);
        RenderLightSet lights{{0.2f, 0.2f, 0.2f, 1}, 1, {{0, {0, 0, 5}, {0, 0, -1}, {1, 1, 1, 1}, {}, {}, 1, 9}}};
        LightVertices(geometry.list, lights, kIdentityMatrix34);
        SegmentHit hit;
        if (FaceTree* tree = BuildFaceTree(geometry)) {
            SegmentHitsFaceTree(*tree, geometry, box.min, box.max, hit, 0);
            delete tree;
        }
    }
    ReleaseGeometry(geometry);
    FreeMeshText(text);
    materials.Clear();
    return 0;
}
