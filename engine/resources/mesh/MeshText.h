// The text mesh format of ".fmesh" and ".skel" files: sections of numbers (Geometry,
// Billboards, BindInfo, Skeleton) read into plain arrays, which BuildSubMeshes turns into a
// geometry and the skinned object into its bones.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/resources/mesh/Geometry.h"
#include "platform/base/Types.h"

class FileStream;
class KMaterial;

// Vertex format bits of a Geometry section.
constexpr DWORD kMeshTextTexCoords = 0x1;
constexpr DWORD kMeshTextUnsupported = 0x2;
constexpr DWORD kMeshTextNormals = 0x4;
constexpr DWORD kMeshTextColours = 0x8;

constexpr int kMaxBoneInfluences = 4;
constexpr std::size_t kBoneNameCapacity = 64;  // 63 characters and the terminator

// How one vertex is bound to the bones.
struct MeshBindRecord {
    std::int32_t influenceCount;  // 0 to 4
    float weights[kMaxBoneInfluences];
    std::int32_t bones[kMaxBoneInfluences];
};

struct MeshBone {
    Vector3 position;
    Quaternion rotation;
    Vector3 extra;  // the bone's further three numbers, carried as given
    Vector3 localPosition;
    Quaternion localRotation;
    std::int32_t childCount;
    std::int32_t word;  // the number after the child count, carried as given
    char name[kBoneNameCapacity];
};

// Everything a text mesh file gave. The arrays are engine allocations that FreeMeshText
// gives back; faces' corners are vertex numbers of the file.
struct MeshText {
    std::uint32_t faceCount = 0;
    std::uint32_t vertexCount = 0;
    MeshFace* faces = nullptr;
    KMaterial** faceMaterials = nullptr;  // the material of each face
    Vector3* positions = nullptr;
    Vector2* texCoords = nullptr;             // null without format 0x1
    Vector3* normals = nullptr;               // null without format 0x4
    std::uint32_t* colours = nullptr;         // null without format 0x8
    std::uint32_t* sourceVertices = nullptr;  // with a Skeleton section: vertex i has i
    std::uint32_t billboardCount = 0;
    MeshBillboard* billboards = nullptr;
    MeshBindRecord* bindRecords = nullptr;  // vertexCount records, with a BindInfo section
    std::uint32_t boneCount = 0;
    MeshBone* bones = nullptr;
    std::int32_t* childIndices = nullptr;  // boneCount - 1 indices, each below boneCount
    // kGeometryEmissiveFaces and kGeometryTransparentFaces from the faces' materials.
    DWORD materialMarks = 0;
};

// Reads the whole file. 1 on success; 0 on failure, with `out` empty again. A face count or
// vertex count of 0, a count no file of that length could hold, a face of fewer than 2 or
// more than 8 corners, a corner past the vertex count, vertex format 0x2, a "Portals"
// section, a section word without "{", a section that ends before its "}", a billboard count
// of 0, a BindInfo before any Geometry or with more than 4 influences, a Skeleton of no bones
// or with a child index outside its bones, and a material name the material list cannot
// give (KMaterial::FindOrCreate) all fail the read (logged with the file's name).
int ReadMeshText(FileStream& stream, const char* fileName, MeshText& out);
void FreeMeshText(MeshText& text);

// The material of a name in a text mesh: the current list's (loaded from its ".kml" file
// when it is not listed yet, so that a mesh read from text draws as it will from its
// cache), else KMaterial::FindOrCreate's. Null when neither gives one.
KMaterial* TextMeshMaterial(const char* name);
