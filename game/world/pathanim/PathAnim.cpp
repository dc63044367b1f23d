// Sampling and the frame arrays of a path animation.
#include "game/world/pathanim/PathAnim.h"

#include <cmath>

#include "engine/core/math/QuaternionMath.h"

void PathAnim::ReleaseMeshBuffers() {
    EngineFree(positions);
    EngineFree(rotations);
    positions = nullptr;
    rotations = nullptr;
    frameCount = 0;
}

bool PathAnim::Allocate(std::uint32_t count) {
    ReleaseMeshBuffers();
    const std::uint64_t positionBytes = std::uint64_t{count} * sizeof(Vector3);
    const std::uint64_t rotationBytes = std::uint64_t{count} * sizeof(Quaternion);
    if (count == 0 || rotationBytes > 0xFFFFFFFFu) return false;
    positions = static_cast<Vector3*>(EngineAlloc(static_cast<std::size_t>(positionBytes)));
    rotations = static_cast<Quaternion*>(EngineAlloc(static_cast<std::size_t>(rotationBytes)));
    if (positions == nullptr || rotations == nullptr) {
        ReleaseMeshBuffers();
        return false;
    }
    frameCount = count;
    return true;
}

bool PathAnim::Sample(float& time, Vector3& position, Quaternion& rotation) const {
    if (!IsValid()) return true;
    const float frames = static_cast<float>(frameCount);
    float frame = time * kPathFramesPerSecond;
    // Negative, infinite or undefined times sample the first frame.
    if (!(frame >= 0.0f) || !(frame <= 3.0e38f)) frame = 0.0f;
    if (looping == 0) {
        if (frame >= frames) frame = frames - 1.0f;
    } else if (frame >= frames) {
        // The caller's time wraps with the frame, so a looping clock never grows without end.
        frame = std::fmod(frame, frames);
        time = frame / kPathFramesPerSecond;
    }
    const std::uint32_t i = static_cast<std::uint32_t>(frame);
    const float a = frame - static_cast<float>(i);
    std::uint32_t j = i + 1;
    if (j >= frameCount) j = looping != 0 ? 0 : frameCount - 1;
    const Vector3& p = positions[i];
    const Vector3& q = positions[j];
    position = {(1.0f - a) * p.x + a * q.x, (1.0f - a) * p.y + a * q.y, (1.0f - a) * p.z + a * q.z};
    QuaternionLerp(rotations[i], rotations[j], a, rotation);
    return i == j;
}
