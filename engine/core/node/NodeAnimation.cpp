// The key block of a NodeAnimation.
#include "engine/core/node/NodeAnimation.h"

#include <cstring>

#include "engine/core/memory/EngineLog.h"

NodeAnimation::~NodeAnimation() { FreeKeys(); }

void NodeAnimation::FreeKeys() {
    EngineFree(keyBlock_);
    keyBlock_ = nullptr;
    positions_ = nullptr;
    rotations_ = nullptr;
    scales_ = nullptr;
    cameraKeys_ = nullptr;
    frameCount_ = 0;
}

bool NodeAnimation::TakeKeysAndStartPose(std::uint32_t frames, DWORD flags, const Vector3& position,
                                         const Quaternion& rotation, const Vector3& scaling) {
    if (!AllocateKeys(frames, flags)) return false;
    startPosition = position;
    startRotation = rotation;
    startScale = scaling;
    return true;
}

bool NodeAnimation::AllocateKeys(std::uint32_t frameCount, DWORD flags) {
    FreeKeys();
    flags_ = flags;
    if (frameCount == 0) return true;
    const bool scale = (flags & kNodeAnimationScale) != 0;
    const bool camera = (flags & kNodeAnimationCamera) != 0;
    const std::uint64_t perFrame =
        sizeof(Vector3) + sizeof(Quaternion) + (scale ? sizeof(Vector3) : 0) + (camera ? sizeof(CameraKey) : 0);
    const std::uint64_t size = perFrame * frameCount;
    if (size > kMaximumEngineAllocation) {
        KEL_LOG_EXCEPTION("NodeAnimation: %u frames of keys do not fit in memory.", frameCount);
        return false;
    }
    keyBlock_ = EngineAlloc(static_cast<std::size_t>(size));
    if (keyBlock_ == nullptr) return false;
    std::memset(keyBlock_, 0, static_cast<std::size_t>(size));
    auto* at = static_cast<unsigned char*>(keyBlock_);
    positions_ = reinterpret_cast<Vector3*>(at);
    at += sizeof(Vector3) * frameCount;
    rotations_ = reinterpret_cast<Quaternion*>(at);
    at += sizeof(Quaternion) * frameCount;
    if (scale) {
        scales_ = reinterpret_cast<Vector3*>(at);
        at += sizeof(Vector3) * frameCount;
    }
    if (camera) cameraKeys_ = reinterpret_cast<CameraKey*>(at);
    frameCount_ = frameCount;
    return true;
}
