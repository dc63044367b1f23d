// The geometry record: the static polygon geometry every mesh node and skinned object
// carries: sub-meshes of one material each, with their faces, 16-bit triangle indices and
// per-vertex arrays, and the render queue's view of them. Faces are stored in the 104-byte
// record that the text format and the ".kgc" cache share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/render/RenderMesh.h"
#include "platform/base/Types.h"

class KMaterial;

// Geometry flags.
constexpr DWORD kGeometryFaces = 0x1;
constexpr DWORD kGeometryPositions = 0x2;
constexpr DWORD kGeometryTexCoords = 0x4;
constexpr DWORD kGeometrySecondTexCoords = 0x8;
constexpr DWORD kGeometryNormals = 0x10;
constexpr DWORD kGeometryColours = 0x20;
constexpr DWORD kGeometrySourceVertices = 0x40;
constexpr DWORD kGeometryShared = 0x80;  // a clone's record: the arrays belong to its source
constexpr DWORD kGeometryTangents = 0x800;
constexpr DWORD kGeometryIdentifier = 0x2000;
constexpr DWORD kGeometrySkinned = 0x4000;
constexpr DWORD kGeometryEmissiveFaces = 0x8000;      // a face's material has kMaterialEmissive
constexpr DWORD kGeometryTransparentFaces = 0x10000;  // a face's material has kMaterialTransparent
// Every array a built sub-mesh list carries.
constexpr DWORD kGeometryBuiltArrays = kGeometryFaces | kGeometryPositions | kGeometryTexCoords |
                                       kGeometrySecondTexCoords | kGeometryNormals | kGeometryTangents |
                                       kGeometryColours | kGeometrySourceVertices;

// Geometry kinds: 1 is the sub-mesh list; any other kind would be the render device's own.
constexpr DWORD kGeometrySubMeshList = 1;

// Face flags. Bits 0-1 hold the axis of the largest normal component (0 X, 1 Y, 2 Z).
constexpr DWORD kFaceAxisMask = 0x3;
constexpr DWORD kFaceTwoSided = 0x4;
constexpr DWORD kFaceFileMark = 0x200;  // in a text file it also sets kFaceMarked
constexpr DWORD kFaceMarked = 0x80;

constexpr std::uint32_t kMaxFaceCorners = 8;
// 16-bit indices reach this many vertices of one sub-mesh.
constexpr std::uint32_t kMaxSubMeshVertices = 65536;

// One face: the unit of the text format and of the ".kgc" file (104 bytes, little-endian).
struct MeshFace {
    DWORD flags;
    DWORD reserved[2];
    Vector3 normal;             // unit plane normal
    float distance;             // normal . second corner
    std::uint32_t cornerCount;  // 2 to 8
    std::uint32_t corners[kMaxFaceCorners];
    // The material's place in the record: its sub-mesh names the material in memory; in a
    // file the word means nothing and is carried as it is.
    std::uint32_t materialWord;
    // The face's texture mapping: the directions in which the first and the second texture
    // coordinate grow, and the translation column.
    Vector3 tangentRow;
    Vector3 binormalRow;
    Vector3 offsets;
};
static_assert(sizeof(MeshFace) == 104, "a face record is 104 bytes");

// A billboard of a text mesh (read and checked, never kept by the loaders).
struct MeshBillboard {
    DWORD reserved[3];
    float rotation;  // radians
    Vector3 position;
    float width;
    float height;
    KMaterial* material;
};

// All faces of one material.
struct SubMesh {
    DWORD reserved = 0;
    std::uint32_t indexCount = 0;  // 3 x triangleCount
    std::uint32_t triangleCount = 0;
    std::uint32_t faceCount = 0;
    std::uint32_t vertexCount = 0;
    std::uint16_t* indices = nullptr;  // its own allocation
    KMaterial* material = nullptr;     // not owned: the material list's
    // The faces, face bytes and vertex arrays share one allocation (`block`).
    MeshFace* faces = nullptr;
    std::uint8_t* faceBytes = nullptr;
    Vector3* positions = nullptr;
    Vector2* texCoords = nullptr;
    Vector2* secondTexCoords = nullptr;
    Vector3* normals = nullptr;
    Vector3* tangents = nullptr;
    Vector3* binormals = nullptr;
    std::uint32_t* colours = nullptr;  // 0xAARRGGBB
    std::uint32_t* sourceVertices = nullptr;
    void* block = nullptr;
};

struct SubMeshList {
    std::uint32_t count = 0;
    SubMesh* subMeshes = nullptr;  // owned, `count` records
};

struct Geometry {
    DWORD flags = 0;
    DWORD serial = 0;  // from the engine's geometry counter; not saved
    DWORD kind = kGeometrySubMeshList;
    SubMeshList* list = nullptr;  // owned unless kGeometryShared
    DWORD reserved = 0;           // saved with the identifier
    DWORD identifier = 0;         // given when the geometry is first built from text
    // The render queue's view of the sub-meshes (the device's buffers hang in it).
    RenderMesh renderMesh;
};

// The next number of the engine's geometry counter (from 1).
DWORD NextGeometrySerial();

// Allocates a sub-mesh's shared block for its counts (faceCount x 105 + vertexCount x 72 +
// 64 bytes, each array on a 4-byte boundary, all zero) and its index array. False, with
// nothing allocated, when the sizes are too large or memory runs out.
bool AllocateSubMesh(SubMesh& subMesh, std::uint32_t faceCount, std::uint32_t vertexCount, std::uint32_t indexCount);
// Frees the sub-mesh's block and indices.
void FreeSubMesh(SubMesh& subMesh);
// A list of `count` empty sub-meshes; null when memory runs out.
SubMeshList* NewSubMeshList(std::uint32_t count);
// Frees every sub-mesh and the list.
void FreeSubMeshList(SubMeshList* list);

// The render device drops its data of the geometry, then every array and the list go (a
// shared record only forgets them). The record is empty afterwards.
void ReleaseGeometry(Geometry& geometry);
// Replaces the target's content with a deep copy of the source's, with a new serial. False,
// with the target empty, when memory runs out.
bool CopyGeometry(const Geometry& source, Geometry& target);
// Takes the list (owned), with kind 1 and a new serial; what the geometry held before is
// released.
void SetSubMeshList(Geometry& geometry, SubMeshList* list);

// The render queue's view of the geometry's sub-meshes, made on first use: their arrays,
// indices and the materials' render views. Null without sub-meshes or memory.
RenderMesh* GeometryRenderMesh(Geometry& geometry);

// The vertices of all sub-meshes together, and the position of the i-th of them counted
// through the sub-meshes in order (an index past the end, the first sub-mesh's first
// position; (0, 0, 0) without vertices).
std::uint32_t GetVertexCount(const SubMeshList* list);
Vector3 GetVertexPosition(const SubMeshList* list, std::uint32_t index);
