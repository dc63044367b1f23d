// The two stored forms of a path animation, the binary cache and the text source, and the
// loader that prefers the cache and writes it after reading the text.
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/EngineString.h"
#include "game/world/pathanim/PathAnim.h"

namespace {

std::uint32_t ReadWord(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

float ReadFloat(const std::uint8_t* bytes) {
    const std::uint32_t word = ReadWord(bytes);
    float value;
    std::memcpy(&value, &word, sizeof value);
    return value;
}

bool WriteFloats(FileStream& stream, const float* values, int count) {
    for (int i = 0; i < count; ++i) {
        std::uint32_t word;
        std::memcpy(&word, &values[i], sizeof word);
        if (!StreamWrite4(stream, word)) return false;
    }
    return true;
}

// The node's tags in order, exactly `count` of them; false (and a log line) otherwise.
bool CountTags(TagFile* node, const char* nodeName, std::uint32_t count, const char* source) {
    if (node == nullptr) {
        LogException("%s: the path animation has no %s node.", KEL_SOURCE_FILE, __LINE__, source, nodeName);
        return false;
    }
    if (node->tags.count != count) {
        LogException("%s: %s holds %u frames where the header gives %u.", KEL_SOURCE_FILE, __LINE__, source, nodeName,
                     node->tags.count, count);
        return false;
    }
    return true;
}

}  // namespace

bool ReadPathAnimationCache(PathAnim& animation, const std::uint8_t* bytes, std::uint64_t size) {
    if (size < 4) return false;
    const std::uint32_t count = ReadWord(bytes);
    // The size must be exactly what the count says, checked before anything is allocated: a
    // count from a damaged cache must not ask for memory the file does not back.
    if (count == 0 || size != 4 + kPathFrameBytes * count) return false;
    if (!animation.Allocate(count)) return false;
    const std::uint8_t* at = bytes + 4;
    for (std::uint32_t i = 0; i < count; ++i, at += 12)
        animation.positions[i] = {ReadFloat(at), ReadFloat(at + 4), ReadFloat(at + 8)};
    for (std::uint32_t i = 0; i < count; ++i, at += 16)
        animation.rotations[i] = {ReadFloat(at), ReadFloat(at + 4), ReadFloat(at + 8), ReadFloat(at + 12)};
    return true;
}

bool ReadPathAnimationText(PathAnim& animation, TagFile& root, const char* source) {
    TagFileTag* header = root.FindTagByPath("AnimationHeader/NumberOfFrames");
    std::uint32_t count = 0;
    if (header == nullptr || header->GetUInt(0, count) == 0) {
        LogException("%s: the path animation has no AnimationHeader with NumberOfFrames.", KEL_SOURCE_FILE, __LINE__,
                     source);
        return false;
    }
    TagFile* positions = root.FindChild("Positions");
    TagFile* rotations = root.FindChild("Rotations");
    if (!CountTags(positions, "Positions", count, source) || !CountTags(rotations, "Rotations", count, source))
        return false;
    if (!animation.Allocate(count)) {
        LogException("%s: %u frames do not fit in memory.", KEL_SOURCE_FILE, __LINE__, source, count);
        return false;
    }
    std::uint32_t frame = 0;
    for (KDLListIterator it(positions->tags); !it.AtEnd(); it.Next(), ++frame) {
        if (static_cast<TagFileTag*>(it.Item())->GetVector3(0, animation.positions[frame]) == 0) {
            LogException("%s: position %u is not a vector.", KEL_SOURCE_FILE, __LINE__, source, frame);
            return false;
        }
    }
    frame = 0;
    for (KDLListIterator it(rotations->tags); !it.AtEnd(); it.Next(), ++frame) {
        if (static_cast<TagFileTag*>(it.Item())->GetQuaternion(0, animation.rotations[frame]) == 0) {
            LogException("%s: rotation %u is not a quaternion.", KEL_SOURCE_FILE, __LINE__, source, frame);
            return false;
        }
    }
    return true;
}

bool WritePathAnimationText(const PathAnim& animation, TagFile& root) {
    TagFile* header = root.AddChild("AnimationHeader");
    TagFileTag* frames = header != nullptr ? header->AddTag("NumberOfFrames") : nullptr;
    if (frames == nullptr) return false;
    const EngineString count = EngineString::Format("%u", animation.frameCount);
    TagFile* positions = root.AddChild("Positions");
    TagFile* rotations = root.AddChild("Rotations");
    if (!frames->AddValue(count.Text(), count.Length()) || positions == nullptr || rotations == nullptr) return false;
    for (std::uint32_t i = 0; i < animation.frameCount; ++i) {
        TagFileTag* position = positions->AddTag("Frame");
        TagFileTag* rotation = rotations->AddTag("Frame");
        if (position == nullptr || rotation == nullptr || !position->AddVector3(animation.positions[i]) ||
            !rotation->AddVector4(animation.rotations[i]))
            return false;
    }
    return true;
}

bool WritePathAnimationCache(const PathAnim& animation, FileStream& stream) {
    if (!animation.IsValid() || !StreamWrite4(stream, animation.frameCount)) return false;
    for (std::uint32_t i = 0; i < animation.frameCount; ++i)
        if (!WriteFloats(stream, &animation.positions[i].x, 3)) return false;
    for (std::uint32_t i = 0; i < animation.frameCount; ++i)
        if (!WriteFloats(stream, &animation.rotations[i].x, 4)) return false;
    return true;
}

bool LoadPathAnimation(PathAnim& animation, const char* name) {
    if (name == nullptr) return false;
    const EngineString cachePath = EngineString::Format("animations/%s.pathanim", name);
    FileStream cache;
    if (cache.Open(cachePath.Text(), kStreamBinary | kStreamReadWhole) != 0) {
        const bool read = ReadPathAnimationCache(animation, cache.Image(), cache.Size());
        cache.Close();
        if (read) return true;
    }
    const EngineString textPath = EngineString::Format("animations/%s.anim", name);
    TagFile root;
    if (root.Load(textPath.Text(), 0) != 0) return false;
    if (!ReadPathAnimationText(animation, root, textPath.Text())) return false;
    // A cache that cannot be written is left as it is: the next load reads the text again.
    FileStream out;
    if (out.Open(cachePath.Text(), kStreamWrite | kStreamBinary) != 0) {
        WritePathAnimationCache(animation, out);
        out.Close();
    }
    return true;
}
