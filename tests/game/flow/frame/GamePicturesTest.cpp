// The shipped pictures: every texture the engine and game code, the menu files and the menu
// styles look up by name has a readable source in data/ that the data build paints into it
// (".sprites" for a ".dds", ".image" or ".font" for a ".tga"), so that no screen falls back
// to the default texture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSource = HANDSET_SOURCE_DIR;
const fs::path kArchives = kSource / "data/game/archives";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The source in any archive folder that the data build turns into `texture`.
bool HasSource(const std::string& texture) {
    const fs::path path(texture);
    std::vector<std::string> kinds;
    if (path.extension() == ".dds") kinds = {".sprites"};
    if (path.extension() == ".tga") kinds = {".image", ".font"};
    for (const fs::directory_entry& archive : fs::directory_iterator(kArchives))
        for (const std::string& kind : kinds) {
            fs::path source = archive.path() / path;
            source.replace_extension(kind);
            if (fs::exists(source)) return true;
        }
    return false;
}

using TextureUses = std::map<std::string, std::string>;

// Whole texture paths quoted in the code; a "%d" or "%u" stands for the pages 1 to 5.
void AddCodeTextures(TextureUses& uses) {
    const std::regex literal("\"((gfx|ui)/[A-Za-z0-9_/%]+\\.(dds|tga))\"");
    for (const char* folder : {"game", "engine"})
        for (const fs::directory_entry& file : fs::recursive_directory_iterator(kSource / folder)) {
            if (file.path().extension() != ".cpp" && file.path().extension() != ".h") continue;
            const std::string code = ReadFile(file.path());
            for (std::sregex_iterator it(code.begin(), code.end(), literal), end; it != end; ++it) {
                const std::string texture = (*it)[1];
                const std::size_t format = texture.find('%');
                if (format == std::string::npos) {
                    uses.emplace(texture, file.path().filename().string());
                    continue;
                }
                for (int page = 1; page <= 5; ++page)
                    uses.emplace(texture.substr(0, format) + std::to_string(page) + texture.substr(format + 2),
                                 file.path().filename().string());
            }
        }
}

// "IMAGE <name>" in menu files and styles names "ui/<name>".
void AddMenuTextures(TextureUses& uses) {
    for (const fs::directory_entry& archive : fs::directory_iterator(kArchives)) {
        const fs::path menus = archive.path() / "menus";
        if (!fs::is_directory(menus)) continue;
        for (const fs::directory_entry& file : fs::directory_iterator(menus)) {
            std::istringstream in(ReadFile(file.path()));
            for (std::string line; std::getline(in, line);) {
                std::istringstream words(line);
                std::string word, name;
                if (words >> word >> name && word == "IMAGE") uses.emplace("ui/" + name, file.path().filename().string());
            }
        }
    }
}

TEST(GamePictures, EveryTextureLookedUpByNameHasASource) {
    TextureUses uses;
    AddCodeTextures(uses);
    AddMenuTextures(uses);
    ASSERT_GT(uses.size(), 20u) << "the collection of texture names found too little";
    for (const auto& [texture, where] : uses)
        EXPECT_TRUE(HasSource(texture)) << texture << " (used by " << where << ") has no source in data/";
}

// The pictures the menu pages draw from their styles: the selection art, the how-to-play
// illustrations and the closing picture of the credits.
TEST(GamePictures, ThePagesPicturesHaveTheirSources) {
    for (const char* texture : {"ui/worlds.dds", "ui/howtoplay.dds", "ui/hero.dds", "ui/window.dds",
                                "ui/pushbutton.tga", "ui/scrollbuttons.tga", "ui/select.dds", "gfx/splash2.dds",
                                "gfx/studiomark.dds", "ui/halvorn.dds"})
        EXPECT_TRUE(HasSource(texture)) << texture;
}

}  // namespace
