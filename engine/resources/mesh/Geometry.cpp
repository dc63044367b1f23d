// The geometry record: its memory, release, deep copy, the render queue's view and the
// vertex look-ups across sub-meshes.
#include "engine/resources/mesh/Geometry.h"

#include <cstring>

#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/material/KMaterial.h"

namespace {

DWORD geometryCounter = 0;

constexpr std::uint64_t kVertexBytes = 72;  // the eight vertex arrays, per vertex
constexpr std::uint64_t kBlockSlack = 64;

std::uint64_t AlignUp4(std::uint64_t value) { return (value + 3) & ~std::uint64_t{3}; }

// Gives the render device's buffers of the view back and frees the view.
void ReleaseRenderMesh(Geometry& geometry) {
    RenderMesh& view = geometry.renderMesh;
    if (view.subMeshes == nullptr) return;
    if (OpenGLRenderDevice* device = RenderDevice()) device->ReleaseMeshData(&view);
    EngineFree(view.subMeshes);
    view = RenderMesh{};
}

}  // namespace

DWORD NextGeometrySerial() { return ++geometryCounter; }

bool AllocateSubMesh(SubMesh& subMesh, std::uint32_t faceCount, std::uint32_t vertexCount, std::uint32_t indexCount) {
    const std::uint64_t faceBytes = std::uint64_t{faceCount} * sizeof(MeshFace);
    const std::uint64_t blockBytes = faceBytes + AlignUp4(faceCount) + std::uint64_t{vertexCount} * kVertexBytes;
    // The slack keeps the block's size the one the cache format was laid out for.
    if (blockBytes + kBlockSlack > kMaximumEngineAllocation || std::uint64_t{indexCount} * 2 > kMaximumEngineAllocation)
        return false;
    auto* block = static_cast<std::uint8_t*>(EngineAlloc(static_cast<std::size_t>(blockBytes + kBlockSlack)));
    if (block == nullptr) return false;
    std::uint16_t* indices = nullptr;
    if (indexCount > 0) {
        indices = static_cast<std::uint16_t*>(EngineAlloc(std::size_t{indexCount} * 2));
        if (indices == nullptr) {
            EngineFree(block);
            return false;
        }
        std::memset(indices, 0, std::size_t{indexCount} * 2);
    }
    std::memset(block, 0, static_cast<std::size_t>(blockBytes + kBlockSlack));
    std::uint8_t* at = block;
    auto take = [&at](std::uint64_t bytes) {
        std::uint8_t* start = at;
        at += AlignUp4(bytes);
        return start;
    };
    subMesh.block = block;
    subMesh.faces = reinterpret_cast<MeshFace*>(take(faceBytes));
    subMesh.faceBytes = take(faceCount);
    subMesh.positions = reinterpret_cast<Vector3*>(take(std::uint64_t{vertexCount} * 12));
    subMesh.texCoords = reinterpret_cast<Vector2*>(take(std::uint64_t{vertexCount} * 8));
    subMesh.secondTexCoords = reinterpret_cast<Vector2*>(take(std::uint64_t{vertexCount} * 8));
    subMesh.normals = reinterpret_cast<Vector3*>(take(std::uint64_t{vertexCount} * 12));
    subMesh.tangents = reinterpret_cast<Vector3*>(take(std::uint64_t{vertexCount} * 12));
    subMesh.binormals = reinterpret_cast<Vector3*>(take(std::uint64_t{vertexCount} * 12));
    subMesh.colours = reinterpret_cast<std::uint32_t*>(take(std::uint64_t{vertexCount} * 4));
    subMesh.sourceVertices = reinterpret_cast<std::uint32_t*>(take(std::uint64_t{vertexCount} * 4));
    subMesh.indices = indices;
    subMesh.faceCount = faceCount;
    subMesh.vertexCount = vertexCount;
    subMesh.indexCount = indexCount;
    subMesh.triangleCount = indexCount / 3;
    return true;
}

void FreeSubMesh(SubMesh& subMesh) {
    EngineFree(subMesh.block);
    EngineFree(subMesh.indices);
    subMesh = SubMesh{};
}

SubMeshList* NewSubMeshList(std::uint32_t count) {
    auto* list = static_cast<SubMeshList*>(EngineAlloc(sizeof(SubMeshList)));
    if (list == nullptr) return nullptr;
    *list = SubMeshList{};
    if (count == 0) return list;
    if (std::uint64_t{count} * sizeof(SubMesh) > kMaximumEngineAllocation) {
        EngineFree(list);
        return nullptr;
    }
    list->subMeshes = static_cast<SubMesh*>(EngineAlloc(std::size_t{count} * sizeof(SubMesh)));
    if (list->subMeshes == nullptr) {
        EngineFree(list);
        return nullptr;
    }
    for (std::uint32_t i = 0; i < count; ++i) list->subMeshes[i] = SubMesh{};
    list->count = count;
    return list;
}

void FreeSubMeshList(SubMeshList* list) {
    if (list == nullptr) return;
    for (std::uint32_t i = 0; i < list->count; ++i) FreeSubMesh(list->subMeshes[i]);
    EngineFree(list->subMeshes);
    EngineFree(list);
}

void ReleaseGeometry(Geometry& geometry) {
    ReleaseRenderMesh(geometry);
    if ((geometry.flags & kGeometryShared) == 0) FreeSubMeshList(geometry.list);
    geometry.list = nullptr;
    geometry.flags &= ~kGeometryShared;
}

void SetSubMeshList(Geometry& geometry, SubMeshList* list) {
    ReleaseGeometry(geometry);
    geometry.list = list;
    geometry.kind = kGeometrySubMeshList;
    geometry.serial = NextGeometrySerial();
}

bool CopyGeometry(const Geometry& source, Geometry& target) {
    if (&source == &target) return true;
    ReleaseGeometry(target);
    target.flags = source.flags & ~kGeometryShared;
    target.kind = source.kind;
    target.reserved = source.reserved;
    target.identifier = source.identifier;
    target.serial = NextGeometrySerial();
    if (source.list == nullptr) return true;
    SubMeshList* list = NewSubMeshList(source.list->count);
    if (list == nullptr) return false;
    for (std::uint32_t i = 0; i < list->count; ++i) {
        const SubMesh& from = source.list->subMeshes[i];
        SubMesh& to = list->subMeshes[i];
        if (!AllocateSubMesh(to, from.faceCount, from.vertexCount, from.indexCount)) {
            FreeSubMeshList(list);
            return false;
        }
        to.reserved = from.reserved;
        to.triangleCount = from.triangleCount;
        to.material = from.material;
        // The arrays lie in the same order and alignment in both blocks.
        const auto* fromBlock = static_cast<const std::uint8_t*>(from.block);
        const auto* fromEnd = reinterpret_cast<const std::uint8_t*>(from.sourceVertices + from.vertexCount);
        std::memcpy(to.block, fromBlock, static_cast<std::size_t>(fromEnd - fromBlock));
        if (from.indexCount > 0) std::memcpy(to.indices, from.indices, std::size_t{from.indexCount} * 2);
    }
    target.list = list;
    return true;
}

RenderMesh* GeometryRenderMesh(Geometry& geometry) {
    SubMeshList* list = geometry.list;
    if (list == nullptr || list->count == 0 || geometry.kind != kGeometrySubMeshList) return nullptr;
    RenderMesh& view = geometry.renderMesh;
    if (view.subMeshes == nullptr) {
        view.subMeshes = static_cast<RenderSubMesh*>(EngineAlloc(std::size_t{list->count} * sizeof(RenderSubMesh)));
        if (view.subMeshes == nullptr) return nullptr;
        for (std::uint32_t i = 0; i < list->count; ++i) {
            const SubMesh& subMesh = list->subMeshes[i];
            RenderSubMesh& part = view.subMeshes[i];
            part = RenderSubMesh{};
            part.vertexCount = subMesh.vertexCount;
            part.positions = subMesh.positions;
            part.normals = subMesh.normals;
            part.texCoords = subMesh.texCoords;
            part.colours = subMesh.colours;
            part.indexCount = subMesh.indexCount;
            part.indices = subMesh.indices;
        }
        view.kind = kMeshIndexedTriangles;
        view.subMeshCount = list->count;
    }
    // Materials may have changed their flags or textures since the last frame.
    for (std::uint32_t i = 0; i < list->count; ++i) {
        KMaterial* material = list->subMeshes[i].material;
        view.subMeshes[i].material = material != nullptr ? material->RenderView() : nullptr;
    }
    return &view;
}

std::uint32_t GetVertexCount(const SubMeshList* list) {
    if (list == nullptr) return 0;
    std::uint64_t total = 0;
    for (std::uint32_t i = 0; i < list->count; ++i) total += list->subMeshes[i].vertexCount;
    return total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(total);
}

Vector3 GetVertexPosition(const SubMeshList* list, std::uint32_t index) {
    if (list == nullptr || list->count == 0) return Vector3{0, 0, 0};
    for (std::uint32_t i = 0; i < list->count; ++i) {
        const SubMesh& subMesh = list->subMeshes[i];
        if (index < subMesh.vertexCount) return subMesh.positions[index];
        index -= subMesh.vertexCount;
    }
    const SubMesh& first = list->subMeshes[0];
    return first.vertexCount > 0 ? first.positions[0] : Vector3{0, 0, 0};
}
