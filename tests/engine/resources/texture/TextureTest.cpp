// Textures by name: image names and ".ktx" names (five characters and up), the ".ktx" class
// line and its failures, one texture per name from the cache, the in-memory data without a
// render device, and the data given up and made again around a re-created device.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/core/files/FileStream.h"
#include "engine/render/TextureDataOpenGL.h"
#include "engine/resources/texture/KTextureDataMem.h"
#include "engine/resources/texture/Texture.h"
#include "engine/resources/texture/TextureLoader.h"
#include "tests/engine/resources/support/ResourceTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

// A class of the core module that is no texture.
class NotATexture : public Interface {
    KEL_DECLARE_TYPE(NotATexture, Interface, "NotATexture")
};

const ModuleEntry kOtherTable[] = {
    {"Create_NotATexture", AsModuleFunction(+[]() -> Interface* { return new NotATexture; })},
    {nullptr, nullptr},
};

Texture* Get(const char* name, DWORD flags = 0) {
    return static_cast<Texture*>(GlobalResourceCache().GetTexture(name, flags));
}

class TextureTest : public resource_test::ResourceTest {
protected:
    void SetUp() override {
        ResourceTest::SetUp();
        if (HasFatalFailure()) return;
        WriteTga("gfx/checker.tga", 4, 2, 255, 0, 0);
        WriteText("gfx/checker.ktx", "libkel.Texture\n\"gfx/checker.tga\"\n");
    }
};

TEST_F(TextureTest, KtxNamesOfFiveCharactersAndUpAreClassFilesAndOthersImages) {
    // Without a render device every image name loads, as empty in-memory data.
    WriteText("a.ktx", "\tlibkel.Texture\n  \"gfx/checker.tga\"\n");
    struct Case {
        const char* name;
        const char* loadedName;  // null: the load fails
        const char* imageName;
    } cases[] = {
        {"a.ktx", "a.ktx", "gfx/checker.tga"},
        {"gfx/checker.KTX", "gfx/checker.KTX", "gfx/checker.tga"},
        {".ktx", ".ktx", ".ktx"},  // four characters: an image name
        {"gfx/missing.ktx", nullptr, nullptr},
        {"gfx/whatever.tga", "gfx/whatever.tga", "gfx/whatever.tga"},
    };
    for (const Case& test : cases) {
        Interface* loaded = LoadTexture(test.name, 0);
        if (test.loadedName == nullptr) {
            EXPECT_EQ(loaded, nullptr) << test.name;
            continue;
        }
        ASSERT_NE(loaded, nullptr) << test.name;
        auto* texture = static_cast<Texture*>(loaded);
        EXPECT_STREQ(texture->Name(), test.loadedName);
        EXPECT_STREQ(texture->ImageName(), test.imageName);
        EXPECT_EQ(texture->OwningModule(), FindModule("libkel")) << test.name;
        ASSERT_NE(dynamic_cast<KTextureDataMem*>(texture->Data()), nullptr) << test.name;
        EXPECT_EQ(texture->Data()->Width(), 0);
        texture->Release();
    }
}

TEST_F(TextureTest, AKtxFileThatCannotMakeItsTextureSaysWhy) {
    ASSERT_NE(RegisterModule("other", kOtherTable), nullptr);
    StartNullDevice();
    const std::string longToken(128, 'm');
    struct Case {
        const char* file;
        std::string text;
        std::string message;
    } cases[] = {
        {"nodot.ktx", "libkel Texture\n\"gfx/checker.tga\"\n", "Invalid file format 'nodot.ktx'"},
        {"colon.ktx", "libkel:Texture\n\"gfx/checker.tga\"\n", "Invalid file format 'colon.ktx'"},
        {"empty.ktx", "", "Invalid file format 'empty.ktx'"},
        {"long.ktx", longToken + ".Texture\n\"gfx/checker.tga\"\n", "Invalid file format 'long.ktx'"},
        {"module.ktx", "nomodule.Texture\n\"gfx/checker.tga\"\n",
         "Failed to create texture object nomodule.Texture in file 'module.ktx'"},
        {"class.ktx", "libkel.Nothing\n\"gfx/checker.tga\"\n",
         "Failed to create texture object libkel.Nothing in file 'class.ktx'"},
        {"kind.ktx", "other.NotATexture\n\"gfx/checker.tga\"\n",
         "Failed to create texture object other.NotATexture in file 'kind.ktx'"},
        {"quote.ktx", "libkel.Texture\ngfx/checker.tga\n", "Failed to load texture 'quote.ktx'"},
        {"image.ktx", "libkel.Texture\n\"gfx/none.tga\"\n", "Failed to load texture 'image.ktx'"},
        {"nofile.ktx", "", "Failed to open file 'gone.ktx'"},
    };
    for (const Case& test : cases) {
        if (std::string(test.file) != "nofile.ktx") WriteText(test.file, test.text);
        engine_test::CapturedLog log;
        const char* name = std::string(test.file) == "nofile.ktx" ? "gone.ktx" : test.file;
        EXPECT_EQ(LoadTexture(name, 0), nullptr) << test.file;
        EXPECT_TRUE(log.Contains(test.message)) << test.file << ": " << log.Text();
    }
}

TEST_F(TextureTest, TheCacheGivesOneTexturePerNameWhateverTheLetterCase) {
    StartNullDevice();
    Texture* first = Get("gfx/checker.ktx");
    ASSERT_NE(first, nullptr);
    Texture* second = Get("GFX/Checker.KTX");
    EXPECT_EQ(second, first);
    EXPECT_EQ(first->ReferenceCount(), 1u);
    EXPECT_STREQ(first->Name(), "gfx/checker.ktx");
    EXPECT_STREQ(first->ImageName(), "gfx/checker.tga");
    ASSERT_NE(first->Data(), nullptr);
    EXPECT_EQ(first->Data()->Width(), 4);
    EXPECT_EQ(first->Data()->Height(), 2);
    // The image itself is another resource of its own name.
    Texture* image = Get("gfx/checker.tga");
    ASSERT_NE(image, nullptr);
    EXPECT_NE(image, first);

    // A failed load caches nothing: the file that appears later is loaded.
    EXPECT_EQ(Get("gfx/later.tga"), nullptr);
    WriteTga("gfx/later.tga", 2, 2, 0, 0, 255);
    EXPECT_NE(Get("gfx/later.tga"), nullptr);
}

TEST_F(TextureTest, SavingWritesTheImageNameThatLoadingReadsBack) {
    StartNullDevice();
    Texture* fromKtx = Get("gfx/checker.ktx");
    ASSERT_NE(fromKtx, nullptr);
    {
        FileStream out;
        ASSERT_EQ(out.Open("saved.ktx", kStreamWrite), 1);
        out.WriteString("libkel.Texture\n");
        EXPECT_EQ(fromKtx->Save(out), 0);
        out.WriteString("\n");
    }
    FileStream in;
    ASSERT_EQ(in.Open("saved.ktx", kStreamText | kStreamReadWhole), 1);
    char line[64];
    ASSERT_EQ(in.ReadLine(line, sizeof line), 1);
    ASSERT_EQ(in.ReadLine(line, sizeof line), 1);
    EXPECT_STREQ(line, "\"gfx/checker.tga\"");
    Texture* again = Get("saved.ktx");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Data()->Width(), 4);
}

TEST_F(TextureTest, AReCreatedDeviceGetsEveryTextureBackAndKeptDataStaysItsOwn) {
    StartNullDevice();
    Texture* plain = Get("gfx/checker.tga");
    Texture* kept = Get("gfx/kept.tga", kTextureKeepData);
    Texture* fromKtx = Get("gfx/checker.ktx");
    ASSERT_EQ(kept, nullptr) << "no such file yet";
    WriteTga("gfx/kept.tga", 8, 8, 0, 255, 0);
    kept = Get("gfx/kept.tga", kTextureKeepData);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(kept, nullptr);
    ASSERT_NE(fromKtx, nullptr);
    TextureData* keptData = kept->Data();

    GlobalResourceCache().ReleaseTextureData();
    EXPECT_EQ(plain->Data(), nullptr);
    EXPECT_EQ(fromKtx->Data(), nullptr);
    EXPECT_EQ(kept->Data(), keptData) << "data that survives the device stays";
    StopDevice();

    StartNullDevice();
    GlobalResourceCache().RestoreTextures();
    ASSERT_NE(plain->Data(), nullptr);
    EXPECT_EQ(plain->Data()->Width(), 4);
    // The ".ktx" texture is made again from its image, not from the ".ktx" file.
    ASSERT_NE(fromKtx->Data(), nullptr);
    EXPECT_EQ(fromKtx->Data()->Height(), 2);
    EXPECT_EQ(kept->Data(), keptData);
    EXPECT_EQ(kept->Data()->Width(), 8);

    // A texture whose file went away keeps no data, and says so.
    GlobalResourceCache().ReleaseTextureData();
    std::remove((root_.Path() + "/fs/data/gfx/checker.tga").c_str());
    EXPECT_FALSE(plain->Restore(0));
    EXPECT_EQ(plain->Data(), nullptr);
}

TEST_F(TextureTest, InMemoryDataSizesEveryLevelAndRefusesFormatsWithoutASize) {
    struct Case {
        DWORD format;
        std::int32_t width, height, levels;
        std::uint64_t bytes;  // 0: Create fails
        const char* message;
    } cases[] = {
        {9, 16, 16, 5, 128 + 32 + 8 + 8 + 8, nullptr},
        {7, 16, 16, 5, 1024 + 256 + 64 + 16 + 4, nullptr},
        {0x80000007, 16, 16, 5, 6 * 1364, nullptr},
        {0x80000009, 16, 16, 5, 6 * 184, nullptr},
        {0, 3, 1, 1, 9, nullptr},
        {1, 4, 4, 3, 32 + 8 + 2, nullptr},
        {0x10001, 2, 2, 1, 8, nullptr},  // the code is the low 16 bits
        {17, 4, 4, 1, 0, "KTextureDataMem::Create: failed to alloc"},
        {18, 4, 4, 1, 0, "KTextureDataMem::Create: invalid format or LOD count"},
        {22, 4, 4, 1, 0, "KTextureDataMem::Create: invalid format or LOD count"},
        {8, 4, 4, 0, 0, "KTextureDataMem::Create: invalid format or LOD count"},
        {8, 4, 4, 17, 0, "KTextureDataMem::Create: invalid format or LOD count"},
        {8, 1, 1, 2, 4, nullptr},  // pixel sides halve to 0: the second level is empty
        {8, 0, 4, 1, 0, "has no pixels"},
        {8, 65536, 65536, 1, 0, "KTextureDataMem::Create: failed to alloc"},
    };
    for (const Case& test : cases) {
        KTextureDataMem data;
        engine_test::CapturedLog log;
        const int result = data.Create(test.width, test.height, test.levels, test.format, 0);
        if (test.bytes == 0) {
            EXPECT_EQ(result, 1) << test.format;
            EXPECT_TRUE(log.Contains(test.message)) << test.format << ": " << log.Text();
            EXPECT_EQ(data.Lock(0, nullptr, 0), nullptr);
            continue;
        }
        ASSERT_EQ(result, 0) << test.format;
        EXPECT_EQ(data.DataSize(), test.bytes) << test.format;
    }

    // Every level locks at the start of the block, its rows at least 1 pixel (4 for blocks).
    KTextureDataMem pixels;
    ASSERT_EQ(pixels.Create(16, 16, 5, 7, 0), 0);
    std::int32_t pitch = 0;
    void* start = pixels.Lock(0, &pitch, 0);
    EXPECT_EQ(pitch, 64);
    EXPECT_EQ(pixels.Lock(4, &pitch, 0), start);
    EXPECT_EQ(pitch, 4);
    EXPECT_EQ(pixels.Lock(5, &pitch, 0), nullptr);
    KTextureDataMem blocks;
    ASSERT_EQ(blocks.Create(16, 16, 5, 9, 0), 0);
    blocks.Lock(4, &pitch, 0);
    EXPECT_EQ(pitch, 8 * 4);
}

}  // namespace
