// Track: a mesh node for scenery seen from a camera that moves along a fixed path. For every
// frame of the path it knows which faces can be seen and draws only those: one index range a
// sub-mesh. The ranges come from the path and the node's face tree once, and are kept in the
// cache file "objects/<node name>.track", which later runs read instead.
#pragma once

#include <cstdint>

#include "engine/core/node/KNode.h"
#include "engine/resources/mesh/Geometry.h"
#include "engine/resources/meshnode/MeshObject.h"
#include "platform/base/Types.h"

class FileStream;

// A strip's indices stay 16-bit: 3 x triangles must stay below this.
constexpr std::uint32_t kTrackIndexLimit = 65536;
// Longer paths are refused from a cache.
constexpr std::uint32_t kMaxTrackFrames = 65536;
// LoadCache takes any frame count.
constexpr std::uint32_t kAnyTrackFrameCount = 0xFFFFFFFFu;

class Track : public KNode {
    KEL_DECLARE_TYPE(Track, KNode, "Track")

public:
    // Node flag kNodeMesh; a Track stays off the database's mesh list.
    Track();
    // Releases the device data, the frame tables, the collision record and the geometry.
    ~Track() override;

    KNode* CreateInstance(void* argument) override;
    const char* GetClassId() const override;
    void ApplyLighting(void* argument) override;

    // The frame tables from the cache when it holds this path's frame count and this
    // geometry's sub-meshes; otherwise computed from the face tree for the camera at each
    // position looking along each rotation (a field of view of 0 or below looks all round),
    // seeing faces within `distance`, and written to the cache (best effort). 1 when ready;
    // 0 when a sub-mesh would need 65536 indices or more, or memory runs out.
    int Build(const Vector3* positions, const Quaternion* rotations, float fieldOfView, std::uint32_t frameCount,
              float distance);
    // Submits every sub-mesh's index range of the frame (clamped to 0 .. F - 1) to the render
    // device; the number of ranges submitted.
    int Draw(void* argument, std::int32_t position);
    // 0 when the stream held a whole cache that fits the geometry (as many strips as
    // sub-meshes, indices inside their sub-mesh, ranges inside the index lists, nothing after
    // the end, `expectedFrames` frames unless any are accepted); the tables and index lists
    // are then taken. 1 otherwise, and nothing changes.
    int LoadCache(FileStream& stream, std::uint32_t expectedFrames = kAnyTrackFrameCount);
    // Writes the cache; 0, or 1 when the stream took less.
    int SaveCache(FileStream& stream);

    Geometry& GetGeometry() { return geometry_; }
    CollisionRecord& Collision() { return collision_; }
    // The node's box and sphere, and the face tree, from the geometry.
    void ComputeBounds();
    bool BuildCollision();

    std::uint32_t FrameCount() const { return frameCount_; }
    std::uint32_t StripCount() const { return stripCount_; }
    std::uint32_t IndexCount(std::uint32_t strip) const;
    // The strip's index range at a frame (clamped as Draw does); false when it has none.
    bool FrameRange(std::uint32_t strip, std::int32_t position, std::uint32_t& first, std::uint32_t& count) const;

protected:
    int PrepareOwn(void* argument) override;
    int ReleaseOwnDeviceData() override;
    int CreateOwnDeviceData() override;

private:
    struct Strip {
        std::uint32_t indexCount;
        std::uint16_t* first;  // F entries
        std::uint16_t* end;
    };

    void FreeTables();
    // Takes the new tables and hands each index list to its sub-mesh.
    void Adopt(std::uint32_t frameCount, std::uint32_t stripCount, Strip* strips, std::uint16_t** indexLists);
    std::uint32_t SubMeshCount() const { return geometry_.list != nullptr ? geometry_.list->count : 0; }

    Geometry geometry_;
    CollisionRecord collision_;
    std::uint32_t frameCount_ = 0;
    std::uint32_t stripCount_ = 0;
    Strip* strips_ = nullptr;  // stripCount_ entries
};

// "Create_Track" of the core module.
Interface* CreateTrack();
