// SkelAnimation's weights file: "NumberOfBones: N", then N lines each holding a bone name
// followed by its weight, then "Flags: " with the axis letters X, Y and Z.
#include <cstdlib>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/node/StreamFields.h"
#include "engine/core/text/EngineString.h"
#include "engine/resources/animation/SkelAnimation.h"

namespace {

constexpr char kBoneCountPrefix[] = "NumberOfBones: ";
constexpr char kFlagsPrefix[] = "Flags: ";
constexpr float kLargestWeight = 1e30f;

// Hands out the lines of a zero-terminated text, each without its line break (CR, LF or
// CR LF), cut in place.
class Lines {
public:
    explicit Lines(char* text) : at_(text) {}
    const char* Next() {
        if (at_ == nullptr || *at_ == 0) return nullptr;
        char* line = at_;
        char* end = line + std::strcspn(line, "\r\n");
        if (*end == 0) {
            at_ = end;
        } else {
            at_ = end + (end[0] == '\r' && end[1] == '\n' ? 2 : 1);
            *end = 0;
        }
        return line;
    }

private:
    char* at_;
};

bool StartsWith(const char* line, const char* prefix) { return std::strncmp(line, prefix, std::strlen(prefix)) == 0; }

// The stream's remaining data as a zero-terminated engine block, or null.
char* ReadAll(FileStream& stream) {
    const std::uint64_t size = StreamBytesLeft(stream);
    if (size >= kMaximumEngineAllocation) return nullptr;
    auto* text = static_cast<char*>(EngineAlloc(static_cast<std::size_t>(size) + 1));
    if (text == nullptr) return nullptr;
    const DWORD read = stream.Read(text, static_cast<DWORD>(size));
    text[read == size ? size : 0] = 0;
    return text;
}

}  // namespace

int SkelAnimation::ReadWeights(FileStream& stream) {
    char* text = ReadAll(stream);
    if (text == nullptr) return 1;
    Lines lines(text);
    const char* line = lines.Next();
    int result = 1;
    long declared = -1;
    if (line != nullptr && StartsWith(line, kBoneCountPrefix)) {
        char* end = nullptr;
        declared = std::strtol(line + std::strlen(kBoneCountPrefix), &end, 10);
        if (end == line + std::strlen(kBoneCountPrefix)) declared = -1;
    }
    if (declared >= 0 && declared <= static_cast<long>(boneCount_)) {
        result = 0;
        for (long n = 0; n < declared && result == 0; ++n) {
            line = lines.Next();
            if (line == nullptr) {
                result = 1;
                break;
            }
            // The first bone in bone order whose name begins the line takes the weight. An
            // unnamed bone is no prefix of anything: it could not be told from its neighbours.
            for (std::uint32_t bone = 0; bone < boneCount_ && boneNames_ != nullptr; ++bone) {
                const std::size_t length = strnlen(boneNames_[bone].name, kSkelBoneNameSize);
                if (length == 0 || std::strncmp(line, boneNames_[bone].name, length) != 0) continue;
                char* end = nullptr;
                const float weight = std::strtof(line + length, &end);
                if (end == line + length || !(weight >= 0.0f && weight <= kLargestWeight)) result = 1;
                else bones_[bone].weight = weight;
                break;
            }
        }
        line = result == 0 ? lines.Next() : nullptr;
        if (line != nullptr && StartsWith(line, kFlagsPrefix)) {
            DWORD axes = 0;
            for (const char* at = line + std::strlen(kFlagsPrefix); *at != 0; ++at) {
                if (*at == 'X') axes |= kSkelAnimationAxisX;
                if (*at == 'Y') axes |= kSkelAnimationAxisY;
                if (*at == 'Z') axes |= kSkelAnimationAxisZ;
            }
            SetAxisFlags(axes);
        }
    }
    EngineFree(text);
    return result;
}

int SkelAnimation::WriteWeights(FileStream& stream) {
    if (stream.IsMemory()) return 1;
    stream.WriteString(EngineString::Format("%s%d\n", kBoneCountPrefix, static_cast<int>(boneCount_)).Text());
    for (std::uint32_t bone = 0; bone < boneCount_; ++bone) {
        char name[kSkelBoneNameSize + 1];
        BoneName(bone, name);
        stream.WriteString(EngineString::Format("%s %.2f\n", name, static_cast<double>(bones_[bone].weight)).Text());
    }
    stream.WriteString(EngineString::Format("%s%s%s%s\n", kFlagsPrefix, (flags_ & kSkelAnimationAxisX) != 0 ? "X" : "",
                                            (flags_ & kSkelAnimationAxisY) != 0 ? "Y" : "",
                                            (flags_ & kSkelAnimationAxisZ) != 0 ? "Z" : "")
                           .Text());
    return 0;
}
