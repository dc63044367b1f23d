// SkelAnimation: the animation that drives a skinned object's bones. Each bone has a blend
// weight and its own run of rotation keys; the animation also carries a reference vector and
// two per-frame tracks that the skinned object takes its root movement from. Besides its
// binary body it reads and writes a small text file of per-bone weights.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/node/Animation.h"
#include "platform/base/Types.h"

// Animation flags of a SkelAnimation, written as the letters X, Y and Z.
constexpr DWORD kSkelAnimationAxisX = 0x1;
constexpr DWORD kSkelAnimationAxisY = 0x2;
constexpr DWORD kSkelAnimationAxisZ = 0x4;
constexpr DWORD kSkelAnimationAxes = kSkelAnimationAxisX | kSkelAnimationAxisY | kSkelAnimationAxisZ;

// Bytes of a bone name, zero-padded (a name of 32 characters has no terminator).
constexpr std::uint32_t kSkelBoneNameSize = 32;
// Bytes of one bone record and one key in the binary body.
constexpr std::uint32_t kSkelBoneRecordSize = 44;
constexpr std::uint32_t kSkelKeySize = 24;

struct SkelBone {
    float weight;  // the animation's weight for the bone when channels are blended
    std::uint32_t keyCount;
};

struct SkelBoneName {
    char name[kSkelBoneNameSize];
    DWORD extra;  // carried through reads and writes
};

// A key covers the frames from startFrame for frameLength frames; a bone's keys follow each
// other in frame order.
struct SkelKey {
    std::uint16_t startFrame;
    std::uint16_t frameLength;
    Quaternion rotation;
    float value;  // interpolated beside the rotation by the skinned object
};
static_assert(sizeof(SkelKey) == kSkelKeySize, "a key is kept as it is stored");

// A bone's pose at a frame.
struct SkelBonePose {
    Quaternion rotation;
    float value;
};

// Whether skeletal animations keep their bone names (a global engine setting, on unless the
// engine turns it off). Without names the weights file matches no bone.
void SetSkelBoneNamesKept(bool kept);
bool SkelBoneNamesKept();

class SkelAnimation : public Animation {
    KEL_DECLARE_TYPE(SkelAnimation, Animation, "SkelAnimation")

public:
    SkelAnimation() = default;
    ~SkelAnimation() override;

    // The body after the header: bone and key counts, the reference vector, the bone records,
    // the two per-frame tracks and the keys. A read refuses bones, tracks and keys that the
    // stream's remaining bytes do not hold, bone key counts that do not add up to the key
    // count, and a short read; the animation then has no bones.
    int ReadBinary(FileStream& stream) override;
    int WriteBinary(FileStream& stream) override;
    // There is no text form.
    int ReadText(TagFile& node) override;
    int WriteText(TagFile& node) override;
    // "NumberOfBones: N", N lines of a bone name and its weight, "Flags: " and the axis
    // letters. A read keeps what it took before an error; 0 when it read to its end.
    int ReadWeights(FileStream& stream) override;
    int WriteWeights(FileStream& stream) override;

    // Frees the bones and makes the block for `boneCount` bones over `frameCount` frames,
    // bone i having keyCounts[i] keys; every field zero, names empty. False (no bones) when
    // the block would be too large or memory runs out.
    bool AllocateBones(std::uint32_t boneCount, std::uint32_t frameCount, const std::uint32_t* keyCounts);
    void FreeBones();
    // Replaces the axis flags (X, Y, Z) and keeps the others.
    void SetAxisFlags(DWORD axes) { flags_ = (flags_ & ~kSkelAnimationAxes) | (axes & kSkelAnimationAxes); }

    std::uint32_t BoneCount() const { return boneCount_; }
    std::uint32_t KeyCount() const { return keyCount_; }
    SkelBone* Bones() const { return bones_; }
    // Null when bone names are not kept.
    SkelBoneName* BoneNames() const { return boneNames_; }
    // The bone's name, "" without names; bone below BoneCount().
    void BoneName(std::uint32_t bone, char (&name)[kSkelBoneNameSize + 1]) const;
    // Frame-count vectors each.
    Vector3* FirstTrack() const { return firstTrack_; }
    Vector3* SecondTrack() const { return secondTrack_; }
    // The bone's first key; its bones_[bone].keyCount keys follow.
    SkelKey* BoneKeys(std::uint32_t bone) const { return boneKeys_[bone]; }
    SkelKey* Keys() const { return keys_; }

    // The key of the bone whose frames [start, start + length) hold the whole frame, searched
    // from `from` onward and wrapping; when none holds it, the last key starting at or before
    // the frame (or the first key). 0 for a bone without keys.
    std::uint32_t FindKey(std::uint32_t bone, float frame, std::uint32_t from) const;
    // The bone's pose at the frame: the key holding the frame and the one after it (for a
    // looping play the first after the last; otherwise the last key holds), blended by the
    // part of the key's frames passed. A looping frame is taken modulo the frame count. A key
    // of length 0 gives its own pose. `keyIndex` is where the search starts and where it
    // ended. False (pose untouched) for a bone without keys, a bone out of range or a frame
    // that is not a number.
    bool SampleBone(std::uint32_t bone, float frame, bool looping, std::uint32_t& keyIndex, SkelBonePose& pose) const;

    Vector3 reference{0, 0, 0};

private:
    void* block_ = nullptr;
    std::uint32_t boneCount_ = 0;
    std::uint32_t keyCount_ = 0;
    SkelBone* bones_ = nullptr;
    SkelBoneName* boneNames_ = nullptr;
    Vector3* firstTrack_ = nullptr;
    Vector3* secondTrack_ = nullptr;
    SkelKey** boneKeys_ = nullptr;
    SkelKey* keys_ = nullptr;
};

// "Create_SkelAnimation": a new SkelAnimation without bones, or null.
Interface* CreateSkelAnimation();
