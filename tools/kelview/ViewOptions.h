// kelview's command line: what to show, where its data is, and how to look at it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelview {

struct Triple {
    float x, y, z;
};

struct ViewOptions {
    std::string dataFolder = ".";
    std::vector<std::string> archives;  // mounted after the data folder's own, later ones winning
    std::vector<std::string> objects;   // the object to render, or every object to bake
    std::string level;                  // a fixture level to render in place of an object
    std::string picture;                // the PNG to write
    int width = 256;
    int height = 256;
    bool eyeGiven = false;
    Triple eye{0, 0, 0};
    bool targetGiven = false;
    Triple target{0, 0, 0};
    float fieldOfView = 45.0f;  // degrees, vertical
    Triple lightDirection{-0.4f, 0.6f, -1.0f};
    Triple lightColour{0.8f, 0.8f, 0.75f};
    Triple ambient{0.35f, 0.35f, 0.4f};
    std::uint32_t background = 0x303848;  // RRGGBB
    std::string animation;  // played on the object's skinned parts at `frame`; none: the rest pose
    float frame = 0.0f;
    bool bake = false;
    bool help = false;
};

// The options of argv[1] on; false with a sentence naming the mistake in `error`.
bool ParseViewOptions(int argc, const char* const* argv, ViewOptions* options, std::string* error);

// What --help prints.
const char* ViewHelpText();

}  // namespace kelview
