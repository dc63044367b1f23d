// PathAnim: a baked run of positions and rotations at 24 frames a second that moves a part of
// a level object (the spin of keys, spheres and portals, the travel of damper tops, door
// leaves and bridges). It loads by name from its binary cache "animations/<name>.pathanim",
// or, when the cache is missing or does not hold what its count says, from the text source
// "animations/<name>.anim", writing the cache for the next time.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"

class FileStream;
class TagFile;

constexpr float kPathFramesPerSecond = 24.0f;
// Bytes of one frame in the cache: a position of three floats and a rotation of four.
constexpr std::uint64_t kPathFrameBytes = 28;

class PathAnim : public EngineAllocated {
public:
    PathAnim() = default;
    ~PathAnim() { ReleaseMeshBuffers(); }
    PathAnim(const PathAnim&) = delete;
    PathAnim& operator=(const PathAnim&) = delete;

    // Frames and arrays present.
    bool IsValid() const { return frameCount > 0 && positions != nullptr && rotations != nullptr; }
    // Samples at `time` seconds. A looping animation wraps the caller's time into its length.
    // True when the sample lies on the last frame of a non-looping animation (it has ended), and
    // for an invalid animation, whose outputs are left untouched.
    bool Sample(float& time, Vector3& position, Quaternion& rotation) const;
    // Frees both arrays; no frames afterwards.
    void ReleaseMeshBuffers();
    // Both arrays for `count` frames, the old ones freed; false (and no frames) when the sizes
    // do not fit in 32 bits or memory runs out.
    bool Allocate(std::uint32_t count);

    Vector3* positions = nullptr;
    Quaternion* rotations = nullptr;
    std::uint32_t frameCount = 0;
    std::uint32_t looping = 1;
};

// Loads by name as the header says. False when neither the cache nor the text gives the frames.
bool LoadPathAnimation(PathAnim& animation, const char* name);

// The two forms, for the loader, the data tool and the fuzzers.
// The cache's bytes: a count N and exactly 28 x N bytes of frames; anything else is refused.
bool ReadPathAnimationCache(PathAnim& animation, const std::uint8_t* bytes, std::uint64_t size);
// The file's one top node (its name is not examined) holds "AnimationHeader/NumberOfFrames",
// then "Positions" and "Rotations" with exactly one tag per frame. A failure names what was wrong in the log under
// `source`.
bool ReadPathAnimationText(PathAnim& animation, TagFile& root, const char* source);
// The text form of the frames, as ReadPathAnimationText reads it.
bool WritePathAnimationText(const PathAnim& animation, TagFile& root);
// Count, positions and rotations; false when the stream took less.
bool WritePathAnimationCache(const PathAnim& animation, FileStream& stream);
