// Animation: the base of every animation resource (node key frames, skeletal keys). It holds
// the name it was loaded by, its flags, frame count and rate, and its events in frame order;
// its virtual operations read and write the animation's binary, text and weight forms.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/MathTypes.h"
#include "engine/core/node/AnimationEvent.h"
#include "engine/core/object/Interface.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

class FileStream;
class TagFile;

// Animation files give angles in degrees.
constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kRadiansToDegrees = 57.29578f;
// The rotation of Euler angles given in degrees (the order of QuaternionFromEuler).
Quaternion RotationFromDegrees(const Vector3& degrees);

// The frame rate an animation has until its header says otherwise.
constexpr float kDefaultFrameRate = 30.0f;

// Bytes of the binary header every animation body starts with: flags, frames, rate.
constexpr std::uint32_t kAnimationHeaderSize = 12;

class Animation : public Interface {
    KEL_DECLARE_TYPE(Animation, Interface, "Animation")

public:
    ~Animation() override;

    // The animation's operations, after Interface's: all give 0 on success and 1 on
    // failure. Animation's own binary and text operations read and write the header every
    // kind starts with (a kind's operation calls them first); the weight operations are not
    // supported here (1). Reading the header refuses a frame rate that is not a finite
    // number of at least 0, which would stall or poison every player of the animation.
    virtual int ReadBinary(FileStream& stream);
    virtual int WriteBinary(FileStream& stream);
    virtual int ReadText(TagFile& node);
    virtual int WriteText(TagFile& node);
    virtual int ReadWeights(FileStream& stream);
    virtual int WriteWeights(FileStream& stream);

    const EngineString& Name() const { return name_; }
    void SetName(const char* name) { name_.Assign(name); }
    DWORD Flags() const { return flags_; }
    std::uint32_t FrameCount() const { return frameCount_; }
    // Frames per second.
    float FrameRate() const { return frameRate_; }
    void SetFrameRate(float rate) { frameRate_ = rate; }

    // The events in ascending frame order; the animation owns them.
    const KDLList& Events() const { return events_; }
    // Takes the event over and places it by its frame: frames closer than 1/10000 count as
    // equal, and an event goes after those equal to it. False (the event deleted) when no
    // list link could be had.
    bool AddEvent(AnimationEvent* event);
    void DeleteEvents();

protected:
    Animation() = default;

    EngineString name_;
    DWORD flags_ = 0;
    std::uint32_t frameCount_ = 0;
    float frameRate_ = kDefaultFrameRate;
    KDLList events_;
};
