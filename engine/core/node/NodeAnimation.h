// NodeAnimation: the key-frame data a node's animation player reads. An animation counts
// its time in frames; a NodeAnimation holds one position and one rotation key per frame, a
// scale key per frame when it has the SCALE flag and a camera key per frame with CAMERA.
// It reads and writes itself in the binary body of ".kan" files and in its text form.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/node/Animation.h"
#include "engine/core/object/Interface.h"
#include "platform/base/Types.h"

// Animation flags of a NodeAnimation.
constexpr DWORD kNodeAnimationAbsolute = 0x1;
constexpr DWORD kNodeAnimationCamera = 0x2;
constexpr DWORD kNodeAnimationScale = 0x8;

// One camera key: the field of view in radians and a word kept at 0.
struct CameraKey {
    float fieldOfView;
    DWORD reserved;
};

class NodeAnimation : public Animation {
    KEL_DECLARE_TYPE(NodeAnimation, Animation, "NodeAnimation")

public:
    NodeAnimation() = default;
    ~NodeAnimation() override;

    // The header, the start pose and the keys of every frame. A read frees any keys first;
    // it refuses keys that the stream's remaining bytes (binary) or the tags (text) do not
    // hold, and fails on a short read or a missing or malformed tag.
    int ReadBinary(FileStream& stream) override;
    int WriteBinary(FileStream& stream) override;
    int ReadText(TagFile& node) override;
    int WriteText(TagFile& node) override;

    // Frees any keys and makes one block of frameCount keys laid out as positions, rotations,
    // scales (with SCALE) and camera keys (with CAMERA), every key zero. False (no keys, no
    // frames) when the block would be too large or memory runs out.
    bool AllocateKeys(std::uint32_t frameCount, DWORD flags);
    void FreeKeys();

    Vector3* Positions() const { return positions_; }
    Quaternion* Rotations() const { return rotations_; }
    // Null without SCALE.
    Vector3* Scales() const { return scales_; }
    // Null without CAMERA.
    CameraKey* CameraKeys() const { return cameraKeys_; }

    Vector3 startPosition{0, 0, 0};
    Quaternion startRotation = kIdentityQuaternion;
    Vector3 startScale{1, 1, 1};

private:
    // What both reads do once the form is checked: the keys allocated and the start pose
    // taken. False when the keys cannot be had.
    bool TakeKeysAndStartPose(std::uint32_t frames, DWORD flags, const Vector3& position, const Quaternion& rotation,
                              const Vector3& scaling);

    void* keyBlock_ = nullptr;
    Vector3* positions_ = nullptr;
    Quaternion* rotations_ = nullptr;
    Vector3* scales_ = nullptr;
    CameraKey* cameraKeys_ = nullptr;
};

// "Create_NodeAnimation": a new NodeAnimation without keys, or null.
Interface* CreateNodeAnimation();
