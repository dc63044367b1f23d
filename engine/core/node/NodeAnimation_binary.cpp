// NodeAnimation's binary body: the header, the start pose, then the keys of every frame in
// the order positions, rotations, camera keys (CAMERA), scales (SCALE).
#include <cinttypes>

#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/node/NodeAnimation.h"
#include "engine/core/node/StreamFields.h"

static_assert(sizeof(Vector3) == 12 && sizeof(Quaternion) == 16 && sizeof(CameraKey) == 8,
              "keys are read as runs of 32-bit floats");

namespace {

// Bytes one frame's keys take in the file.
std::uint64_t FileBytesPerFrame(DWORD flags) {
    return 12 + 16 + ((flags & kNodeAnimationCamera) != 0 ? 8 : 0) + ((flags & kNodeAnimationScale) != 0 ? 12 : 0);
}

bool ReadCameraKeys(FileStream& stream, CameraKey* keys, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        DWORD words[2];
        if (!ReadWords(stream, words, 2)) return false;
        keys[i] = {BitsFloat(words[0]), words[1]};
    }
    return true;
}

bool WriteCameraKeys(FileStream& stream, const CameraKey* keys, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const DWORD words[2] = {FloatBits(keys[i].fieldOfView), keys[i].reserved};
        if (!WriteWords(stream, words, 2)) return false;
    }
    return true;
}

}  // namespace

Interface* CreateNodeAnimation() { return new NodeAnimation(); }

int NodeAnimation::ReadBinary(FileStream& stream) {
    FreeKeys();
    if (Animation::ReadBinary(stream) != 0) return 1;
    const std::uint32_t frames = frameCount_;
    const DWORD flags = flags_;
    const bool scale = (flags & kNodeAnimationScale) != 0;
    frameCount_ = 0;  // until the keys are there

    Vector3 position;
    Quaternion rotation;
    Vector3 scaling = startScale;
    if (!ReadVector3s(stream, &position, 1) || !ReadFloats(stream, &rotation.x, 4) ||
        (scale && !ReadVector3s(stream, &scaling, 1)))
        return 1;

    const std::uint64_t needed = FileBytesPerFrame(flags) * frames;
    const std::uint64_t left = StreamBytesLeft(stream);
    if (needed > left) {
        KEL_LOG_EXCEPTION("NodeAnimation '%s': %u frames of keys need %" PRIu64 " bytes, but the file holds %" PRIu64
                          " more.",
                          name_.Text(), frames, needed, left);
        return 1;
    }
    if (!TakeKeysAndStartPose(frames, flags, position, rotation, scaling)) return 1;
    if (frames == 0) return 0;
    if (!ReadVector3s(stream, positions_, frames) || !ReadFloats(stream, &rotations_[0].x, std::uint64_t{frames} * 4) ||
        (cameraKeys_ != nullptr && !ReadCameraKeys(stream, cameraKeys_, frames)) ||
        (scales_ != nullptr && !ReadVector3s(stream, scales_, frames))) {
        FreeKeys();
        return 1;
    }
    return 0;
}

int NodeAnimation::WriteBinary(FileStream& stream) {
    const std::uint32_t frames = frameCount_;
    if (frames != 0 && positions_ == nullptr) return 1;
    if (Animation::WriteBinary(stream) != 0 || !WriteVector3s(stream, &startPosition, 1) ||
        !WriteFloats(stream, &startRotation.x, 4) ||
        ((flags_ & kNodeAnimationScale) != 0 && !WriteVector3s(stream, &startScale, 1)))
        return 1;
    if (frames == 0) return 0;
    const bool camera = (flags_ & kNodeAnimationCamera) != 0;
    const bool scale = (flags_ & kNodeAnimationScale) != 0;
    if (!WriteVector3s(stream, positions_, frames) || !WriteFloats(stream, &rotations_[0].x, std::uint64_t{frames} * 4) ||
        (camera && (cameraKeys_ == nullptr || !WriteCameraKeys(stream, cameraKeys_, frames))) ||
        (scale && (scales_ == nullptr || !WriteVector3s(stream, scales_, frames))))
        return 1;
    return 0;
}
