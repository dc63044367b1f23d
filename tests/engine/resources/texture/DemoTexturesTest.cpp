// The demo textures of data/game/archives/startup/gfx/textures, painted from their
// descriptions as the data build paints them: every ".ktx" file there loads its image, and
// the stages' default texture is among them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/render/TextureData.h"
#include "engine/resources/texture/Texture.h"
#include "tests/engine/resources/support/ResourceTestSupport.h"
#include "tools/make_image/ImageDescription.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class DemoTexturesTest : public resource_test::ResourceTest {};

TEST_F(DemoTexturesTest, EveryKtxFileLoadsTheImagePaintedFromItsDescription) {
    StartNullDevice();
    const fs::path folder = fs::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup/gfx/textures";
    int painted = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = "gfx/textures/" + entry.path().filename().string();
        if (entry.path().extension() == ".ktx") WriteText(name, ReadText(entry.path()));
        if (entry.path().extension() != ".image") continue;
        DescribedImage image;
        std::string error;
        ASSERT_TRUE(PaintDescribedImage(ReadText(entry.path()), &image, &error)) << name << ": " << error;
        WriteFile(entry.path().stem().string().insert(0, "gfx/textures/") + ".tga", EncodeTga(image));
        ++painted;
    }
    ASSERT_GE(painted, 2);
    int ktxFiles = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".ktx") continue;
        const std::string name = "gfx/textures/" + entry.path().filename().string();
        auto* texture = static_cast<Texture*>(GlobalResourceCache().GetTexture(name.c_str(), 0));
        ASSERT_NE(texture, nullptr) << name;
        ASSERT_NE(texture->Data(), nullptr) << name;
        EXPECT_GT(texture->Data()->Width(), 0) << name;
        ++ktxFiles;
    }
    EXPECT_GE(ktxFiles, 1);
    EXPECT_NE(GlobalResourceCache().GetTexture("gfx/textures/default.tga", 0), nullptr);
}

TEST(DescribedImageTest, StepsPaintInOrderAndColoursWithAlphaMakeA32BitFile) {
    DescribedImage image;
    std::string error;
    ASSERT_TRUE(
        PaintDescribedImage("size 4 2 # comment\nchecker 1 FF0000 00FF00\nrect 3 0 9 9 0000FF80\n", &image, &error))
        << error;
    auto pixel = [&](int x, int y) {
        const std::uint8_t* at = &image.rgba[(y * 4 + x) * 4];
        return std::vector<int>(at, at + 4);
    };
    EXPECT_EQ(pixel(0, 0), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(pixel(1, 0), (std::vector<int>{0, 255, 0, 255}));
    EXPECT_EQ(pixel(0, 1), (std::vector<int>{0, 255, 0, 255}));
    EXPECT_EQ(pixel(3, 1), (std::vector<int>{0, 0, 255, 128}));
    const std::vector<std::uint8_t> tga = EncodeTga(image);
    ASSERT_EQ(tga.size(), 18u + 4 * 2 * 4);
    EXPECT_EQ(tga[16], 32);
    EXPECT_EQ(tga[17], 0x28);
    EXPECT_EQ(std::vector<int>(tga.begin() + 18, tga.begin() + 22), (std::vector<int>{0, 0, 255, 255}));

    EXPECT_FALSE(PaintDescribedImage("size 4 4\ngradient vertical FF0000\n", &image, &error));
    EXPECT_EQ(error, "line 2: \"gradient\" takes 3 values, not 2");
}

}  // namespace
