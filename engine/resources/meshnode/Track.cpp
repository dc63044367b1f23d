// The track node: its geometry and device data, its frame tables and drawing a frame.
#include "engine/resources/meshnode/Track.h"

#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/collision/FaceTree.h"
#include "engine/resources/mesh/MeshBuild.h"

Track::Track() {
    SetFlagBits(kNodeMesh, true);
    geometry_.kind = 0;
}

Track::~Track() {
    ReleaseOwnDeviceData();
    FreeTables();
    if ((collision_.flags & kCollisionShared) == 0) delete collision_.tree;
    collision_ = CollisionRecord{};
    ReleaseGeometry(geometry_);
}

KNode* Track::CreateInstance(void*) { return new Track(); }

const char* Track::GetClassId() const { return "libkel/Track"; }

Interface* CreateTrack() { return new Track(); }

void Track::FreeTables() {
    for (std::uint32_t s = 0; s < stripCount_ && strips_ != nullptr; ++s) {
        EngineFree(strips_[s].first);
        EngineFree(strips_[s].end);
    }
    EngineFree(strips_);
    strips_ = nullptr;
    stripCount_ = 0;
    frameCount_ = 0;
}

void Track::Adopt(std::uint32_t frameCount, std::uint32_t stripCount, Strip* strips, std::uint16_t** indexLists) {
    ReleaseOwnDeviceData();
    FreeTables();
    frameCount_ = frameCount;
    stripCount_ = stripCount;
    strips_ = strips;
    RenderMesh& view = geometry_.renderMesh;
    for (std::uint32_t s = 0; s < stripCount; ++s) {
        SubMesh& subMesh = geometry_.list->subMeshes[s];
        EngineFree(subMesh.indices);
        subMesh.indices = indexLists[s];
        subMesh.indexCount = strips[s].indexCount;
        subMesh.triangleCount = strips[s].indexCount / 3;
        // The render view reads the sub-mesh's indices; its buffers are made again on use.
        if (view.subMeshes != nullptr && s < view.subMeshCount) {
            view.subMeshes[s].indices = subMesh.indices;
            view.subMeshes[s].indexCount = subMesh.indexCount;
        }
    }
}

std::uint32_t Track::IndexCount(std::uint32_t strip) const {
    return strip < stripCount_ && strips_ != nullptr ? strips_[strip].indexCount : 0;
}

bool Track::FrameRange(std::uint32_t strip, std::int32_t position, std::uint32_t& first, std::uint32_t& count) const {
    first = count = 0;
    if (frameCount_ == 0 || strip >= stripCount_ || strips_ == nullptr) return false;
    std::uint32_t frame = position < 0 ? 0 : static_cast<std::uint32_t>(position);
    if (frame >= frameCount_) frame = frameCount_ - 1;
    const Strip& entry = strips_[strip];
    if (entry.end[frame] <= entry.first[frame]) return false;
    first = entry.first[frame];
    count = static_cast<std::uint32_t>(entry.end[frame] - entry.first[frame]);
    return true;
}

int Track::Draw(void*, std::int32_t position) {
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr || frameCount_ == 0) return 0;
    RenderMesh* mesh = GeometryRenderMesh(geometry_);
    if (mesh == nullptr) return 0;
    RenderTransform transform;
    GetWorldMatrix(transform.world);
    int submitted = 0;
    for (std::uint32_t s = 0; s < stripCount_; ++s) {
        std::uint32_t first = 0;
        std::uint32_t count = 0;
        if (!FrameRange(s, position, first, count)) continue;
        device->SubmitMeshRange(mesh, s, first, count, transform);
        ++submitted;
    }
    return submitted;
}

void Track::ComputeBounds() {
    NodeBounds& bounds = Bounds();
    AxisBox box{};
    ComputeBoundingBox(geometry_.list, box);
    bounds.boxMin = box.min;
    bounds.boxMax = box.max;
    ComputeBoundingSphere(geometry_.list, bounds.sphereCentre, bounds.radius);
}

bool Track::BuildCollision() {
    FaceTree* tree = BuildFaceTree(geometry_);
    if (tree == nullptr) return false;
    if ((collision_.flags & kCollisionShared) == 0) delete collision_.tree;
    collision_ = CollisionRecord{};
    collision_.flags = kCollisionFaceTree;
    collision_.tree = tree;
    collision_.faceCount = tree->faceCount;
    ComputeBoundingBox(geometry_.list, collision_.bounds);
    return true;
}

int Track::ReleaseOwnDeviceData() {
    OpenGLRenderDevice* device = RenderDevice();
    RenderMesh* mesh = geometry_.list != nullptr ? &geometry_.renderMesh : nullptr;
    if (device == nullptr || mesh == nullptr || mesh->subMeshes == nullptr) return 0;
    device->ReleaseMeshData(mesh);
    return 1;
}

int Track::CreateOwnDeviceData() {
    OpenGLRenderDevice* device = RenderDevice();
    RenderMesh* mesh = device != nullptr ? GeometryRenderMesh(geometry_) : nullptr;
    if (mesh == nullptr) return 0;
    device->PrepareMeshBatches(mesh);
    return 1;
}

int Track::PrepareOwn(void*) {
    CreateOwnDeviceData();
    return 0;
}

void Track::ApplyLighting(void* argument) {
    if (argument == nullptr || geometry_.list == nullptr || geometry_.list->count == 0) return;
    Matrix34 world;
    GetWorldMatrix(world);
    LightVertices(geometry_.list, *static_cast<const RenderLightSet*>(argument), world);
}
