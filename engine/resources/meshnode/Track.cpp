// The track node: its geometry and device data, its frame tables and drawing a frame.
#include "engine/resources/meshnode/Track.h"

#include "engine/render/OpenGLRenderDevice.h"

Track::Track() {
    SetFlagBits(kNodeMesh, true);
    geometry_.kind = 0;
}

Track::~Track() {
    ReleaseOwnDeviceData();
    FreeTables();
    ReleaseCollisionRecord(collision_);
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

void Track::ComputeBounds() { ComputeGeometryBounds(*this, geometry_); }

bool Track::BuildCollision() { return BuildCollisionRecord(geometry_, collision_); }

int Track::ReleaseOwnDeviceData() { return ReleaseGeometryDeviceData(geometry_); }

int Track::CreateOwnDeviceData() { return CreateGeometryDeviceData(geometry_); }

int Track::PrepareOwn(void*) {
    CreateOwnDeviceData();
    return 0;
}

void Track::ApplyLighting(void* argument) { LightGeometry(*this, geometry_, argument); }
