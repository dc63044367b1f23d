// What the render queue draws: a mesh of sub-meshes as the engine's geometry record holds
// them (per-vertex arrays, 16-bit indices and a material each), the transform it is drawn
// with, and the skinned owner whose bones move it. The queue builds buffer objects from a
// sub-mesh's arrays once (PrepareMeshBatches) and keeps them in the sub-mesh.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "platform/base/Types.h"

class TextureData;
struct QueueGeometry;
struct QueueBatch;

// Material flags the queue reads.
constexpr DWORD kMaterialBlended = 0x40;          // drawn after every opaque batch
constexpr DWORD kMaterialConstantColour = 0x80;   // unit 1 multiplies by the record's colour value
constexpr DWORD kMaterialDoubleSided = 0x400;     // no culling
constexpr DWORD kMaterialTextureMatrix = 0x2000;  // the record carries a texture matrix

// A texture stage as the queue draws it: the texture, the sampling flags (0x2000 no
// magnification filter, 0x4000 no minification filter), the coordinate scale and offset,
// and the per-frame scrolling the stage does itself.
class RenderTextureStage {
public:
    virtual TextureData* StageTexture() const = 0;
    virtual DWORD StageFlags() const = 0;
    virtual void StageUvTransform(float& uScale, float& vScale, float& uOffset, float& vOffset) const = 0;
    virtual void UpdateUvAnimation() = 0;

protected:
    ~RenderTextureStage() = default;
};

// What a batch copies of a sub-mesh's material.
struct RenderMaterial {
    DWORD flags = 0;
    RenderTextureStage* stage = nullptr;  // null: drawn untextured, in the vertex colours
};

// Kind of a mesh whose sub-meshes are indexed triangles; only these are queued.
constexpr DWORD kMeshIndexedTriangles = 1;

struct RenderSubMesh {
    std::uint32_t vertexCount = 0;
    const Vector3* positions = nullptr;
    const Vector3* normals = nullptr;        // null: (0, 0, 1)
    Vector2* texCoords = nullptr;            // null: (0, 0); SubmitMeshBakedUv writes them
    const std::uint32_t* colours = nullptr;  // 0xAARRGGBB; null: white
    // Skinned meshes: one palette index and weight a vertex (null: not skinned).
    const std::uint8_t* boneIndices = nullptr;
    const float* boneWeights = nullptr;  // null with indices: 1.0
    std::uint32_t indexCount = 0;
    const std::uint16_t* indices = nullptr;
    bool strip = false;  // the indices form one triangle strip
    // Index ranges by level of detail: [lodFirst[level], lodLast[level]).
    const std::uint16_t* lodFirst = nullptr;
    const std::uint16_t* lodLast = nullptr;
    std::uint32_t lodCount = 0;
    RenderMaterial* material = nullptr;

    // Owned by the render device.
    QueueGeometry* geometry = nullptr;
    QueueBatch* batch = nullptr;  // the batch of the current flush, while queued
};

struct RenderMesh {
    DWORD kind = kMeshIndexedTriangles;
    std::uint32_t subMeshCount = 0;
    RenderSubMesh* subMeshes = nullptr;
    // The texture-coordinate transform SubmitMeshBakedUv writes into the coordinates.
    Vector2 uvScale{1.0f, 1.0f};
    Vector2 uvOffset{0.0f, 0.0f};
};

// How a submission is drawn: world matrix, texture matrix (used with
// kMaterialTextureMatrix), flags added to the material's, and the packed colour value
// that kMaterialConstantColour multiplies by.
struct RenderTransform {
    Matrix34 world = kIdentityMatrix34;
    Matrix34 texture = kIdentityMatrix34;
    DWORD materialFlags = 0;
    DWORD materialValue = 0xFFFFFFFF;
};

// An owner whose bones move its mesh through the matrix palette: each vertex takes the
// world matrix of the bone its palette index names.
class SkinnedOwner {
public:
    virtual std::uint32_t BoneCount() const = 0;
    virtual const Matrix34& BoneWorldMatrix(std::uint32_t bone) const = 0;

protected:
    ~SkinnedOwner() = default;
};
