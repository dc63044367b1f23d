// NodeAnimation's text form: the header nodes, then one node per kind of key ("Positions",
// "Scaling", "Rotations", "CameraInfos") holding exactly one tag per frame.
#include <cstring>

#include "engine/core/files/TagFile.h"
#include "engine/core/files/TagWords.h"
#include "engine/core/node/NodeAnimation.h"
#include "engine/core/text/TextCompare.h"

namespace {

constexpr TagWord kFlagWords[] = {
    {"ABSOLUTE", kNodeAnimationAbsolute},
    {"CAMERA", kNodeAnimationCamera},
    {"SCALE", kNodeAnimationScale},
};

// The node of one kind of key: exactly `frames` tags, each named `tagName`.
TagFile* KeyNode(TagFile& node, const char* nodeName, const char* tagName, std::uint32_t frames) {
    TagFile* keys = node.FindChild(nodeName);
    if (keys == nullptr || keys->tags.count != frames) return nullptr;
    for (KDLLink* link = keys->tags.head; link != nullptr; link = link->next)
        if (CompareNoCase(static_cast<TagFileTag*>(link->item)->name.Text(), tagName) != 0) return nullptr;
    return keys;
}

// Calls read(tag, index) for every tag of the node; false at the first that fails.
template <typename Read>
bool ReadKeys(TagFile& keys, Read read) {
    std::uint32_t index = 0;
    for (KDLLink* link = keys.tags.head; link != nullptr; link = link->next, ++index)
        if (!read(*static_cast<TagFileTag*>(link->item), index)) return false;
    return true;
}

// A child node with one tag per key; write(tag, index) adds the value.
template <typename Write>
bool WriteKeys(TagFile& node, const char* nodeName, const char* tagName, std::uint32_t frames, Write write) {
    TagFile* keys = node.AddChild(nodeName);
    if (keys == nullptr) return false;
    for (std::uint32_t i = 0; i < frames; ++i) {
        TagFileTag* tag = keys->AddTag(tagName);
        if (tag == nullptr || !write(*tag, i)) return false;
    }
    return true;
}

bool AddText(TagFileTag* tag, const EngineString& text) {
    return tag != nullptr && tag->AddValue(text.Text(), text.Length());
}

}  // namespace

int NodeAnimation::ReadText(TagFile& node) {
    FreeKeys();
    if (Animation::ReadText(node) != 0) return 1;
    const std::uint32_t frames = frameCount_;
    frameCount_ = 0;  // until the keys are there

    TagFile* header = node.FindChild("NodeAnimationHeader");
    if (header == nullptr) return 1;
    const DWORD flags = TagWordFlags(header->FindTag("Flags"), kFlagWords);
    TagFileTag* startPositionTag = header->FindTag("StartPos");
    TagFileTag* startRotationTag = header->FindTag("StartRot");
    TagFileTag* startScaleTag = header->FindTag("StartScale");
    Vector3 position;
    Quaternion rotation;
    Vector3 scaling = startScale;
    if (startPositionTag == nullptr || startPositionTag->GetVector3(0, position) == 0 || startRotationTag == nullptr ||
        startRotationTag->GetQuaternion(0, rotation) == 0 ||
        (startScaleTag != nullptr && startScaleTag->GetVector3(0, scaling) == 0))
        return 1;

    // Every kind of key must hold one tag per frame before anything is allocated for them.
    const bool camera = (flags & kNodeAnimationCamera) != 0;
    const bool scale = (flags & kNodeAnimationScale) != 0;
    TagFile* positions = frames != 0 ? KeyNode(node, "Positions", "Position", frames) : nullptr;
    TagFile* rotations = frames != 0 ? KeyNode(node, "Rotations", "Rotation", frames) : nullptr;
    TagFile* scales = frames != 0 && scale ? KeyNode(node, "Scaling", "Scale", frames) : nullptr;
    TagFile* fieldsOfView = frames != 0 && camera ? KeyNode(node, "CameraInfos", "Fov", frames) : nullptr;
    if (frames != 0 && (positions == nullptr || rotations == nullptr || (scale && scales == nullptr) ||
                        (camera && fieldsOfView == nullptr)))
        return 1;

    if (!TakeKeysAndStartPose(frames, flags, position, rotation, scaling)) return 1;
    if (frames == 0) return 0;
    const bool read =
        ReadKeys(*positions, [this](TagFileTag& tag, std::uint32_t i) { return tag.GetVector3(0, positions_[i]) != 0; }) &&
        ReadKeys(*rotations,
                 [this](TagFileTag& tag, std::uint32_t i) { return tag.GetQuaternion(0, rotations_[i]) != 0; }) &&
        (!scale ||
         ReadKeys(*scales, [this](TagFileTag& tag, std::uint32_t i) { return tag.GetVector3(0, scales_[i]) != 0; })) &&
        (!camera || ReadKeys(*fieldsOfView, [this](TagFileTag& tag, std::uint32_t i) {
             float degrees;
             if (tag.GetFloat(0, degrees) == 0) return false;
             cameraKeys_[i] = {degrees * kDegreesToRadians, 0};
             return true;
         }));
    if (!read) {
        FreeKeys();
        return 1;
    }
    return 0;
}

int NodeAnimation::WriteText(TagFile& node) {
    const std::uint32_t frames = frameCount_;
    const bool camera = (flags_ & kNodeAnimationCamera) != 0;
    const bool scale = (flags_ & kNodeAnimationScale) != 0;
    if (frames != 0 && (positions_ == nullptr || (camera && cameraKeys_ == nullptr) || (scale && scales_ == nullptr)))
        return 1;
    if (Animation::WriteText(node) != 0) return 1;
    node.name.Assign("NodeAnimation");

    TagFile* header = node.AddChild("NodeAnimationHeader");
    if (header == nullptr) return 1;
    if (flags_ != 0) {
        TagFileTag* tag = header->AddTag("Flags");
        if (tag == nullptr) return 1;
        for (const TagWord& word : kFlagWords)
            if ((flags_ & word.value) != 0 && !tag->AddValue(word.word, std::strlen(word.word))) return 1;
    }
    TagFileTag* startPositionTag = header->AddTag("StartPos");
    TagFileTag* startRotationTag = header->AddTag("StartRot");
    if (startPositionTag == nullptr || !startPositionTag->AddVector3(startPosition) || startRotationTag == nullptr ||
        !startRotationTag->AddVector4(startRotation))
        return 1;
    if (scale) {
        TagFileTag* startScaleTag = header->AddTag("StartScale");
        if (startScaleTag == nullptr || !startScaleTag->AddVector3(startScale)) return 1;
    }
    if (frames == 0) return 0;

    const bool written =
        WriteKeys(node, "Positions", "Position", frames,
                  [this](TagFileTag& tag, std::uint32_t i) { return tag.AddVector3(positions_[i]); }) &&
        (!scale || WriteKeys(node, "Scaling", "Scale", frames,
                             [this](TagFileTag& tag, std::uint32_t i) { return tag.AddVector3(scales_[i]); })) &&
        WriteKeys(node, "Rotations", "Rotation", frames,
                  [this](TagFileTag& tag, std::uint32_t i) { return tag.AddVector4(rotations_[i]); }) &&
        (!camera || WriteKeys(node, "CameraInfos", "Fov", frames, [this](TagFileTag& tag, std::uint32_t i) {
             return AddText(&tag, EngineString::Format(
                                      "%f", static_cast<double>(cameraKeys_[i].fieldOfView * kRadiansToDegrees)));
         }));
    return written ? 0 : 1;
}
