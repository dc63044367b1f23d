// The ".kgc" geometry cache: read (every sub-mesh's material is the list's "default"), then
// the derived data recomputed, the bounds measured and a segment tested against every face.
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/collision/FaceQueries.h"
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/material/MaterialList.h"
#include "engine/resources/mesh/GeometryCache.h"
#include "engine/resources/mesh/MeshBuild.h"
#include "fuzz/FuzzStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0 && GlobalResourceCache().Init() == 0;
    static MaterialList materials;
    FileStream stream;
    if (!ready || !AttachFuzzInput(stream, data, size, kStreamBinary)) return 0;
    if (materials.Count() == 0) {
        auto* fallback = new KMaterial;
        fallback->name.Assign(kDefaultMaterialName);
        materials.Add(fallback);
    }
    SetCurrentMaterialList(&materials);
    Geometry geometry;
    if (ReadGeometry(geometry, stream) == 0) {
        ComputeFacePlanes(geometry.list);
        ComputeFaceTextureFrames(geometry);
        ComputeVertexTangents(geometry.list);
        Vector3 centre;
        float radius;
        ComputeBoundingSphere(geometry.list, centre, radius);
        SegmentHit hit;
        SegmentHitsMesh(geometry, Vector3{centre.x, centre.y, centre.z + radius}, centre, hit, 0);
    }
    ReleaseGeometry(geometry);
    return 0;
}
