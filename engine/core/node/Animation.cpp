// Animation: the header every animation body starts with (binary and text) and the events.
#include "engine/core/node/Animation.h"

#include <cmath>

#include "engine/core/files/FileStream.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/StreamFields.h"

namespace {

// Frames closer than 1/10000 compare equal (the difference, scaled by 10000, truncates to 0),
// and a new event never sorts before one equal to it: it goes after every equal event, also
// at the head of the list. Computed in double, as converting an out-of-range float to an
// integer is undefined.
int CompareEventFrames(const void* event, const void* other) {
    const double scaled = (static_cast<double>(static_cast<const AnimationEvent*>(event)->frame) -
                           static_cast<double>(static_cast<const AnimationEvent*>(other)->frame)) *
                          10000.0;
    return scaled <= -1.0 ? -1 : 1;
}

void DeleteEvent(void* event) { delete static_cast<AnimationEvent*>(event); }

bool IsUsableFrameRate(float rate) { return std::isfinite(rate) && rate >= 0.0f; }

}  // namespace

Quaternion RotationFromDegrees(const Vector3& degrees) {
    Quaternion rotation;
    QuaternionFromEuler({degrees.x * kDegreesToRadians, degrees.y * kDegreesToRadians, degrees.z * kDegreesToRadians},
                        rotation);
    return rotation;
}

Animation::~Animation() { DeleteEvents(); }

bool Animation::AddEvent(AnimationEvent* event) {
    if (event == nullptr) return false;
    if (ListInsertSorted(events_, event, CompareEventFrames) != nullptr) return true;
    delete event;
    return false;
}

void Animation::DeleteEvents() { ListDeleteAll(events_, DeleteEvent); }

int Animation::ReadBinary(FileStream& stream) {
    DWORD words[3];
    if (!ReadWords(stream, words, 3)) return 1;
    const float rate = BitsFloat(words[2]);
    if (!IsUsableFrameRate(rate)) return 1;
    flags_ = words[0];
    frameCount_ = words[1];
    frameRate_ = rate;
    return 0;
}

int Animation::WriteBinary(FileStream& stream) {
    const DWORD words[3] = {flags_, frameCount_, FloatBits(frameRate_)};
    return WriteWords(stream, words, 3) ? 0 : 1;
}

int Animation::ReadText(TagFile& node) {
    frameCount_ = 0;
    frameRate_ = kDefaultFrameRate;
    TagFile* header = node.FindChild("AnimationHeader");
    TagFileTag* frames = header != nullptr ? header->FindTag("NumberOfFrames") : nullptr;
    TagFileTag* rateTag = header != nullptr ? header->FindTag("FrameRate") : nullptr;
    std::int32_t count = 0;
    float rate = kDefaultFrameRate;
    if (frames == nullptr || rateTag == nullptr || frames->GetInt(0, count) == 0 || count < 0 ||
        rateTag->GetFloat(0, rate) == 0 || !IsUsableFrameRate(rate))
        return 1;
    frameCount_ = static_cast<std::uint32_t>(count);
    frameRate_ = rate;
    return 0;
}

int Animation::WriteText(TagFile& node) {
    node.name.Assign("Animation");
    TagFile* header = node.AddChild("AnimationHeader");
    if (header == nullptr) return 1;
    const EngineString frames = EngineString::Format("%d", static_cast<int>(frameCount_));
    const EngineString rate = EngineString::Format("%f", static_cast<double>(frameRate_));
    TagFileTag* framesTag = header->AddTag("NumberOfFrames");
    TagFileTag* rateTag = header->AddTag("FrameRate");
    if (framesTag == nullptr || rateTag == nullptr) return 1;
    return framesTag->AddValue(frames.Text(), frames.Length()) && rateTag->AddValue(rate.Text(), rate.Length()) ? 0 : 1;
}

int Animation::ReadWeights(FileStream&) { return 1; }
int Animation::WriteWeights(FileStream&) { return 1; }
