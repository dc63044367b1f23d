// The ".kgc" geometry cache: written and read as blocks, every count and index of a file
// checked against the file and the arrays before it is used.
#include "engine/resources/mesh/GeometryCache.h"

#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/material/MaterialList.h"

#define MESH_LOG(format, ...) LogException(format, "mesh", __LINE__ __VA_OPT__(, ) __VA_ARGS__)

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the cache's blocks are read as they lie in memory");

namespace {

constexpr std::uint32_t kHeaderWords = 7;
constexpr std::uint32_t kNameBytes = 256;
constexpr std::uint64_t kSubMeshFixedBytes = kHeaderWords * 4 + kNameBytes;
constexpr std::uint64_t kVertexFileBytes = 72;

std::uint64_t SubMeshArrayBytes(std::uint64_t faces, std::uint64_t vertices, std::uint64_t indices) {
    return faces * (sizeof(MeshFace) + 1) + vertices * kVertexFileBytes + indices * 2 + (indices % 2 != 0 ? 2 : 0);
}

// The blocks of a sub-mesh in file order, with their sizes.
template <typename Visit>
bool ForEachArray(const SubMesh& subMesh, Visit visit) {
    const std::uint64_t faces = subMesh.faceCount;
    const std::uint64_t vertices = subMesh.vertexCount;
    return visit(subMesh.faces, faces * sizeof(MeshFace)) && visit(subMesh.faceBytes, faces) &&
           visit(subMesh.positions, vertices * 12) && visit(subMesh.texCoords, vertices * 8) &&
           visit(subMesh.secondTexCoords, vertices * 8) && visit(subMesh.normals, vertices * 12) &&
           visit(subMesh.tangents, vertices * 12) && visit(subMesh.binormals, vertices * 12) &&
           visit(subMesh.colours, vertices * 4) && visit(subMesh.sourceVertices, vertices * 4) &&
           visit(subMesh.indices, std::uint64_t{subMesh.indexCount} * 2);
}

bool WriteBlock(FileStream& stream, const void* data, std::uint64_t bytes) {
    return bytes == 0 || stream.Write(data, static_cast<DWORD>(bytes)) == bytes;
}

bool ReadBlock(FileStream& stream, void* data, std::uint64_t bytes) {
    return bytes == 0 || stream.Read(data, static_cast<DWORD>(bytes)) == bytes;
}

std::uint64_t Remaining(const FileStream& stream) {
    const std::uint64_t size = stream.Size();
    const std::uint64_t at = stream.Tell();
    return at < size ? size - at : 0;
}

class CacheReader {
public:
    explicit CacheReader(FileStream& stream) : stream_(stream) {}

    bool Words(std::uint32_t* words, std::uint32_t count) {
        return ReadBlock(stream_, words, std::uint64_t{count} * 4);
    }
    bool SubMeshFrom(SubMesh& subMesh, std::uint32_t number);

private:
    bool Fail(const char* what, std::uint32_t number) {
        MESH_LOG("%s: sub-mesh %u %s", LastOpenedFileName(), static_cast<unsigned>(number), what);
        return false;
    }
    FileStream& stream_;
};

bool CacheReader::SubMeshFrom(SubMesh& subMesh, std::uint32_t number) {
    std::uint32_t header[kHeaderWords];
    char name[kNameBytes];
    if (!Words(header, kHeaderWords) || !ReadBlock(stream_, name, kNameBytes))
        return Fail("ends inside its header.", number);
    const std::uint32_t indexCount = header[1];
    const std::uint32_t triangleCount = header[2];
    const std::uint32_t faceCount = header[3];
    const std::uint32_t vertexCount = header[4];
    if (std::uint64_t{triangleCount} * 3 != indexCount)
        return Fail("has an index count that is not 3 x its triangles.", number);
    if (vertexCount > kMaxSubMeshVertices) return Fail("has more vertices than 16-bit indices reach.", number);
    if (SubMeshArrayBytes(faceCount, vertexCount, indexCount) > Remaining(stream_))
        return Fail("has more faces, vertices or indices than the file holds.", number);
    if (std::memchr(name, 0, kNameBytes) == nullptr) return Fail("has a material name without its end.", number);
    if (!AllocateSubMesh(subMesh, faceCount, vertexCount, indexCount))
        return Fail("finds no memory for its arrays.", number);
    subMesh.reserved = header[0];
    if (!ForEachArray(subMesh, [this](void* data, std::uint64_t bytes) { return ReadBlock(stream_, data, bytes); }))
        return Fail("ends inside its arrays.", number);
    if (indexCount % 2 != 0) {
        std::uint8_t pad[2];
        if (!ReadBlock(stream_, pad, 2)) return Fail("ends inside its arrays.", number);
    }
    for (std::uint32_t f = 0; f < faceCount; ++f) {
        const MeshFace& face = subMesh.faces[f];
        if (face.cornerCount < 2 || face.cornerCount > kMaxFaceCorners)
            return Fail("has a face of too few or too many corners.", number);
        for (std::uint32_t c = 0; c < face.cornerCount; ++c)
            if (face.corners[c] >= vertexCount) return Fail("has a face corner past its vertices.", number);
    }
    for (std::uint32_t i = 0; i < indexCount; ++i)
        if (subMesh.indices[i] >= vertexCount) return Fail("has an index past its vertices.", number);
    MaterialList* list = CurrentMaterialList();
    subMesh.material = list != nullptr ? list->FindOrLoad(name) : nullptr;
    if (subMesh.material == nullptr) return Fail("names a material that cannot be had, nor \"default\".", number);
    return true;
}

}  // namespace

int WriteGeometry(const Geometry& geometry, FileStream& stream) {
    if (geometry.kind != kGeometrySubMeshList) {
        MESH_LOG("A geometry of kind %u is the render device's and is not written to a cache.",
                 static_cast<unsigned>(geometry.kind));
        return 1;
    }
    const SubMeshList* list = geometry.list;
    const std::uint32_t count = list != nullptr ? list->count : 0;
    std::uint32_t head[5] = {geometry.kind, geometry.flags & ~kGeometryShared, geometry.reserved, geometry.identifier,
                             0};
    bool written = WriteBlock(stream, &head[0], 8);
    if ((geometry.flags & kGeometryIdentifier) != 0) written = written && WriteBlock(stream, &head[2], 8);
    written = written && WriteBlock(stream, &count, 4);
    for (std::uint32_t s = 0; written && s < count; ++s) {
        const SubMesh& subMesh = list->subMeshes[s];
        // The device's handles and the billboards are not saved.
        const std::uint32_t header[kHeaderWords] = {
            subMesh.reserved, subMesh.indexCount, subMesh.triangleCount, subMesh.faceCount, subMesh.vertexCount, 0, 0};
        char name[kNameBytes] = {};
        const char* materialName = subMesh.material != nullptr ? subMesh.material->name.Text() : "";
        const std::size_t length = std::strlen(materialName);
        if (length >= kNameBytes) {
            MESH_LOG("The material name '%s' is longer than a cache holds.", materialName);
            return 1;
        }
        std::memcpy(name, materialName, length);
        written = WriteBlock(stream, header, sizeof header) && WriteBlock(stream, name, kNameBytes) &&
                  ForEachArray(subMesh, [&stream](const void* data, std::uint64_t bytes) {
                      return WriteBlock(stream, data, bytes);
                  });
        if (written && subMesh.indexCount % 2 != 0) {
            const std::uint8_t pad[2] = {0, 0};
            written = WriteBlock(stream, pad, 2);
        }
    }
    return written ? 0 : 1;
}

int ReadGeometry(Geometry& geometry, FileStream& stream) {
    CacheReader reader(stream);
    std::uint32_t head[2];
    if (!reader.Words(head, 2)) {
        MESH_LOG("%s: the geometry cache ends inside its header.", LastOpenedFileName());
        return 1;
    }
    if (head[0] != kGeometrySubMeshList) {
        MESH_LOG("%s: the geometry is of kind %u, which the render device does not read.", LastOpenedFileName(),
                 static_cast<unsigned>(head[0]));
        return 1;
    }
    std::uint32_t identity[2] = {0, 0};
    std::uint32_t count = 0;
    if (((head[1] & kGeometryIdentifier) != 0 && !reader.Words(identity, 2)) || !reader.Words(&count, 1)) {
        MESH_LOG("%s: the geometry cache ends inside its header.", LastOpenedFileName());
        return 1;
    }
    if (std::uint64_t{count} * kSubMeshFixedBytes > Remaining(stream)) {
        MESH_LOG("%s: %u sub-meshes are more than the file holds.", LastOpenedFileName(), static_cast<unsigned>(count));
        return 1;
    }
    SubMeshList* list = NewSubMeshList(count);
    if (list == nullptr) return 1;
    for (std::uint32_t s = 0; s < count; ++s) {
        if (!reader.SubMeshFrom(list->subMeshes[s], s)) {
            FreeSubMeshList(list);
            return 1;
        }
    }
    SetSubMeshList(geometry, list);
    geometry.flags = head[1] & ~kGeometryShared;
    geometry.reserved = identity[0];
    geometry.identifier = identity[1];
    return 0;
}
