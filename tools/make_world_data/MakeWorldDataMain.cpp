// make_world_data: builds and checks the game world's demo data.
//   make_world_data pathanim <source.pathsrc> <output stem>
//     bakes the path animation and writes <stem>.anim, its text form, and <stem>.pathanim, the
//     cache the game's own loader writes from that text (and reads back before it is copied).
//   make_world_data cutscene <script.cut>
//     reads the cut-scene script as the game does and fails on any mistake or lost line.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "engine/core/files/DataFolder.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/memory/EngineMemory.h"
#include "game/world/cutscene/Cutscene.h"
#include "game/world/level/Level.h"
#include "game/world/pathanim/PathAnim.h"
#include "platform/base/HandsetRoot.h"
#include "tools/make_world_data/PathSource.h"
#include "tools/source_text/SourceText.h"

namespace fs = std::filesystem;

namespace {

// A handset root of its own, so that the game's loader reads and writes in the usual places.
class ScratchRoot {
public:
    ScratchRoot() {
        std::string pattern = (fs::temp_directory_path() / "make_world_data-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        path_ = pattern;
        std::error_code ignored;
        fs::create_directories(Data() / "animations", ignored);
        platform::SetHandsetRoot(path_);
        SetDataFolder("\\data\\");
    }
    ~ScratchRoot() {
        SetDataFolder(nullptr);
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    ScratchRoot(const ScratchRoot&) = delete;
    ScratchRoot& operator=(const ScratchRoot&) = delete;

    bool Made() const { return !path_.empty(); }
    fs::path Data() const { return fs::path(path_) / "fs" / "data"; }

private:
    std::string path_;
};

bool SameFrames(const PathAnim& a, const PathAnim& b) {
    if (a.frameCount != b.frameCount) return false;
    for (std::uint32_t i = 0; i < a.frameCount; ++i) {
        const Vector3 &p = a.positions[i], &q = b.positions[i];
        const Quaternion &r = a.rotations[i], &s = b.rotations[i];
        if (std::abs(p.x - q.x) + std::abs(p.y - q.y) + std::abs(p.z - q.z) > 1e-4f) return false;
        if (std::abs(r.x - s.x) + std::abs(r.y - s.y) + std::abs(r.z - s.z) + std::abs(r.w - s.w) > 1e-4f) return false;
    }
    return true;
}

int MakePath(const std::string& sourcePath, const std::string& stem) {
    std::string text, error;
    if (!ReadSourceFile(sourcePath, text, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    PathAnim baked;
    if (!BuildPathAnimation(text, fs::path(sourcePath).filename().string(), baked, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    TagFile root("PathAnimation");
    if (!WritePathAnimationText(baked, root)) {
        std::fprintf(stderr, "make_world_data: no memory for the text of %s.\n", sourcePath.c_str());
        return 1;
    }
    const EngineString written = root.WriteText();
    ScratchRoot scratch;
    const std::string name = fs::path(stem).filename().string();
    {
        std::ofstream out(scratch.Data() / "animations" / (name + ".anim"), std::ios::binary);
        out << written.Text() << "\n";
    }
    // The game's loader reads the text and writes the cache; a second load reads the cache.
    PathAnim fromText, fromCache;
    const bool loaded = scratch.Made() && LoadPathAnimation(fromText, name.c_str()) &&
                        fs::remove(scratch.Data() / "animations" / (name + ".anim")) &&
                        LoadPathAnimation(fromCache, name.c_str());
    if (!loaded || !SameFrames(baked, fromText) || !SameFrames(baked, fromCache)) {
        std::fprintf(stderr, "make_world_data: %s does not read back as it was baked.\n", sourcePath.c_str());
        return 1;
    }
    std::error_code failure;
    fs::copy_file(scratch.Data() / "animations" / (name + ".pathanim"), stem + ".pathanim",
                  fs::copy_options::overwrite_existing, failure);
    std::ofstream anim(stem + ".anim", std::ios::binary | std::ios::trunc);
    anim << written.Text() << "\n";
    if (failure || !anim) {
        std::fprintf(stderr, "make_world_data: cannot write %s.anim and %s.pathanim.\n", stem.c_str(), stem.c_str());
        return 1;
    }
    std::printf("make_world_data: wrote %s.anim and %s.pathanim (%u frames)\n", stem.c_str(), stem.c_str(),
                baked.frameCount);
    return 0;
}

int CheckCutscene(const std::string& path) {
    std::string text, error;
    if (!ReadSourceFile(path, text, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    TagFile root;
    if (text.find('\0') != std::string::npos || root.ParseText(text.c_str()) != 0) {
        std::fprintf(stderr, "%s: the text is no TagFile: a node name, its \"{\" or a tag line is malformed.\n",
                     path.c_str());
        return 1;
    }
    auto* level = new Level();
    const int before = ExceptionCount();
    const bool read = ReadCutscene(*level, root, path.c_str());
    const std::int32_t lines = level->cutsceneCount;
    delete level;
    if (!read || ExceptionCount() != before) {
        const ExceptionRecord* record = ExceptionAt(before);
        std::fprintf(stderr, "%s: the script does not read whole%s%s\n", path.c_str(), record != nullptr ? ": " : ".",
                     record != nullptr ? record->message : "");
        return 1;
    }
    std::printf("make_world_data: checked %s (%d lines)\n", path.c_str(), lines);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!((mode == "pathanim" && argc == 4) || (mode == "cutscene" && argc == 3))) {
        std::fprintf(stderr,
                     "usage: make_world_data pathanim <source.pathsrc> <output stem>\n"
                     "       make_world_data cutscene <script.cut>\n");
        return 2;
    }
    if (HeapInit() != 0) {
        std::fprintf(stderr, "make_world_data: the engine heaps could not be reserved.\n");
        return 1;
    }
    const int result = mode == "pathanim" ? MakePath(argv[2], argv[3]) : CheckCutscene(argv[2]);
    HeapTeardown();
    return result;
}
