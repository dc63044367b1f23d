// The track cache: any bytes either load into ranges that stay inside their index lists and
// indices that stay inside their sub-mesh, or are refused with the track as it was.
#include <cstdint>

#include "engine/resources/meshnode/Track.h"
#include "fuzz/FuzzStream.h"

namespace {

constexpr std::uint32_t kSubMeshes = 2;
constexpr std::uint32_t kVertices = 4;

// Two sub-meshes of one quad each.
bool MakeGeometry(Geometry& geometry) {
    SubMeshList* list = NewSubMeshList(kSubMeshes);
    if (list == nullptr) return false;
    for (std::uint32_t s = 0; s < kSubMeshes; ++s) {
        SubMesh& subMesh = list->subMeshes[s];
        if (!AllocateSubMesh(subMesh, 1, kVertices, 6)) {
            FreeSubMeshList(list);
            return false;
        }
        subMesh.faceCount = 1;
        subMesh.vertexCount = kVertices;
        subMesh.faces[0].cornerCount = 4;
        for (std::uint32_t c = 0; c < 4; ++c) subMesh.faces[0].corners[c] = c;
    }
    SetSubMeshList(geometry, list);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready) return 0;
    auto* track = new Track();
    FileStream stream;
    if (track == nullptr || !MakeGeometry(track->GetGeometry()) ||
        !AttachFuzzInput(stream, data, size, kStreamBinary | kStreamReadWhole)) {
        if (track != nullptr) track->Release();
        return 0;
    }
    if (track->LoadCache(stream) != 0) {
        if (track->FrameCount() != 0 || track->StripCount() != 0) __builtin_trap();
    } else {
        if (track->StripCount() != kSubMeshes) __builtin_trap();
        for (std::uint32_t s = 0; s < kSubMeshes; ++s) {
            const SubMesh& subMesh = track->GetGeometry().list->subMeshes[s];
            if (subMesh.indexCount != track->IndexCount(s)) __builtin_trap();
            for (std::uint32_t i = 0; i < subMesh.indexCount; ++i)
                if (subMesh.indices[i] >= kVertices) __builtin_trap();
            for (std::int32_t f = -1; f <= static_cast<std::int32_t>(track->FrameCount()); ++f) {
                std::uint32_t first = 0;
                std::uint32_t count = 0;
                if (track->FrameRange(s, f, first, count) && first + count > subMesh.indexCount) __builtin_trap();
            }
        }
    }
    track->Release();
    return 0;
}
