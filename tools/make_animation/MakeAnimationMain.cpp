// make_animation <source> <output.kan>: builds an animation from its readable source (see
// AnimationSource.h) and writes it as a ".kan" file, which it reads back through the engine's
// loader before it says it wrote it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "engine/core/files/FileStream.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/node/NodeAnimation.h"
#include "engine/core/object/Module.h"
#include "engine/resources/animation/AnimationLoader.h"
#include "engine/resources/animation/SkelAnimation.h"
#include "platform/base/HandsetRoot.h"
#include "tools/make_animation/AnimationSource.h"

namespace {

const ModuleEntry kAnimationClasses[] = {{"Create_NodeAnimation", AsModuleFunction(&CreateNodeAnimation)},
                                         {"Create_SkelAnimation", AsModuleFunction(&CreateSkelAnimation)},
                                         {nullptr, nullptr}};

// The engine writes files only below the handset root: the file is written under a scratch
// root, read back from there and then copied to the output.
class ScratchRoot {
public:
    ScratchRoot() {
        std::string pattern = (std::filesystem::temp_directory_path() / "make_animation-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        path_ = pattern;
        std::filesystem::create_directories(path_ + "/fs");
        platform::SetHandsetRoot(path_);
    }
    ~ScratchRoot() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchRoot(const ScratchRoot&) = delete;
    ScratchRoot& operator=(const ScratchRoot&) = delete;

    bool Made() const { return !path_.empty(); }
    std::string File() const { return path_ + "/fs/animation.kan"; }

private:
    std::string path_;
};

constexpr char kScratchFile[] = "\\animation.kan";

bool WriteScratch(Animation& animation) {
    FileStream out;
    if (out.Open(kScratchFile, kStreamWrite | kStreamBinary | kStreamAbsolutePath) == 0) return false;
    const bool written = WriteAnimationFile(out, animation, "libkel") == 0;
    out.Close();
    return written;
}

// The written file read back as the engine reads it: same class, frames and (for skeletal
// animations) bones and keys.
bool ReadsBack(const Animation& animation) {
    FileStream in;
    if (in.Open(kScratchFile, kStreamBinary | kStreamAbsolutePath) == 0) return false;
    Animation* read = ReadAnimationFile(in, "check");
    if (read == nullptr) return false;
    bool same = read->GetTypeId() == animation.GetTypeId() && read->FrameCount() == animation.FrameCount();
    if (same && read->IsKindOf(SkelAnimation::StaticTypeId())) {
        const auto& a = static_cast<const SkelAnimation&>(animation);
        const auto& b = *static_cast<SkelAnimation*>(read);
        same = a.BoneCount() == b.BoneCount() && a.KeyCount() == b.KeyCount();
    }
    read->Release();
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_animation <source> <output.kan>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make_animation: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TagFile root;
    if (text.find('\0') != std::string::npos || root.ParseText(text.c_str()) != 0) {
        std::fprintf(stderr, "%s: the text is no TagFile: a node name, its \"{\" or a tag line is malformed.\n",
                     argv[1]);
        return 1;
    }
    std::string error;
    Animation* animation = BuildAnimation(root, argv[1], error);
    if (animation == nullptr) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    ScratchRoot scratch;
    RegisterModule("libkel", kAnimationClasses);
    const bool written = scratch.Made() && WriteScratch(*animation) && ReadsBack(*animation);
    std::error_code copyError;
    if (written)
        std::filesystem::copy_file(scratch.File(), argv[2], std::filesystem::copy_options::overwrite_existing,
                                   copyError);
    const std::string kind = animation->GetTypeName();
    const unsigned frames = animation->FrameCount();
    animation->Release();
    ShutdownModules();
    if (!written || copyError) {
        std::fprintf(stderr, "make_animation: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("make_animation: wrote %s (%s, %u frames)\n", argv[2], kind.c_str(), frames);
    return 0;
}
