// Baking a path animation from its keys.
#include "tools/make_world_data/PathSource.h"

#include <cmath>
#include <vector>

#include "engine/core/math/QuaternionMath.h"
#include "engine/core/math/VectorMath.h"
#include "game/world/pathanim/PathAnim.h"
#include "tools/source_text/SourceText.h"

namespace {

constexpr long kMaximumFrames = 24 * 60;
constexpr double kDegreesToRadians = 3.14159265358979323846 / 180.0;

struct Key {
    long frame;
    double value[3];
};

// The keys' value at the frame: linear between keys, held before the first and after the last.
void ValueAt(const std::vector<Key>& keys, long frame, int size, double* out) {
    std::size_t next = 0;
    while (next < keys.size() && keys[next].frame <= frame) ++next;
    const Key& before = keys[next == 0 ? 0 : next - 1];
    const Key& after = keys[next < keys.size() ? next : keys.size() - 1];
    const double span = static_cast<double>(after.frame - before.frame);
    const double a = span > 0 ? static_cast<double>(frame - before.frame) / span : 0.0;
    for (int i = 0; i < size; ++i) out[i] = before.value[i] + a * (after.value[i] - before.value[i]);
}

}  // namespace

bool BuildPathAnimation(const std::string& text, const std::string& fileName, PathAnim& path, std::string& error) {
    long frames = 0;
    double axis[3] = {0, 0, 1};
    std::vector<Key> positions;
    std::vector<Key> angles;
    for (const SourceLine& line : SplitSourceLines(text)) {
        SourceReader reader(fileName, line);
        const std::string& word = line.words[0];
        const std::size_t count = line.words.size();
        if (word == "frames" && count == 2) {
            frames = reader.Integer(line.words[1], 1, kMaximumFrames, "the frame count");
        } else if (word == "axis" && count == 4) {
            for (int i = 0; i < 3; ++i) axis[i] = reader.Number(line.words[1 + i], -1e6, 1e6, "an axis component");
            if (!reader.Failed() && axis[0] == 0 && axis[1] == 0 && axis[2] == 0) reader.Fail("the axis has no length");
        } else if ((word == "position" && count == 5) || (word == "angle" && count == 3)) {
            std::vector<Key>& keys = word == "position" ? positions : angles;
            if (frames == 0) reader.Fail("keys come after the frame count");
            Key key{reader.Integer(line.words[1], 0, frames - 1, "a key's frame"), {0, 0, 0}};
            for (std::size_t i = 2; i < count; ++i)
                key.value[i - 2] = reader.Number(line.words[i], -1e6, 1e6, "a key's value");
            if (!reader.Failed() && !keys.empty() && key.frame <= keys.back().frame)
                reader.Fail("keys must follow each other in rising frames");
            keys.push_back(key);
        } else {
            reader.Fail("\"" + word + "\" with " + std::to_string(count - 1) +
                        " values is none of frames, axis, angle or position");
        }
        if (reader.Failed()) {
            error = reader.Error();
            return false;
        }
    }
    if (frames == 0) {
        error = fileName + ": there is no frame count.";
        return false;
    }
    if (positions.empty()) positions.push_back({0, {0, 0, 0}});
    if (angles.empty()) angles.push_back({0, {0, 0, 0}});
    if (!path.Allocate(static_cast<std::uint32_t>(frames))) {
        error = fileName + ": the frames do not fit in memory.";
        return false;
    }
    Vector3 unitAxis{static_cast<float>(axis[0]), static_cast<float>(axis[1]), static_cast<float>(axis[2])};
    Vector3Normalize(unitAxis);
    for (long frame = 0; frame < frames; ++frame) {
        double position[3];
        double angle;
        ValueAt(positions, frame, 3, position);
        ValueAt(angles, frame, 1, &angle);
        path.positions[frame] = {static_cast<float>(position[0]), static_cast<float>(position[1]),
                                 static_cast<float>(position[2])};
        QuaternionFromAxisAngle(unitAxis, static_cast<float>(angle * kDegreesToRadians), path.rotations[frame]);
    }
    return true;
}
