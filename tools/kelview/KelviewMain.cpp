// kelview: renders an object of the game's data to a PNG picture with the engine's own
// loaders and render device, headless; or writes the objects' geometry caches (--bake).
// `kelview --help` tells the command line.
#include <cstdio>
#include <string>

#include "engine/core/memory/StandardErrorLog.h"
#include "engine/core/node/KNode.h"
#include "game/world/level/Level.h"
#include "platform/screen/PngFile.h"
#include "tools/kelview/LevelFixture.h"
#include "tools/kelview/ViewOptions.h"
#include "tools/kelview/ViewSession.h"
#include "tools/source_text/SourceText.h"

namespace {

// The fixture level's tiles and objects, drawn together as one scene.
bool RenderLevel(kelview::ViewSession& session, const kelview::ViewOptions& options, platform::screen::Image* frame,
                 std::string* error) {
    std::string text;
    if (!ReadSourceFile(options.level, text, *error)) return false;
    auto* level = new Level();
    auto* root = new KNode();
    bool drawn = level != nullptr && root != nullptr && kelview::BuildFixtureLevel(text, options.level, *level, *error);
    if (drawn) {
        kelview::AttachFixtureLevel(*level, *root);
        drawn = session.Render(*root, options, frame, error);
        kelview::DetachFixtureLevel(*root);
    }
    if (root != nullptr) root->Release();
    delete level;
    return drawn;
}

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
    bool drawn = false;
    if (!options.level.empty()) {
        drawn = session.StartDevice(options, &error) && RenderLevel(session, options, &frame, &error);
    } else {
        KNode* object = session.StartDevice(options, &error) ? session.Load(options.objects[0], &error) : nullptr;
        drawn = object != nullptr && session.Render(*object, options, &frame, &error);
    }
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
