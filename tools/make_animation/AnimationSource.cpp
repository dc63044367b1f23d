// Building animations from their readable sources: the engine's own node text, and the keyed
// node and skeletal sources whose frames in between are blended here.
#include "tools/make_animation/AnimationSource.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/core/files/TagFile.h"
#include "engine/core/files/TagWords.h"
#include "engine/core/node/NodeAnimation.h"
#include "engine/core/text/TextCompare.h"
#include "engine/resources/animation/SkelAnimation.h"

namespace {

constexpr std::uint32_t kMostFrames = 65535;  // skeletal keys count frames in 16 bits

constexpr TagWord kNodeFlagWords[] = {
    {"ABSOLUTE", kNodeAnimationAbsolute},
    {"SCALE", kNodeAnimationScale},
};

struct Source {
    const std::string& name;
    std::string& error;
    // Sets the error; false, so that a check can return it.
    bool Fail(const std::string& what) const {
        error = name + ": " + what;
        return false;
    }
};

std::string Text(const EngineString& text) { return text.Text(); }

template <typename Value>
struct Keyed {
    std::uint32_t frame;
    Value value;
};

Vector3 Blend(const Vector3& a, const Vector3& b, float t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

// The value at a frame: the keys blended linearly, the nearest key before the first and after
// the last. The keys rise strictly.
template <typename Value>
Value At(const std::vector<Keyed<Value>>& keys, std::uint32_t frame) {
    if (frame <= keys.front().frame) return keys.front().value;
    for (std::size_t i = 1; i < keys.size(); ++i) {
        if (frame <= keys[i].frame) {
            const float t = static_cast<float>(frame - keys[i - 1].frame) /
                            static_cast<float>(keys[i].frame - keys[i - 1].frame);
            return Blend(keys[i - 1].value, keys[i].value, t);
        }
    }
    return keys.back().value;
}

// Every tag of the node must be one of `known`, and there must be no child nodes except
// those named `childName` (none when null).
bool OnlyKnown(TagFile& node, const std::vector<const char*>& known, const char* childName, const std::string& where,
               const Source& source) {
    for (KDLLink* link = node.tags.head; link != nullptr; link = link->next) {
        const char* name = static_cast<TagFileTag*>(link->item)->name.Text();
        bool found = false;
        for (const char* tag : known) found = found || CompareNoCase(name, tag) == 0;
        if (!found) return source.Fail(where + " has a tag '" + name + "' that no source of its kind has.");
    }
    for (KDLLink* link = node.children.head; link != nullptr; link = link->next) {
        const char* name = static_cast<TagFile*>(link->item)->name.Text();
        if (childName == nullptr || CompareNoCase(name, childName) != 0)
            return source.Fail(where + " has a node '" + name + "' that no source of its kind has.");
    }
    return true;
}

bool ReadFrames(TagFile& root, std::uint32_t& frames, float& rate, const Source& source) {
    TagFileTag* framesTag = root.FindTag("Frames");
    std::int32_t count = 0;
    if (framesTag == nullptr || framesTag->GetInt(0, count) == 0 || count < 1 ||
        count > static_cast<std::int32_t>(kMostFrames))
        return source.Fail("\"Frames\" must give a frame count from 1 to 65535.");
    frames = static_cast<std::uint32_t>(count);
    rate = kDefaultFrameRate;
    TagFileTag* rateTag = root.FindTag("FrameRate");
    if (rateTag != nullptr && (rateTag->GetFloat(0, rate) == 0 || !(rate > 0.0f)))
        return source.Fail("\"FrameRate\" must be a number above 0.");
    return true;
}

// The frame of a key tag (value 0), below the frame count and above the key before it.
bool ReadKeyFrame(const TagFileTag& tag, std::uint32_t frames, long previous, const std::string& where,
                  std::uint32_t& frame, const Source& source) {
    std::int32_t value = -1;
    if (tag.GetInt(0, value) == 0 || value < 0 || static_cast<std::uint32_t>(value) >= frames)
        return source.Fail(where + ": the frame must be a whole number below the " + std::to_string(frames) +
                           " frames.");
    if (value <= previous) return source.Fail(where + ": the frames of the keys must rise.");
    frame = static_cast<std::uint32_t>(value);
    return true;
}

// Every tag named `tagName` of the node as a (frame, vector) key.
bool ReadVectorKeys(TagFile& node, const char* tagName, std::uint32_t frames, std::vector<Keyed<Vector3>>& keys,
                    const Source& source) {
    long previous = -1;
    int number = 0;
    for (KDLLink* link = node.tags.head; link != nullptr; link = link->next) {
        auto& tag = *static_cast<TagFileTag*>(link->item);
        if (CompareNoCase(tag.name.Text(), tagName) != 0) continue;
        const std::string where = std::string(tagName) + " " + std::to_string(++number);
        Keyed<Vector3> key{};
        if (!ReadKeyFrame(tag, frames, previous, where, key.frame, source)) return false;
        if (tag.GetVector3(1, key.value) == 0) return source.Fail(where + ": the vector does not read as [x y z].");
        previous = key.frame;
        keys.push_back(key);
    }
    return true;
}

struct NodeKey {
    Vector3 position;
    Vector3 degrees;
    Vector3 scale;
};
NodeKey Blend(const NodeKey& a, const NodeKey& b, float t) {
    return {Blend(a.position, b.position, t), Blend(a.degrees, b.degrees, t), Blend(a.scale, b.scale, t)};
}

Animation* BuildNodeAnimation(TagFile& root, const Source& source) {
    std::uint32_t frames = 0;
    float rate = 0.0f;
    if (!OnlyKnown(root, {"Frames", "FrameRate", "Flags", "Key"}, nullptr, "The source", source) ||
        !ReadFrames(root, frames, rate, source))
        return nullptr;
    DWORD flags = 0;
    if (TagFileTag* flagsTag = root.FindTag("Flags")) {
        for (std::uint32_t i = 0; i < flagsTag->ValueCount(); ++i) {
            const char* word = flagsTag->Value(i)->Text();
            DWORD flag = 0;
            if (!FindTagWord(word, kNodeFlagWords, flag))
                return source.Fail(std::string("\"Flags\" may hold ABSOLUTE and SCALE, not ") + word + "."), nullptr;
            flags |= flag;
        }
    }
    const bool scaled = (flags & kNodeAnimationScale) != 0;
    std::vector<Keyed<NodeKey>> keys;
    long previous = -1;
    for (KDLLink* link = root.tags.head; link != nullptr; link = link->next) {
        auto& tag = *static_cast<TagFileTag*>(link->item);
        if (CompareNoCase(tag.name.Text(), "Key") != 0) continue;
        const std::string where = "Key " + std::to_string(keys.size() + 1);
        Keyed<NodeKey> key{0, {{0, 0, 0}, {0, 0, 0}, {1, 1, 1}}};
        if (!ReadKeyFrame(tag, frames, previous, where, key.frame, source)) return nullptr;
        if (tag.GetVector3(1, key.value.position) == 0 || tag.GetVector3(2, key.value.degrees) == 0 ||
            (scaled && tag.GetVector3(3, key.value.scale) == 0) || tag.ValueCount() != (scaled ? 4u : 3u))
            return source.Fail(where + (scaled ? " must be: frame [position] [angles] [scale]."
                                                : " must be: frame [position] [angles].")),
                   nullptr;
        previous = key.frame;
        keys.push_back(key);
    }
    if (keys.empty()) return source.Fail("A node animation needs at least one \"Key\"."), nullptr;

    auto* animation = new NodeAnimation();
    if (animation == nullptr || !animation->AllocateKeys(frames, flags)) {
        if (animation != nullptr) animation->Release();
        return source.Fail("The keys do not fit in memory."), nullptr;
    }
    animation->SetFrameRate(rate);
    for (std::uint32_t frame = 0; frame < frames; ++frame) {
        const NodeKey pose = At(keys, frame);
        animation->Positions()[frame] = pose.position;
        animation->Rotations()[frame] = RotationFromDegrees(pose.degrees);
        if (scaled) animation->Scales()[frame] = pose.scale;
    }
    animation->startPosition = animation->Positions()[0];
    animation->startRotation = animation->Rotations()[0];
    if (scaled) animation->startScale = animation->Scales()[0];
    return animation;
}

struct BoneSource {
    std::string name;
    float weight = 1.0f;
    std::vector<Keyed<Vector3>> degrees;
    std::vector<float> values;
};

bool ReadBone(TagFile& node, std::size_t index, std::uint32_t frames, BoneSource& bone, const Source& source) {
    const std::string where = "Bone " + std::to_string(index + 1);
    if (!OnlyKnown(node, {"Name", "Weight", "Key"}, nullptr, where, source)) return false;
    EngineString name;
    TagFileTag* nameTag = node.FindTag("Name");
    if (nameTag == nullptr || nameTag->GetString(0, name) == 0 || name.Length() > kSkelBoneNameSize)
        return source.Fail(where + " needs a \"Name\" of 1 to 32 characters.");
    bone.name = Text(name);
    const std::string named = where + " ('" + bone.name + "')";
    if (TagFileTag* weight = node.FindTag("Weight"); weight != nullptr && (weight->GetFloat(0, bone.weight) == 0 ||
                                                                            !(bone.weight >= 0.0f)))
        return source.Fail(named + ": \"Weight\" must be a number of at least 0.");
    long previous = -1;
    for (KDLLink* link = node.tags.head; link != nullptr; link = link->next) {
        auto& tag = *static_cast<TagFileTag*>(link->item);
        if (CompareNoCase(tag.name.Text(), "Key") != 0) continue;
        const std::string key = named + ", key " + std::to_string(bone.degrees.size() + 1);
        Keyed<Vector3> angles{};
        float value = 0.0f;
        if (!ReadKeyFrame(tag, frames, previous, key, angles.frame, source)) return false;
        if (tag.ValueCount() != 3 || tag.GetVector3(1, angles.value) == 0 || tag.GetFloat(2, value) == 0)
            return source.Fail(key + " must be: frame [angles] value.");
        previous = angles.frame;
        bone.degrees.push_back(angles);
        bone.values.push_back(value);
    }
    return true;
}

Animation* BuildSkelAnimation(TagFile& root, const Source& source) {
    std::uint32_t frames = 0;
    float rate = 0.0f;
    if (!OnlyKnown(root, {"Frames", "FrameRate", "Axes", "Reference", "FirstTrack", "SecondTrack"}, "Bone",
                   "The source", source) ||
        !ReadFrames(root, frames, rate, source))
        return nullptr;
    DWORD axes = 0;
    if (TagFileTag* axesTag = root.FindTag("Axes")) {
        for (std::uint32_t i = 0; i < axesTag->ValueCount(); ++i) {
            const std::string letter = axesTag->Value(i)->Text();
            if (letter == "X") axes |= kSkelAnimationAxisX;
            else if (letter == "Y") axes |= kSkelAnimationAxisY;
            else if (letter == "Z") axes |= kSkelAnimationAxisZ;
            else return source.Fail("\"Axes\" may hold X, Y and Z, not " + letter + "."), nullptr;
        }
    }
    Vector3 reference{0, 0, 0};
    if (TagFileTag* referenceTag = root.FindTag("Reference"); referenceTag != nullptr &&
                                                              referenceTag->GetVector3(0, reference) == 0)
        return source.Fail("\"Reference\" does not read as [x y z]."), nullptr;
    std::vector<Keyed<Vector3>> firstTrack;
    std::vector<Keyed<Vector3>> secondTrack;
    if (!ReadVectorKeys(root, "FirstTrack", frames, firstTrack, source) ||
        !ReadVectorKeys(root, "SecondTrack", frames, secondTrack, source))
        return nullptr;

    std::vector<BoneSource> bones;
    for (KDLLink* link = root.children.head; link != nullptr; link = link->next) {
        bones.emplace_back();
        if (!ReadBone(*static_cast<TagFile*>(link->item), bones.size() - 1, frames, bones.back(), source))
            return nullptr;
    }
    if (bones.empty()) return source.Fail("A skeletal animation needs at least one \"Bone\"."), nullptr;

    std::vector<std::uint32_t> keyCounts;
    for (const BoneSource& bone : bones) keyCounts.push_back(static_cast<std::uint32_t>(bone.degrees.size()));
    auto* animation = new SkelAnimation();
    if (animation == nullptr ||
        !animation->AllocateBones(static_cast<std::uint32_t>(bones.size()), frames, keyCounts.data())) {
        if (animation != nullptr) animation->Release();
        return source.Fail("The bones do not fit in memory."), nullptr;
    }
    animation->SetFrameRate(rate);
    animation->SetAxisFlags(axes);
    animation->reference = reference;
    for (std::uint32_t frame = 0; frame < frames; ++frame) {
        animation->FirstTrack()[frame] = firstTrack.empty() ? Vector3{0, 0, 0} : At(firstTrack, frame);
        animation->SecondTrack()[frame] = secondTrack.empty() ? Vector3{0, 0, 0} : At(secondTrack, frame);
    }
    for (std::uint32_t b = 0; b < bones.size(); ++b) {
        const BoneSource& bone = bones[b];
        animation->Bones()[b].weight = bone.weight;
        std::memcpy(animation->BoneNames()[b].name, bone.name.data(), bone.name.size());
        SkelKey* keys = animation->BoneKeys(b);
        for (std::size_t k = 0; k < bone.degrees.size(); ++k) {
            const std::uint32_t start = bone.degrees[k].frame;
            const std::uint32_t end = k + 1 < bone.degrees.size() ? bone.degrees[k + 1].frame : frames;
            keys[k].startFrame = static_cast<std::uint16_t>(start);
            keys[k].frameLength = static_cast<std::uint16_t>(end > start ? end - start : 1);
            keys[k].rotation = RotationFromDegrees(bone.degrees[k].value);
            keys[k].value = bone.values[k];
        }
    }
    return animation;
}

}  // namespace

Animation* BuildAnimation(TagFile& root, const std::string& sourceName, std::string& error) {
    const Source source{sourceName, error};
    const char* kind = root.name.Text();
    if (CompareNoCase(kind, "NodeAnimation") == 0) {
        auto* animation = new NodeAnimation();
        if (animation != nullptr && animation->ReadText(root) == 0) return animation;
        if (animation != nullptr) animation->Release();
        return source.Fail("The node animation text does not read: a required node or tag is missing, a key count "
                           "differs from the frame count, or a value is malformed."),
               nullptr;
    }
    if (CompareNoCase(kind, "NodeAnimationSource") == 0) return BuildNodeAnimation(root, source);
    if (CompareNoCase(kind, "SkelAnimationSource") == 0) return BuildSkelAnimation(root, source);
    return source.Fail("The root node is '" + Text(root.name) +
                       "'; it must be NodeAnimation, NodeAnimationSource or SkelAnimationSource."),
           nullptr;
}
