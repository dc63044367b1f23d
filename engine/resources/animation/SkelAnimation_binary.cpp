// SkelAnimation's binary body: bone count, key count, the reference vector, the bone records
// (name, weight, key count, a further word), the two per-frame tracks, then the keys bone
// after bone.
#include <cinttypes>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/node/StreamFields.h"
#include "engine/resources/animation/SkelAnimation.h"

namespace {

struct BoneRecord {
    char name[kSkelBoneNameSize];
    SkelBone bone;
    DWORD extra;
};

bool ReadBoneRecord(FileStream& stream, BoneRecord& record) {
    DWORD words[3];
    if (stream.Read(record.name, kSkelBoneNameSize) != kSkelBoneNameSize || !ReadWords(stream, words, 3)) return false;
    record.bone = {BitsFloat(words[0]), words[1]};
    record.extra = words[2];
    return true;
}

bool WriteBoneRecord(FileStream& stream, const BoneRecord& record) {
    const DWORD words[3] = {FloatBits(record.bone.weight), record.bone.keyCount, record.extra};
    return stream.Write(record.name, kSkelBoneNameSize) == kSkelBoneNameSize && WriteWords(stream, words, 3);
}

bool ReadKeys(FileStream& stream, SkelKey* keys, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        DWORD words[6];
        if (!ReadWords(stream, words, 6)) return false;
        keys[i].startFrame = static_cast<std::uint16_t>(words[0]);
        keys[i].frameLength = static_cast<std::uint16_t>(words[0] >> 16);
        keys[i].rotation = {BitsFloat(words[1]), BitsFloat(words[2]), BitsFloat(words[3]), BitsFloat(words[4])};
        keys[i].value = BitsFloat(words[5]);
    }
    return true;
}

bool WriteKeys(FileStream& stream, const SkelKey* keys, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const SkelKey& key = keys[i];
        const DWORD words[6] = {DWORD{key.startFrame} | DWORD{key.frameLength} << 16, FloatBits(key.rotation.x),
                                FloatBits(key.rotation.y),  FloatBits(key.rotation.z),
                                FloatBits(key.rotation.w),  FloatBits(key.value)};
        if (!WriteWords(stream, words, 6)) return false;
    }
    return true;
}

}  // namespace

int SkelAnimation::ReadBinary(FileStream& stream) {
    FreeBones();
    if (Animation::ReadBinary(stream) != 0) return 1;
    const std::uint32_t frames = frameCount_;
    frameCount_ = 0;  // until the bones are there
    DWORD counts[2];
    Vector3 referenceRead;
    if (!ReadWords(stream, counts, 2) || !ReadVector3s(stream, &referenceRead, 1)) return 1;
    const std::uint32_t boneCount = counts[0];
    const std::uint32_t keyCount = counts[1];

    // Everything the counts promise must be in the file before anything is allocated.
    const std::uint64_t needed = std::uint64_t{boneCount} * kSkelBoneRecordSize + std::uint64_t{frames} * 2 * 12 +
                                 std::uint64_t{keyCount} * kSkelKeySize;
    const std::uint64_t left = StreamBytesLeft(stream);
    if (needed > left) {
        KEL_LOG_EXCEPTION("SkelAnimation '%s': %u bones, %u frames and %u keys need %" PRIu64
                          " bytes, but the file holds %" PRIu64 " more.",
                          name_.Text(), boneCount, frames, keyCount, needed, left);
        return 1;
    }

    // The records come first; the block is laid out from their key counts, which must add up
    // to the key count so that no bone's keys reach past the keys read.
    BoneRecord* records = nullptr;
    std::uint32_t* keyCounts = nullptr;
    if (boneCount != 0) {
        records = static_cast<BoneRecord*>(EngineAlloc(std::size_t{boneCount} * sizeof(BoneRecord)));
        keyCounts = static_cast<std::uint32_t*>(EngineAlloc(std::size_t{boneCount} * sizeof(std::uint32_t)));
    }
    bool read = boneCount == 0 || (records != nullptr && keyCounts != nullptr);
    std::uint64_t keySum = 0;
    for (std::uint32_t i = 0; i < boneCount && read; ++i) {
        read = ReadBoneRecord(stream, records[i]);
        if (read) keySum += keyCounts[i] = records[i].bone.keyCount;
    }
    if (read && keySum != keyCount) {
        KEL_LOG_EXCEPTION("SkelAnimation '%s': the bones' key counts add up to %" PRIu64 ", not the %u keys declared.",
                          name_.Text(), keySum, keyCount);
        read = false;
    }
    read = read && AllocateBones(boneCount, frames, keyCounts);
    for (std::uint32_t i = 0; i < boneCount && read; ++i) {
        bones_[i].weight = records[i].bone.weight;
        if (boneNames_ != nullptr) {
            std::memcpy(boneNames_[i].name, records[i].name, kSkelBoneNameSize);
            boneNames_[i].extra = records[i].extra;
        }
    }
    EngineFree(records);
    EngineFree(keyCounts);
    if (!read || !ReadVector3s(stream, firstTrack_, frames) || !ReadVector3s(stream, secondTrack_, frames) ||
        !ReadKeys(stream, keys_, keyCount_)) {
        FreeBones();
        return 1;
    }
    reference = referenceRead;
    return 0;
}

int SkelAnimation::WriteBinary(FileStream& stream) {
    const DWORD counts[2] = {boneCount_, keyCount_};
    if (Animation::WriteBinary(stream) != 0 || !WriteWords(stream, counts, 2) || !WriteVector3s(stream, &reference, 1))
        return 1;
    for (std::uint32_t i = 0; i < boneCount_; ++i) {
        BoneRecord record{};
        record.bone = bones_[i];
        if (boneNames_ != nullptr) {
            std::memcpy(record.name, boneNames_[i].name, kSkelBoneNameSize);
            record.extra = boneNames_[i].extra;
        }
        if (!WriteBoneRecord(stream, record)) return 1;
    }
    return WriteVector3s(stream, firstTrack_, frameCount_) && WriteVector3s(stream, secondTrack_, frameCount_) &&
                   WriteKeys(stream, keys_, keyCount_)
               ? 0
               : 1;
}
