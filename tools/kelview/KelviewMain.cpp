// kelview: renders an object of the game's data to a PNG picture with the engine's own
// loaders and render device, headless; or writes the objects' geometry caches (--bake).
// `kelview --help` tells the command line.
#include <cstdio>
#include <string>

#include "engine/core/memory/StandardErrorLog.h"
#include "platform/screen/PngFile.h"
#include "tools/kelview/ViewOptions.h"
#include "tools/kelview/ViewSession.h"

namespace {

int Run(const kelview::ViewOptions& options) {
    kelview::ViewSession session;
    std::string error;
    if (!session.Start(options, &error)) {
        std::fprintf(stderr, "kelview: %s\n", error.c_str());
        return 1;
    }
    if (options.bake) {
        for (const std::string& object : options.objects) {
            if (!session.Bake(object, &error)) {
                std::fprintf(stderr, "kelview: %s\n", error.c_str());
                return 1;
            }
            std::printf("kelview: baked objects/%s\n", object.c_str());
        }
        return 0;
    }
    platform::screen::Image frame;
    KNode* object = session.StartDevice(options, &error) ? session.Load(options.objects[0], &error) : nullptr;
    const bool drawn = object != nullptr && session.Render(*object, options, &frame, &error);
    if (!drawn || !platform::screen::WritePng(frame, options.picture, error)) {
        std::fprintf(stderr, "kelview: %s\n", error.c_str());
        return 1;
    }
    std::printf("kelview: wrote %s (%dx%d)\n", options.picture.c_str(), frame.width, frame.height);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    kelview::ViewOptions options;
    std::string error;
    if (!kelview::ParseViewOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "kelview: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(kelview::ViewHelpText(), stdout);
        return 0;
    }
    // What the engine's loaders say about the data is what the person looking needs to read.
    SetLogStream(&StandardErrorLog());
    return Run(options);
}
