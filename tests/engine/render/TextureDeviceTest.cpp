// GL texture objects: loading through the file streams (".ddsx" and ".dds" before the name
// given), locking, reloading, refusals, and every format drawn and compared with its
// reference image.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/render/TextureDataOpenGL.h"
#include "tests/engine/render/RenderTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

using render_test::DdsFormat;
using render_test::MakeDds;
using render_test::MakeTga;
using render_test::RenderDeviceTest;

constexpr std::uint32_t FourCc(const char (&code)[5]) {
    return static_cast<std::uint32_t>(code[0]) | (static_cast<std::uint32_t>(code[1]) << 8) |
           (static_cast<std::uint32_t>(code[2]) << 16) | (static_cast<std::uint32_t>(code[3]) << 24);
}

// An 8 x 8 picture in four quarters (red, green / blue, white) with a dark diagonal, as
// B, G, R, A bytes top row first.
std::vector<std::uint8_t> Quarters() {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            std::uint8_t bgra[4] = {0, 0, 0, 255};
            if (x == y) {
                bgra[0] = bgra[1] = bgra[2] = 68;  // kept by every format's bits
            } else if (y < 4) {
                bgra[x < 4 ? 2 : 1] = 255;
            } else if (x < 4) {
                bgra[0] = 255;
            } else {
                bgra[0] = bgra[1] = bgra[2] = 255;
            }
            pixels.insert(pixels.end(), bgra, bgra + 4);
        }
    return pixels;
}

std::vector<std::uint8_t> Drop(const std::vector<std::uint8_t>& bgra, int keep) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < bgra.size(); i += 4) out.insert(out.end(), bgra.begin() + i, bgra.begin() + i + keep);
    return out;
}

std::vector<std::uint8_t> BottomUp(const std::vector<std::uint8_t>& pixels, int width, int height, int bytes) {
    std::vector<std::uint8_t> out;
    for (int row = height - 1; row >= 0; --row)
        out.insert(out.end(), pixels.begin() + row * width * bytes, pixels.begin() + (row + 1) * width * bytes);
    return out;
}

// The quarters as DXT1 blocks: four solid blocks.
std::vector<std::uint8_t> QuarterBlocks() {
    std::vector<std::uint8_t> data;
    for (std::uint16_t colour : {0xF800, 0x07E0, 0x001F, 0xFFFF}) {
        render_test::Put16(data, colour);
        render_test::Put16(data, 0);
        render_test::Put32(data, 0);
    }
    return data;
}

// 16-bit words of the quarters in a layout given by its channel writer.
template <typename Pack>
std::vector<std::uint8_t> QuarterWords(Pack pack) {
    std::vector<std::uint8_t> data;
    std::vector<std::uint8_t> bgra = Quarters();
    for (std::size_t i = 0; i < bgra.size(); i += 4) render_test::Put16(data, pack(bgra[i + 2], bgra[i + 1], bgra[i]));
    return data;
}

class TextureDeviceTest : public RenderDeviceTest {
protected:
    // Loads a file, draws it over the whole screen with nearest filtering and compares the
    // frame with the reference image of that name.
    void DrawAndCompare(const std::string& file, const std::string& reference, DWORD flags = 0) {
        TextureData* texture = device_->CreateTextureObject();
        ASSERT_NE(texture, nullptr);
        ASSERT_EQ(texture->LoadFromFile(file.c_str(), flags), 0) << file;
        device_->SetClearColor(Color{0.2f, 0.2f, 0.2f, 1.0f});
        device_->Clear(0);
        device_->SetDepthMode(0);
        device_->SetTexture(texture, 0, 0x6000);
        device_->SetTextureMode(0);  // texture colour and alpha
        DrawQuad(0, 0, render_test::kScreenWidth, render_test::kScreenHeight, {255, 128, 0, 255});
        EXPECT_TRUE(render_test::MatchesReference(ReadFrame(), reference));
        EXPECT_FALSE(OpenGLRenderDevice::Failed());
        delete texture;
    }
};

TEST_F(TextureDeviceTest, TgaTypesDrawTheirPicture) {
    std::vector<std::uint8_t> bgra = Quarters();
    WriteDataFile("packed.tga", MakeTga(2, 24, 0, 8, 8, BottomUp(Drop(bgra, 3), 8, 8, 3)));
    WriteDataFile("alpha.tga", MakeTga(2, 32, 0x28, 8, 8, bgra));
    WriteDataFile("runs.tga", MakeTga(10, 24, 0x20, 8, 8, Drop(bgra, 3)));
    std::vector<std::uint8_t> grey;
    for (std::size_t i = 0; i < bgra.size(); i += 4) grey.push_back(bgra[i + 1]);
    WriteDataFile("grey.tga", MakeTga(3, 8, 0x20, 8, 8, grey));
    // The same picture whatever the layout: one reference for the three colour files.
    DrawAndCompare("packed.tga", "quarters", kTextureLoadAsNamed);
    DrawAndCompare("alpha.tga", "quarters", kTextureLoadAsNamed);
    DrawAndCompare("runs.tga", "quarters", kTextureLoadAsNamed);
    DrawAndCompare("grey.tga", "quarters_grey", kTextureLoadAsNamed);
}

TEST_F(TextureDeviceTest, DdsLayoutsDrawTheirPicture) {
    WriteDataFile("dxt1.dds", MakeDds({FourCc("DXT1")}, 8, 8, 1, 0, QuarterBlocks()));
    WriteDataFile("argb.dds", MakeDds({0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 8, 8, 1, 0, Quarters()));
    WriteDataFile("rgb565.dds",
                  MakeDds({0, 16, 0xF800, 0x07E0, 0x1F, 0}, 8, 8, 1, 0, QuarterWords([](int r, int g, int b) {
                              return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
                          })));
    WriteDataFile("argb4444.dds",
                  MakeDds({0, 16, 0x0F00, 0xF0, 0x0F, 0xF000}, 8, 8, 1, 0, QuarterWords([](int r, int g, int b) {
                              return static_cast<std::uint16_t>(0xF000 | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
                          })));
    WriteDataFile("argb1555.dds",
                  MakeDds({0, 16, 0x7C00, 0x3E0, 0x1F, 0x8000}, 8, 8, 1, 0, QuarterWords([](int r, int g, int b) {
                              return static_cast<std::uint16_t>(0x8000 | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                          })));
    DrawAndCompare("dxt1.dds", "quarters_blocks");
    DrawAndCompare("argb.dds", "quarters");
    DrawAndCompare("rgb565.dds", "quarters");
    DrawAndCompare("argb4444.dds", "quarters");
    DrawAndCompare("argb1555.dds", "quarters");
}

TEST_F(TextureDeviceTest, AtcImagesDecodeAndDraw) {
    // Solid blocks: each ATC block's first endpoint is 5-5-5 in interpolating mode.
    std::vector<std::uint8_t> atc;
    for (std::uint16_t colour : {0x7C00, 0x03E0, 0x001F, 0x7FFF}) {
        render_test::Put16(atc, colour);
        render_test::Put16(atc, 0);
        render_test::Put32(atc, 0);
    }
    WriteDataFile("atc.dds", MakeDds({FourCc("ATC ")}, 8, 8, 1, 0, atc));
    DrawAndCompare("atc.dds", "quarters_blocks");
}

TEST_F(TextureDeviceTest, ACubeMapDrawsItsLastFace) {
    std::vector<std::uint8_t> data;
    const std::uint32_t faces[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    for (std::uint32_t colour : faces)
        for (int i = 0; i < 16; ++i) render_test::Put32(data, colour);
    WriteDataFile("cube.dds", MakeDds({0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 4, 4, 1, 0x200 | 0xFC00, data));
    DrawAndCompare("cube.dds", "cube_last_face");
}

TEST_F(TextureDeviceTest, ACtesTextureHasNoPixelsAndDrawsTheVertexColour) {
    std::vector<std::uint8_t> file;
    render_test::Put32(file, 0xCCC40002);
    file.resize(20);
    WriteDataFile("plain.ctes", file);
    TextureData* texture = device_->CreateTextureObject();
    ASSERT_EQ(texture->LoadFromFile("plain.ctes", kTextureLoadAsNamed), 0);
    EXPECT_EQ(texture->DeviceName(), 0u);
    delete texture;
    DrawAndCompare("plain.ctes", "ctes_untextured", kTextureLoadAsNamed);
}

TEST_F(TextureDeviceTest, ADdsxBesideTheNameIsReadFirstUnlessAsNamed) {
    WriteDataFile("pick.tga", MakeTga(2, 24, 0x20, 1, 1, {0, 0, 255}));                                     // red
    WriteDataFile("pick.ddsx", MakeDds({0, 32, 0xFF0000, 0xFF00, 0xFF, 0}, 1, 1, 1, 0, {255, 0, 0, 255}));  // blue
    auto* texture = static_cast<TextureDataOpenGL*>(device_->CreateTextureObject());
    ASSERT_EQ(texture->LoadFromFile("pick.tga", 0), 0);
    EXPECT_EQ(texture->Format(), kFormatArgb8888);
    EXPECT_STREQ(texture->SourceName(), "pick.tga");
    device_->Clear(0);
    device_->SetDepthMode(0);
    device_->SetTexture(texture, 0, 0x6000);
    device_->SetTextureMode(0);
    DrawQuad(0, 0, 8, 8);
    EXPECT_EQ(FramePixel(4, 4), (std::array<int, 3>{0, 0, 255}));
    ASSERT_EQ(texture->LoadFromFile("pick.tga", kTextureLoadAsNamed), 0);
    device_->SetTexture(texture, 0, 0x6000);
    DrawQuad(0, 0, 8, 8);
    EXPECT_EQ(FramePixel(4, 4), (std::array<int, 3>{255, 0, 0}));

    // Reload after the device data went builds the same texture from the same file.
    texture->ReleaseDeviceData();
    EXPECT_EQ(texture->DeviceName(), 0u);
    ASSERT_EQ(texture->Reload(), 0);
    EXPECT_NE(texture->DeviceName(), 0u);
    device_->SetTexture(texture, 0, 0x6000);
    DrawQuad(0, 0, 8, 8);
    EXPECT_EQ(FramePixel(4, 4), (std::array<int, 3>{255, 0, 0}));
    delete texture;
}

TEST_F(TextureDeviceTest, LoadingFailuresLeaveTheObjectEmpty) {
    engine_test::CapturedLog log;
    WriteDataFile("broken.tga", {0, 0, 2, 0});
    WriteDataFile("image.bmp", {'B', 'M'});
    auto* texture = static_cast<TextureDataOpenGL*>(device_->CreateTextureObject());
    EXPECT_EQ(texture->LoadFromFile("nodot", 0), 1);
    EXPECT_EQ(texture->LoadFromFile("missing.tga", 0), 1);
    EXPECT_EQ(texture->LoadFromFile("image.bmp", 0), 1);
    EXPECT_EQ(texture->LoadFromFile("broken.tga", 0), 1);
    EXPECT_TRUE(log.Contains("broken.tga")) << log.Text();
    EXPECT_EQ(texture->DeviceName(), 0u);
    EXPECT_EQ(texture->Reload(), 1);  // the remembered file is still broken
    TextureDataOpenGL fresh;
    EXPECT_EQ(fresh.Reload(), 0);  // no file to come from
    delete texture;
}

TEST_F(TextureDeviceTest, LocksCountAndHandBackTheSameBuffer) {
    auto* texture = static_cast<TextureDataOpenGL*>(device_->CreateTextureObject());
    EXPECT_EQ(texture->Lock(0, nullptr, 0), nullptr);  // no GL texture yet
    ASSERT_EQ(texture->Create(6, 3, 2, kFormatRgb565, 0), 0);
    std::int32_t pitch = 0;
    void* first = texture->Lock(1, &pitch, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(pitch, 6);  // 3 pixels of 2 bytes at level 1
    std::int32_t again = 0;
    EXPECT_EQ(texture->Lock(1, &again, 0), first);
    EXPECT_EQ(again, pitch);
    EXPECT_EQ(texture->LockCount(1), 2);
    texture->Unlock(1);
    EXPECT_EQ(texture->LockCount(1), 1);
    texture->Unlock(1);
    EXPECT_EQ(texture->LockCount(1), 0);
    EXPECT_EQ(texture->Lock(16, nullptr, 0), nullptr);
    EXPECT_EQ(texture->Lock(-1, nullptr, 0), nullptr);

    // Sides beyond the device's largest are refused; a large texture whose staging does not
    // fit the render heap cannot be locked, and nothing is written anywhere.
    EXPECT_EQ(texture->Create(65536, 65536, 1, kFormatArgb8888, 0), 1);
    EXPECT_EQ(texture->Create(0, 4, 1, kFormatArgb8888, 0), 1);
    EXPECT_EQ(texture->Create(4, 4, 17, kFormatArgb8888, 0), 1);
    ASSERT_EQ(texture->Create(2048, 2048, 1, kFormatArgb8888, 0), 0);
    EXPECT_EQ(texture->Lock(0, &pitch, 0), nullptr);
    delete texture;
}

TEST_F(TextureDeviceTest, StillLockedLevelsAreUploadedWhenTheObjectGoes) {
    auto* texture = static_cast<TextureDataOpenGL*>(device_->CreateTextureObject());
    ASSERT_EQ(texture->Create(1, 1, 1, kFormatArgb8888, kTextureKeepData), 0);
    auto* pixel = static_cast<std::uint8_t*>(texture->Lock(0, nullptr, 0));
    ASSERT_NE(pixel, nullptr);
    std::memcpy(pixel, "\x00\xFF\x00\xFF", 4);  // green as B, G, R, A
    texture->Unlock(0);
    // Kept staging: the next lock hands back the same buffer.
    EXPECT_EQ(texture->Lock(0, nullptr, 0), pixel);
    delete texture;  // uploads the still-locked level, frees everything
    EXPECT_FALSE(OpenGLRenderDevice::Failed());
}

// A kept staging copy reads in the engine's layout after every upload, and uploading it
// again draws the same colours (the upload turns a copy of GL's order, not the kept one).
TEST_F(TextureDeviceTest, KeptPixelsReadAndUploadAgainInTheEngineLayout) {
    struct Case {
        DWORD format;
        std::vector<std::uint8_t> pixel;  // one pixel, engine layout: red, opaque
    };
    const Case cases[] = {
        {kFormatArgb8888, {0x00, 0x00, 0xFF, 0xFF}},
        {kFormatArgb4444, {0x00, 0xFF}},
        {kFormatArgb1555, {0x00, 0xFC}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        auto* texture = static_cast<TextureDataOpenGL*>(device_->CreateTextureObject());
        ASSERT_EQ(texture->Create(1, 1, 1, c.format, kTextureKeepData), 0);
        for (int upload = 0; upload < 2; ++upload) {
            auto* pixel = static_cast<std::uint8_t*>(texture->Lock(0, nullptr, 0));
            ASSERT_NE(pixel, nullptr);
            if (upload == 0)
                std::memcpy(pixel, c.pixel.data(), c.pixel.size());
            else
                EXPECT_EQ(std::vector<std::uint8_t>(pixel, pixel + c.pixel.size()), c.pixel);
            texture->Unlock(0);
            device_->Clear(0);
            device_->SetDepthMode(0);
            device_->SetTexture(texture, 0, 0x6000);
            device_->SetTextureMode(0);
            DrawQuad(0, 0, 8, 8);
            EXPECT_EQ(FramePixel(4, 4), (std::array<int, 3>{255, 0, 0})) << "upload " << upload;
        }
        delete texture;
    }
}

}  // namespace
