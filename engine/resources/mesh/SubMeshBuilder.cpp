// Building sub-meshes from text mesh data: faces grouped by material, vertices welded
// through a hash of their exact values, triangles as fans.
#include <cstring>

#include "engine/core/memory/EngineArray.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/resources/mesh/MeshBuild.h"
#include "engine/resources/mesh/MeshText.h"
#include "engine/resources/mesh/MeshVertex.h"

namespace {

using BuilderVertex = MeshVertex;

bool SameVertex(const BuilderVertex& a, const BuilderVertex& b) {
    auto same3 = [](const Vector3& p, const Vector3& q) { return p.x == q.x && p.y == q.y && p.z == q.z; };
    auto same2 = [](const Vector2& p, const Vector2& q) { return p.x == q.x && p.y == q.y; };
    return same3(a.position, b.position) && same2(a.texCoord, b.texCoord) &&
           same2(a.secondTexCoord, b.secondTexCoord) && same3(a.normal, b.normal) && same3(a.tangent, b.tangent) &&
           same3(a.binormal, b.binormal) && a.colour == b.colour && a.sourceVertex == b.sourceVertex;
}

// Equal floats hash alike: -0 is folded onto 0 (NaN is never equal, so its hash is free).
std::uint32_t FloatBits(float value) {
    if (value == 0.0f) value = 0.0f;
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::uint32_t HashVertex(const BuilderVertex& vertex) {
    const float floats[] = {vertex.position.x, vertex.position.y, vertex.position.z, vertex.texCoord.x,
                            vertex.texCoord.y, vertex.normal.x,   vertex.normal.y,   vertex.normal.z};
    std::uint32_t hash = 2166136261u;
    for (float value : floats) hash = (hash ^ FloatBits(value)) * 16777619u;
    hash = (hash ^ vertex.colour) * 16777619u;
    hash = (hash ^ vertex.sourceVertex) * 16777619u;
    return hash ^ (hash >> 15);
}

// The faces of one sub-mesh to be, and its welded vertices.
struct Group : EngineAllocated {
    KMaterial* material = nullptr;
    bool open = true;  // faces of its material still join it
    EngineArray<BuilderVertex> vertices;
    EngineArray<MeshFace> faces;
    // Open addressing: slot = vertex number + 1, 0 empty; kept at most half full.
    EngineArray<std::uint32_t> slots;

    bool Rehash(std::size_t slotCount) {
        if (!slots.Resize(0) || !slots.Resize(slotCount)) return false;
        for (std::size_t v = 0; v < vertices.Count(); ++v) {
            std::size_t at = HashVertex(vertices[v]) & (slotCount - 1);
            while (slots[at] != 0) at = (at + 1) & (slotCount - 1);
            slots[at] = static_cast<std::uint32_t>(v + 1);
        }
        return true;
    }

    // The number of an equal vertex, or of the vertex appended; -1 when memory runs out.
    std::int64_t Weld(const BuilderVertex& vertex) {
        if ((vertices.Count() + 1) * 2 > slots.Count() && !Rehash(slots.Count() == 0 ? 64 : slots.Count() * 2))
            return -1;
        const std::size_t mask = slots.Count() - 1;
        std::size_t at = HashVertex(vertex) & mask;
        while (slots[at] != 0) {
            const std::uint32_t held = slots[at] - 1;
            if (SameVertex(vertices[held], vertex)) return held;
            at = (at + 1) & mask;
        }
        if (!vertices.Append(vertex)) return -1;
        slots[at] = static_cast<std::uint32_t>(vertices.Count());
        return static_cast<std::int64_t>(vertices.Count() - 1);
    }
};

class GroupSet {
public:
    ~GroupSet() {
        for (std::size_t i = 0; i < groups_.Count(); ++i) delete groups_[i];
    }
    // The open group of the material that can take `corners` more vertices; a new one when
    // there is none. Null when memory runs out.
    Group* For(KMaterial* material, std::uint32_t corners) {
        Group* group = last_ != nullptr && last_->material == material ? last_ : nullptr;
        for (std::size_t i = 0; group == nullptr && i < groups_.Count(); ++i)
            if (groups_[i]->material == material && groups_[i]->open) group = groups_[i];
        if (group != nullptr && group->vertices.Count() + corners > kMaxSubMeshVertices) {
            group->open = false;
            group = nullptr;
        }
        if (group == nullptr) {
            group = new Group;
            if (group == nullptr) return nullptr;
            if (!groups_.Append(group)) {
                delete group;
                return nullptr;
            }
            group->material = material;
        }
        last_ = group;
        return group;
    }
    std::size_t Count() const { return groups_.Count(); }
    Group& operator[](std::size_t index) { return *groups_[index]; }

private:
    EngineArray<Group*> groups_;
    Group* last_ = nullptr;
};

BuilderVertex TextVertex(const MeshText& text, std::uint32_t index) {
    BuilderVertex vertex{};
    vertex.position = text.positions[index];
    if (text.texCoords != nullptr) vertex.texCoord = text.texCoords[index];
    if (text.normals != nullptr) vertex.normal = text.normals[index];
    // Tangent and binormal start as the normal; the tangent pass replaces them.
    vertex.tangent = vertex.normal;
    vertex.binormal = vertex.normal;
    vertex.colour = text.colours != nullptr ? text.colours[index] : 0xFFFFFFFFu;
    vertex.sourceVertex = text.sourceVertices != nullptr ? text.sourceVertices[index] : 0;
    return vertex;
}

}  // namespace

int BuildSubMeshes(Geometry& geometry, const MeshText& text) {
    if (text.faceCount == 0 || text.vertexCount == 0) return 0;
    GroupSet groups;
    for (std::uint32_t f = 0; f < text.faceCount; ++f) {
        MeshFace face = text.faces[f];
        if (face.cornerCount < 2 || face.cornerCount > kMaxFaceCorners) return 0;
        Group* group = groups.For(text.faceMaterials[f], face.cornerCount);
        if (group == nullptr) return 0;
        for (std::uint32_t c = 0; c < face.cornerCount; ++c) {
            if (face.corners[c] >= text.vertexCount) return 0;
            const std::int64_t welded = group->Weld(TextVertex(text, face.corners[c]));
            if (welded < 0) return 0;
            face.corners[c] = static_cast<std::uint32_t>(welded);
        }
        for (std::uint32_t c = face.cornerCount; c < kMaxFaceCorners; ++c) face.corners[c] = 0;
        face.materialWord = 0;
        if (!group->faces.Append(face)) return 0;
    }
    SubMeshList* list = NewSubMeshList(static_cast<std::uint32_t>(groups.Count()));
    if (list == nullptr) return 0;
    for (std::size_t g = 0; g < groups.Count(); ++g) {
        Group& group = groups[g];
        if (group.vertices.IsEmpty() ||
            !FillSubMesh(list->subMeshes[g], group.material, group.faces.Data(), group.faces.Count(),
                         group.vertices.Data(), group.vertices.Count())) {
            FreeSubMeshList(list);
            return 0;
        }
    }
    SetSubMeshList(geometry, list);
    geometry.flags = (geometry.flags & ~(kGeometryEmissiveFaces | kGeometryTransparentFaces)) | kGeometryBuiltArrays |
                     text.materialMarks;
    return 1;
}

int BuildGeometryFromText(Geometry& geometry, const MeshText& text) {
    if (BuildSubMeshes(geometry, text) == 0) return 0;
    ComputeFacePlanes(geometry.list);
    ComputeFaceTextureFrames(geometry);
    ComputeVertexTangents(geometry.list);
    return 1;
}
