// kelview's command line.
#include "tools/kelview/ViewOptions.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace kelview {

namespace {

constexpr int kMinSide = 16;
constexpr int kMaxSide = 4096;

bool ParseFloat(const std::string& text, float* value) {
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size()) return false;
    // Finite as a float: 1e300 is a double but not a float.
    const float narrowed = static_cast<float>(parsed);
    if (!std::isfinite(narrowed)) return false;
    *value = narrowed;
    return true;
}

// "x,y,z".
bool ParseTriple(const std::string& text, Triple* value) {
    const std::size_t first = text.find(',');
    const std::size_t second = first == std::string::npos ? first : text.find(',', first + 1);
    if (second == std::string::npos || text.find(',', second + 1) != std::string::npos) return false;
    return ParseFloat(text.substr(0, first), &value->x) &&
           ParseFloat(text.substr(first + 1, second - first - 1), &value->y) &&
           ParseFloat(text.substr(second + 1), &value->z);
}

// "<width>x<height>".
bool ParseSize(const std::string& text, int* width, int* height) {
    const std::size_t cross = text.find('x');
    if (cross == std::string::npos) return false;
    char* end = nullptr;
    const long w = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + cross) return false;
    const long h = std::strtol(text.c_str() + cross + 1, &end, 10);
    if (*end != 0 || cross + 1 == text.size()) return false;
    if (w < kMinSide || w > kMaxSide || h < kMinSide || h > kMaxSide) return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

// Six hex digits: strtoul alone would take a sign or spaces, and "-00001" would wrap.
bool ParseColour(const std::string& text, std::uint32_t* value) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    *value = static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
    return true;
}

bool InUnitRange(const Triple& t) { return t.x >= 0 && t.x <= 1 && t.y >= 0 && t.y <= 1 && t.z >= 0 && t.z <= 1; }

}  // namespace

const char* ViewHelpText() {
    return "usage: kelview [options] <object> <picture.png>\n"
           "       kelview --bake [options] <object>...\n"
           "\n"
           "Renders the object <object> of the game's data (its scene file, caches or texts, as the\n"
           "game's object database loads them) to a PNG picture, with the engine's own loaders and\n"
           "OpenGL ES render device, without a window. The object is lit by one directional light\n"
           "and an ambient colour baked into its vertices, as the game lights its tiles.\n"
           "\n"
           "  --data <folder>       the data folder (default: the current folder); its .par archives\n"
           "                        are mounted as the game mounts them\n"
           "  --archive <file.par>  a further archive over the data folder (may be given again; the\n"
           "                        later wins)\n"
           "  --size <w>x<h>        the picture's size in pixels, 16 to 4096 a side (default 256x256)\n"
           "  --eye <x,y,z>         where the camera stands (default: in front of the object, above,\n"
           "                        far enough to frame its bounds)\n"
           "  --target <x,y,z>      the point the camera looks at (default: the middle of the bounds)\n"
           "  --fov <degrees>       the vertical field of view, 1 to 170 (default 45)\n"
           "  --light <x,y,z>       the direction the light shines in (default -0.4,0.6,-1)\n"
           "  --light-colour <r,g,b> its colour, each 0 to 1 (default 0.8,0.8,0.75)\n"
           "  --ambient <r,g,b>     the ambient colour, each 0 to 1 (default 0.35,0.35,0.4)\n"
           "  --background <rrggbb> the colour behind the object (default 303848)\n"
           "  --animation <name>    plays animations/<name>.kan on the object's skinned parts\n"
           "  --frame <n>           the frame of the animation shown, from 0 (default 0)\n"
           "  --level <fixture>     renders a fixture level in place of an object: lines \"size <columns>\n"
           "                        <rows>\", \"row <row> <tile type or .>...\", \"object <type code> <column>\n"
           "                        <row>\" and \"level <index>\" (the tutorial signs go by it)\n"
           "  --bake                renders nothing: reads each object's text mesh (.fmesh) or text\n"
           "                        skeleton (.skel) and writes its .kgc or .ksk cache beside it, as\n"
           "                        the game does on its first load\n"
           "  --help                prints this text\n"
           "\n"
           "World units: a level tile is 10 a side; z is up. Exit status: 0 done, 1 the object or its\n"
           "data could not be had, or the picture not written, 2 a mistake on the command line.\n";
}

bool ParseViewOptions(int argc, const char* const* argv, ViewOptions* options, std::string* error) {
    std::vector<std::string> free;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--help") {
            options->help = true;
            return true;
        }
        if (word == "--bake") {
            options->bake = true;
            continue;
        }
        if (word.rfind("--", 0) != 0) {
            if (word.empty()) {
                *error = "an object or picture name is empty.";
                return false;
            }
            free.push_back(word);
            continue;
        }
        if (i + 1 >= argc) {
            *error = "the option " + word + " needs a value.";
            return false;
        }
        const std::string value = argv[++i];
        bool good = true;
        if (word == "--data") {
            options->dataFolder = value;
        } else if (word == "--archive") {
            options->archives.push_back(value);
        } else if (word == "--size") {
            good = ParseSize(value, &options->width, &options->height);
        } else if (word == "--eye") {
            good = options->eyeGiven = ParseTriple(value, &options->eye);
        } else if (word == "--target") {
            good = options->targetGiven = ParseTriple(value, &options->target);
        } else if (word == "--fov") {
            good = ParseFloat(value, &options->fieldOfView) && options->fieldOfView >= 1 && options->fieldOfView <= 170;
        } else if (word == "--light") {
            good = ParseTriple(value, &options->lightDirection) &&
                   (options->lightDirection.x != 0 || options->lightDirection.y != 0 || options->lightDirection.z != 0);
        } else if (word == "--light-colour") {
            good = ParseTriple(value, &options->lightColour) && InUnitRange(options->lightColour);
        } else if (word == "--ambient") {
            good = ParseTriple(value, &options->ambient) && InUnitRange(options->ambient);
        } else if (word == "--background") {
            good = ParseColour(value, &options->background);
        } else if (word == "--animation") {
            options->animation = value;
            good = !value.empty();
        } else if (word == "--level") {
            options->level = value;
            good = !value.empty();
        } else if (word == "--frame") {
            good = ParseFloat(value, &options->frame) && options->frame >= 0;
        } else {
            *error = word + " is not an option of kelview (see --help).";
            return false;
        }
        if (!good) {
            *error = "the value '" + value + "' of " + word + " is not one it takes (see --help).";
            return false;
        }
    }
    if (options->bake) {
        if (free.empty()) {
            *error = "--bake needs at least one object.";
            return false;
        }
        options->objects = free;
        return true;
    }
    if (!options->level.empty()) {
        if (free.size() != 1) {
            *error = "kelview --level takes one picture and no object (see --help).";
            return false;
        }
        options->picture = free[0];
        return true;
    }
    if (free.size() != 2) {
        *error = "kelview takes one object and one picture (see --help).";
        return false;
    }
    options->objects = {free[0]};
    options->picture = free[1];
    return true;
}

}  // namespace kelview
