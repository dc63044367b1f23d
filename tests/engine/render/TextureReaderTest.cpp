// The TGA, DDS and CTES readers on a texture that keeps what it is given: row order, pixel
// conversion, run-length packets (bounded by the image), mip levels and refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "engine/render/ImageReaders.h"
#include "engine/render/RenderTypes.h"
#include "engine/render/TextureData.h"
#include "engine/render/TextureFormat.h"
#include "tests/engine/render/RenderTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

using render_test::DdsFormat;
using render_test::MakeDds;
using render_test::MakeTga;

// Keeps every unlocked level's bytes (the last face wins, as on the device).
class RecordingTexture : public TextureData {
public:
    int LoadFromFile(const char*, DWORD) override { return 1; }
    int Create(std::int32_t width, std::int32_t height, std::int32_t levels, DWORD format, DWORD flags) override {
        LevelLayout layout{};
        if (!ComputeLevelLayout(format, width, height, 0, layout) || levels > kMaxTextureLevels) return 1;
        width_ = width;
        height_ = height;
        levels_ = std::max(1, levels);
        format_ = format;
        creationFlags_ = flags;
        ++creates;
        return 0;
    }
    int ReleaseDeviceData() override { return 1; }
    int Reload() override { return 0; }
    void* Lock(std::int32_t level, std::int32_t* pitch, DWORD) override {
        LevelLayout layout{};
        if (!ComputeLevelLayout(format_, width_, height_, level, layout)) return nullptr;
        locked[level].assign(static_cast<std::size_t>(layout.bytes), 0xCD);
        if (pitch != nullptr) *pitch = static_cast<std::int32_t>(layout.pitch);
        return locked[level].data();
    }
    void Unlock(std::int32_t level) override {
        levels[level] = locked[level];
        ++unlocks;
    }

    std::map<int, std::vector<std::uint8_t>> locked;
    std::map<int, std::vector<std::uint8_t>> levels;
    int creates = 0;
    int unlocks = 0;
};

// B, G, R, A pixels of a test picture; every pixel differs.
std::vector<std::uint8_t> Picture(int width, int height, bool withAlpha) {
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < width * height; ++i) {
        pixels.push_back(static_cast<std::uint8_t>(i * 7));
        pixels.push_back(static_cast<std::uint8_t>(i * 13 + 1));
        pixels.push_back(static_cast<std::uint8_t>(255 - i));
        if (withAlpha) pixels.push_back(static_cast<std::uint8_t>(i * 3));
    }
    return pixels;
}

// The 32-bit level a picture should become: rows in display order, alpha 255 unless given.
std::vector<std::uint8_t> Expected(const std::vector<std::uint8_t>& displayPixels, bool withAlpha) {
    std::vector<std::uint8_t> out;
    std::size_t step = withAlpha ? 4 : 3;
    for (std::size_t i = 0; i < displayPixels.size(); i += step) {
        out.insert(out.end(), displayPixels.begin() + i, displayPixels.begin() + i + 3);
        out.push_back(withAlpha ? displayPixels[i + 3] : 255);
    }
    return out;
}

// The rows of a picture in the opposite order.
std::vector<std::uint8_t> Flipped(const std::vector<std::uint8_t>& pixels, int width, int height, int bytes) {
    std::vector<std::uint8_t> out;
    for (int row = height - 1; row >= 0; --row)
        out.insert(out.end(), pixels.begin() + row * width * bytes, pixels.begin() + (row + 1) * width * bytes);
    return out;
}

int ReadTga(RecordingTexture& texture, const std::vector<std::uint8_t>& file) {
    return ReadTgaImage(texture, file.data(), file.size(), "test.tga", 0);
}

TEST(TgaReader, A24BitBottomUpImageGivesOpaquePixelsWithTheLastFileRowFirst) {
    // File rows: bottom row (1, 2), then top row (3, 4), as B, G, R.
    const std::vector<std::uint8_t> file = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    RecordingTexture texture;
    ASSERT_EQ(ReadTga(texture, MakeTga(2, 24, 0, 2, 2, file)), 0);
    EXPECT_EQ(texture.Format(), kFormatArgb8888);
    EXPECT_EQ(texture.levels[0], (std::vector<std::uint8_t>{3, 3, 3, 255, 4, 4, 4, 255, 1, 1, 1, 255, 2, 2, 2, 255}));
}

TEST(TgaReader, RunLengthFilesLoadTheSamePixelsAsTheirPackedForm) {
    // The run-length file is encoded by the test from the same pixel array, with runs and
    // raw stretches; both loads must give the array in display order.
    struct Case {
        int depth;
        std::uint8_t descriptor;
    };
    for (Case c : {Case{24, 0}, Case{24, 0x20}, Case{32, 0x28}, Case{32, 0x08}}) {
        SCOPED_TRACE(testing::Message() << "depth " << c.depth << " descriptor " << int(c.descriptor));
        const int width = 5;
        const int height = 4;
        bool alpha = c.depth == 32;
        std::vector<std::uint8_t> display = Picture(width, height, alpha);
        int bytes = c.depth / 8;
        // Runs: the second row repeats one pixel, the last two pixels repeat.
        for (int x = 1; x < width; ++x)
            std::memcpy(&display[(width + x) * bytes], &display[width * bytes], static_cast<std::size_t>(bytes));
        std::memcpy(&display[(width * height - 1) * bytes], &display[(width * height - 2) * bytes],
                    static_cast<std::size_t>(bytes));
        bool topDown = (c.descriptor & 0x20) != 0;
        std::vector<std::uint8_t> file = topDown ? display : Flipped(display, width, height, bytes);
        RecordingTexture packed;
        RecordingTexture runLength;
        ASSERT_EQ(ReadTga(packed, MakeTga(2, static_cast<std::uint8_t>(c.depth), c.descriptor, width, height, file)),
                  0);
        ASSERT_EQ(
            ReadTga(runLength, MakeTga(10, static_cast<std::uint8_t>(c.depth), c.descriptor, width, height, file)), 0);
        EXPECT_EQ(packed.levels[0], Expected(display, alpha));
        EXPECT_EQ(runLength.levels[0], Expected(display, alpha));
    }
}

TEST(TgaReader, ARunLongerThanTheImageStopsAtItsLastPixel) {
    // A 2 x 2 image whose one packet claims 128 pixels of the same colour.
    std::vector<std::uint8_t> file = MakeTga(2, 24, 0x20, 2, 2, {});
    file[2] = 10;  // run-length, packets written by hand
    file.insert(file.end(), {0xFF, 10, 20, 30});
    RecordingTexture texture;
    ASSERT_EQ(ReadTga(texture, file), 0);
    EXPECT_EQ(texture.levels[0],
              (std::vector<std::uint8_t>{10, 20, 30, 255, 10, 20, 30, 255, 10, 20, 30, 255, 10, 20, 30, 255}));
}

TEST(TgaReader, GreyAnd16BitPixelsAreConverted) {
    RecordingTexture grey;
    ASSERT_EQ(ReadTga(grey, MakeTga(3, 8, 0x20, 2, 1, {7, 200})), 0);
    EXPECT_EQ(grey.levels[0], (std::vector<std::uint8_t>{7, 7, 7, 255, 200, 200, 200, 255}));

    // 1-5-5-5 white, pure red and pure green become 5-6-5 white, red and full green.
    RecordingTexture wide;
    ASSERT_EQ(ReadTga(wide, MakeTga(2, 16, 0x20, 3, 1, {0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03})), 0);
    EXPECT_EQ(wide.Format(), kFormatRgb565);
    EXPECT_EQ(wide.levels[0], (std::vector<std::uint8_t>{0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07}));
}

TEST(TgaReader, BadFilesAreRefusedWithAMessage) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
        const char* message;
    };
    std::vector<std::uint8_t> truncatedRun = MakeTga(2, 24, 0, 4, 4, {});
    truncatedRun[2] = 10;
    truncatedRun.insert(truncatedRun.end(), {0x03, 1, 2, 3});  // a raw packet of 4 with one pixel
    const Case cases[] = {
        {"colour-mapped", MakeTga(1, 8, 0, 2, 2, {0, 0, 0, 0}), "Texture with unsupported TGA format"},
        {"interleaved", MakeTga(2, 24, 0x40, 1, 1, {0, 0, 0}), "Texture with interleaved TGA format"},
        {"short header", {0, 0, 2, 0}, "ends inside its TGA header"},
        {"short pixels", MakeTga(2, 32, 0, 4, 4, std::vector<std::uint8_t>(63)), "ends inside its TGA pixels"},
        {"short run", truncatedRun, "ends inside its TGA pixels"},
        {"odd depth", MakeTga(2, 15, 0, 1, 1, {0, 0}), "unsupported TGA pixel depth"},
        {"grey with colour depth", MakeTga(3, 24, 0, 1, 1, {0, 0, 0}), "unsupported TGA pixel depth"},
        {"no pixels", MakeTga(2, 24, 0, 0, 4, {}), "Texture failed to Create"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine_test::CapturedLog log;
        RecordingTexture texture;
        EXPECT_EQ(ReadTga(texture, c.file), 1);
        EXPECT_TRUE(log.Contains(c.message)) << log.Text();
        EXPECT_TRUE(log.Contains("texturedataopengl")) << log.Text();
    }
}

int ReadDds(RecordingTexture& texture, const std::vector<std::uint8_t>& file) {
    return ReadDdsImage(texture, file.data(), file.size(), "test.dds", 0);
}

constexpr std::uint32_t FourCc(const char (&code)[5]) {
    return static_cast<std::uint32_t>(code[0]) | (static_cast<std::uint32_t>(code[1]) << 8) |
           (static_cast<std::uint32_t>(code[2]) << 16) | (static_cast<std::uint32_t>(code[3]) << 24);
}

TEST(DdsReader, FormatsComeFromTheCodeOrTheMasksAndEveryLevelIsRead) {
    struct Case {
        DdsFormat format;
        DWORD code;
    };
    const Case cases[] = {
        {{FourCc("DXT1")}, kFormatDxt1},
        {{FourCc("DXT5")}, kFormatDxt5},
        {{FourCc("ATC ")}, kFormatAtcRgb},
        {{FourCc("ATCA")}, kFormatAtcRgba},
        {{0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}, kFormatArgb8888},
        {{0, 16, 0xF800, 0x07E0, 0x1F, 0}, kFormatRgb565},
        {{0, 16, 0x0F00, 0xF0, 0x0F, 0xF000}, kFormatArgb4444},
        {{0, 16, 0x7C00, 0x3E0, 0x1F, 0x8000}, kFormatArgb1555},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        // 8 x 4 with a full chain of 4 levels: 8x4, 4x2, 2x1, 1x1.
        std::vector<std::uint8_t> data;
        std::vector<std::uint64_t> sizes;
        for (int level = 0; level < 4; ++level) {
            LevelLayout layout{};
            ASSERT_TRUE(ComputeLevelLayout(c.code, 8, 4, level, layout));
            sizes.push_back(layout.bytes);
            for (std::uint64_t i = 0; i < layout.bytes; ++i) data.push_back(static_cast<std::uint8_t>(level * 50 + i));
        }
        RecordingTexture texture;
        ASSERT_EQ(ReadDds(texture, MakeDds(c.format, 8, 4, 4, 0, data)), 0);
        EXPECT_EQ(texture.Format(), c.code);
        EXPECT_EQ(texture.LevelCount(), 4);
        std::size_t offset = 0;
        for (int level = 0; level < 4; ++level) {
            ASSERT_EQ(texture.levels[level].size(), sizes[level]) << "level " << level;
            EXPECT_TRUE(std::equal(texture.levels[level].begin(), texture.levels[level].end(), data.begin() + offset));
            offset += sizes[level];
        }
    }
}

TEST(DdsReader, BlockLevelsCountWholeBlocksForOddSides) {
    // 12 x 4 DXT1 with 2 levels: 3 blocks, then 6 x 2 which still fills 2 blocks.
    std::vector<std::uint8_t> data(3 * 8 + 2 * 8, 0x11);
    RecordingTexture texture;
    ASSERT_EQ(ReadDds(texture, MakeDds({FourCc("DXT1")}, 12, 4, 2, 0, data)), 0);
    EXPECT_EQ(texture.levels[0].size(), 24u);
    EXPECT_EQ(texture.levels[1].size(), 16u);
}

TEST(DdsReader, AMipCountOfZeroLoadsOneLevelAndTooManyLevelsStopAtOnePixel) {
    std::vector<std::uint8_t> data(4 * 4 * 4 + 64, 0x22);
    RecordingTexture zero;
    ASSERT_EQ(ReadDds(zero, MakeDds({0, 32, 0xFF0000, 0xFF00, 0xFF, 0}, 4, 4, 0, 0, data)), 0);
    EXPECT_EQ(zero.LevelCount(), 1);
    EXPECT_EQ(zero.unlocks, 1);
    RecordingTexture many;
    ASSERT_EQ(ReadDds(many, MakeDds({0, 32, 0xFF0000, 0xFF00, 0xFF, 0}, 4, 4, 12, 0, data)), 0);
    EXPECT_EQ(many.LevelCount(), 3);  // 4x4, 2x2, 1x1
}

TEST(DdsReader, CubeMapsNeedAllSixFacesAndReadEachFace) {
    std::vector<std::uint8_t> face(4 * 4 * 4);
    std::vector<std::uint8_t> data;
    for (int f = 0; f < 6; ++f) {
        std::fill(face.begin(), face.end(), static_cast<std::uint8_t>(f + 1));
        data.insert(data.end(), face.begin(), face.end());
    }
    const DdsFormat argb{0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
    RecordingTexture cube;
    ASSERT_EQ(ReadDds(cube, MakeDds(argb, 4, 4, 1, 0x200 | 0xFC00, data)), 0);
    EXPECT_TRUE(IsCubeMap(cube.Format()));
    EXPECT_EQ(cube.unlocks, 6);
    EXPECT_EQ(cube.levels[0][0], 6);  // the last face is the last one handed over

    engine_test::CapturedLog log;
    RecordingTexture partial;
    EXPECT_EQ(ReadDds(partial, MakeDds(argb, 4, 4, 1, 0x200 | 0x1C00, data)), 1);
    EXPECT_TRUE(log.Contains("Invalid cubemap file format, all sides required 'test.dds'")) << log.Text();
}

TEST(DdsReader, BadFilesAreRefusedWithAMessage) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
        const char* message;
    };
    const DdsFormat argb{0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
    std::vector<std::uint8_t> notDds = MakeDds(argb, 1, 1, 1, 0, {0, 0, 0, 0});
    notDds[0] = 'X';
    const Case cases[] = {
        {"short", {'D', 'D', 'S', ' '}, "is not a DDS file"},
        {"magic", notDds, "is not a DDS file"},
        {"masks", MakeDds({0, 24, 0xFF0000, 0xFF00, 0xFF, 0}, 1, 1, 1, 0, {0, 0, 0}), "pixel format"},
        {"huge", MakeDds(argb, 0x40000000, 0x40000000, 1, 0, {}),
         "Create failed for 'test.dds' (1073741824x1073741824 1"},
        {"zero", MakeDds(argb, 0, 4, 1, 0, {}), "Create failed for 'test.dds'"},
        {"truncated", MakeDds(argb, 4, 4, 2, 0, std::vector<std::uint8_t>(64 + 15)), "ends inside face 0 level 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine_test::CapturedLog log;
        RecordingTexture texture;
        EXPECT_EQ(ReadDds(texture, c.file), 1);
        EXPECT_TRUE(log.Contains(c.message)) << log.Text();
    }
}

TEST(CtesReader, OnlyItsFirstWordDecides) {
    std::vector<std::uint8_t> file;
    render_test::Put32(file, 0xCCC40002);
    file.resize(20, 0xEE);
    EXPECT_EQ(ReadCtesImage(file.data(), file.size(), "a.ctes"), 0);
    file[0] = 0x03;
    EXPECT_EQ(ReadCtesImage(file.data(), file.size(), "a.ctes"), 1);
    EXPECT_EQ(ReadCtesImage(file.data(), 19, "a.ctes"), 1);
}

TEST(TextureLayout, SizesAreComputedInSixtyFourBitsFromCappedSides) {
    LevelLayout layout{};
    EXPECT_FALSE(ComputeLevelLayout(kFormatArgb8888, 65536, 65536, 0, layout));
    EXPECT_FALSE(ComputeLevelLayout(kFormatArgb8888, -4, 4, 0, layout));
    EXPECT_FALSE(ComputeLevelLayout(kFormatArgb8888, 4, 4, 16, layout));
    ASSERT_TRUE(ComputeLevelLayout(kFormatArgb8888, kMaxTextureSide, kMaxTextureSide, 0, layout));
    EXPECT_EQ(layout.bytes, 64ull * 1024 * 1024);
    // A level past the narrow side keeps one pixel's width: a 1 x 64 texture's level 1.
    ASSERT_TRUE(ComputeLevelLayout(kFormatArgb8888, 1, 64, 1, layout));
    EXPECT_EQ(layout.pitch, 4u);
    EXPECT_EQ(layout.rows, 32u);
    ASSERT_TRUE(ComputeLevelLayout(kFormatAtcRgba, 8, 8, 3, layout));
    EXPECT_EQ(layout.bytes, 16u);
}

}  // namespace
