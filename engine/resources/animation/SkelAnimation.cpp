// SkelAnimation: the bone block (its layout in one allocation), bone names, and the look-up
// of a bone's key and pose at a frame.
#include "engine/resources/animation/SkelAnimation.h"

#include <cinttypes>
#include <cmath>
#include <cstring>

#include "engine/core/math/QuaternionMath.h"
#include "engine/core/memory/EngineLog.h"

namespace {

bool boneNamesKept = true;

std::uint64_t AlignUp(std::uint64_t offset, std::uint64_t alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}

// Frames beyond every key's reach; keeps the whole frame of a huge time within 32 bits.
constexpr float kFarFrame = 1048576.0f;

std::uint32_t WholeFrame(float frame) {
    if (!(frame > 0.0f)) return 0;
    return static_cast<std::uint32_t>(std::floor(frame < kFarFrame ? frame : kFarFrame));
}

bool Holds(const SkelKey& key, std::uint32_t whole) {
    return key.startFrame <= whole && whole < std::uint32_t{key.startFrame} + key.frameLength;
}

}  // namespace

void SetSkelBoneNamesKept(bool kept) { boneNamesKept = kept; }
bool SkelBoneNamesKept() { return boneNamesKept; }

Interface* CreateSkelAnimation() { return new SkelAnimation(); }

SkelAnimation::~SkelAnimation() { FreeBones(); }

void SkelAnimation::FreeBones() {
    EngineFree(block_);
    block_ = nullptr;
    boneCount_ = 0;
    keyCount_ = 0;
    bones_ = nullptr;
    boneNames_ = nullptr;
    firstTrack_ = nullptr;
    secondTrack_ = nullptr;
    boneKeys_ = nullptr;
    keys_ = nullptr;
    frameCount_ = 0;
}

bool SkelAnimation::AllocateBones(std::uint32_t boneCount, std::uint32_t frameCount, const std::uint32_t* keyCounts) {
    FreeBones();
    std::uint64_t keyCount = 0;
    for (std::uint32_t i = 0; i < boneCount; ++i) keyCount += keyCounts[i];
    if (keyCount > UINT32_MAX) {
        KEL_LOG_EXCEPTION("SkelAnimation '%s': %" PRIu64 " keys are more than an animation holds.", name_.Text(),
                          keyCount);
        return false;
    }
    // Sizes come from file counts: computed in 64 bits, so no product wraps.
    std::uint64_t size = std::uint64_t{boneCount} * sizeof(SkelBone);
    const std::uint64_t namesAt = size;
    if (boneNamesKept) size += std::uint64_t{boneCount} * sizeof(SkelBoneName);
    const std::uint64_t firstTrackAt = size;
    size += std::uint64_t{frameCount} * sizeof(Vector3);
    const std::uint64_t secondTrackAt = size;
    size += std::uint64_t{frameCount} * sizeof(Vector3);
    const std::uint64_t boneKeysAt = AlignUp(size, alignof(SkelKey*));
    size = boneKeysAt + std::uint64_t{boneCount} * sizeof(SkelKey*);
    const std::uint64_t keysAt = AlignUp(size, alignof(SkelKey));
    size = keysAt + keyCount * sizeof(SkelKey);
    if (size > kMaximumEngineAllocation) {
        KEL_LOG_EXCEPTION("SkelAnimation '%s': %u bones, %u frames and %" PRIu64 " keys need %" PRIu64
                          " bytes, more than one block holds.",
                          name_.Text(), boneCount, frameCount, keyCount, size);
        return false;
    }
    if (size == 0) return true;
    auto* block = static_cast<unsigned char*>(EngineAlloc(static_cast<std::size_t>(size)));
    if (block == nullptr) return false;
    std::memset(block, 0, static_cast<std::size_t>(size));
    block_ = block;
    boneCount_ = boneCount;
    keyCount_ = static_cast<std::uint32_t>(keyCount);
    frameCount_ = frameCount;
    bones_ = reinterpret_cast<SkelBone*>(block);
    if (boneNamesKept) boneNames_ = reinterpret_cast<SkelBoneName*>(block + namesAt);
    firstTrack_ = reinterpret_cast<Vector3*>(block + firstTrackAt);
    secondTrack_ = reinterpret_cast<Vector3*>(block + secondTrackAt);
    boneKeys_ = reinterpret_cast<SkelKey**>(block + boneKeysAt);
    keys_ = reinterpret_cast<SkelKey*>(block + keysAt);
    // The keys of bone i start after those of bones 0 to i - 1.
    SkelKey* next = keys_;
    for (std::uint32_t i = 0; i < boneCount; ++i) {
        bones_[i].keyCount = keyCounts[i];
        boneKeys_[i] = next;
        next += keyCounts[i];
    }
    return true;
}

void SkelAnimation::BoneName(std::uint32_t bone, char (&name)[kSkelBoneNameSize + 1]) const {
    name[0] = 0;
    if (boneNames_ == nullptr || bone >= boneCount_) return;
    std::memcpy(name, boneNames_[bone].name, kSkelBoneNameSize);
    name[kSkelBoneNameSize] = 0;
}

std::uint32_t SkelAnimation::FindKey(std::uint32_t bone, float frame, std::uint32_t from) const {
    if (bone >= boneCount_ || bones_[bone].keyCount == 0) return 0;
    const std::uint32_t count = bones_[bone].keyCount;
    const SkelKey* keys = boneKeys_[bone];
    const std::uint32_t whole = WholeFrame(frame);
    const std::uint32_t start = from < count ? from : 0;
    for (std::uint32_t n = 0; n < count; ++n) {
        const std::uint32_t i = start + n < count ? start + n : start + n - count;
        if (Holds(keys[i], whole)) return i;
    }
    // In a gap or past the last key: the latest key that has started.
    std::uint32_t latest = 0;
    bool started = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (keys[i].startFrame <= whole && (!started || keys[i].startFrame >= keys[latest].startFrame)) {
            latest = i;
            started = true;
        }
    }
    return latest;
}

bool SkelAnimation::SampleBone(std::uint32_t bone, float frame, bool looping, std::uint32_t& keyIndex,
                               SkelBonePose& pose) const {
    if (bone >= boneCount_ || bones_[bone].keyCount == 0 || std::isnan(frame)) return false;
    if (looping && frameCount_ > 0 && std::isfinite(frame)) {
        frame = std::fmod(frame, static_cast<float>(frameCount_));
        if (frame < 0.0f) frame += static_cast<float>(frameCount_);
    }
    if (!(frame > 0.0f)) frame = 0.0f;
    const std::uint32_t count = bones_[bone].keyCount;
    const SkelKey* keys = boneKeys_[bone];
    const std::uint32_t index = FindKey(bone, frame, keyIndex);
    const std::uint32_t next = index + 1 < count ? index + 1 : (looping ? 0 : index);
    const SkelKey& key = keys[index];
    // A key of no length gives its own pose rather than a division by zero.
    float t = key.frameLength > 0 ? (frame - static_cast<float>(key.startFrame)) / static_cast<float>(key.frameLength)
                                  : 0.0f;
    if (!(t > 0.0f)) t = 0.0f;
    if (t > 1.0f) t = 1.0f;
    QuaternionSlerp(key.rotation, keys[next].rotation, t, pose.rotation);
    pose.value = key.value + (keys[next].value - key.value) * t;
    keyIndex = index;
    return true;
}

int SkelAnimation::ReadText(TagFile&) { return 1; }
int SkelAnimation::WriteText(TagFile&) { return 1; }
