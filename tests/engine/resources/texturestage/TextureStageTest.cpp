// Texture stages: the text form's keywords (scroll, scale, wrap and other flags, combiner
// operations with DISABLED, blending, coordinate generation, samplers, the texture with the
// default in its place), its failures, the binary form with its name bound, the material's
// stage index, and the scrolling per frame.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/files/FileStream.h"
#include "engine/resources/texture/Texture.h"
#include "engine/resources/texturestage/TextureStage.h"
#include "tests/engine/resources/support/ResourceTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

// A stream over `bytes` in memory, as the material loader's stream is over its file.
void Attach(FileStream& stream, const std::string& bytes, DWORD flags) {
    void* image = bytes.empty() ? nullptr : EngineAlloc(bytes.size());
    if (image != nullptr) std::memcpy(image, bytes.data(), bytes.size());
    stream.SetFlags(flags);
    stream.AttachImage(image, static_cast<DWORD>(bytes.size()), 0);
}

std::string NextWord(FileStream& stream) {
    char word[64];
    stream.ReadWord(word, sizeof word);
    return word;
}

void PutWord(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}
void PutFloat(std::string& out, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    PutWord(out, bits);
}

// The binary form: the name, then the fields with the given operations.
std::string BinaryStage(const std::string& name, std::uint8_t colourOp = 1, std::uint8_t alphaArg = 7) {
    std::string out;
    out.push_back(static_cast<char>(name.size()));
    out.push_back(static_cast<char>(name.size() >> 8));
    out += name;
    PutWord(out, 5);
    PutWord(out, 6);
    PutWord(out, kStageWrapU | kStageScrollContinuous);
    for (float value : {2.0f, 3.0f, 0.5f, 0.25f, 0.125f, -0.25f, 0.75f, 4.0f}) PutFloat(out, value);
    for (std::uint8_t byte : {colourOp, std::uint8_t{3}, std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{5},
                              std::uint8_t{4}, alphaArg, std::uint8_t{13}})
        out.push_back(static_cast<char>(byte));
    for (std::uint32_t word : {0xDEADBEEFu, 0xFEEDFACEu, 7u, 9u}) PutWord(out, word);
    return out;
}

class TextureStageTest : public resource_test::ResourceTest {
protected:
    void SetUp() override {
        ResourceTest::SetUp();
        if (HasFatalFailure()) return;
        StartNullDevice();
        WriteTga("gfx/textures/default.tga", 2, 2, 255, 255, 255);
        WriteTga("gfx/checker.tga", 4, 4, 255, 0, 0);
    }

    int ParseText(TextureStage& stage, const std::string& text) {
        FileStream stream;
        Attach(stream, text, kStreamText);
        return LoadTextureStage(stage, stream);
    }
    int ParseBinary(TextureStage& stage, const std::string& bytes) {
        FileStream stream;
        Attach(stream, bytes, kStreamBinary);
        return LoadTextureStage(stage, stream);
    }
};

TEST_F(TextureStageTest, TheTextFormSetsWhatEachKeywordNames) {
    struct Case {
        const char* text;
        std::function<void(const TextureStage&)> check;
    } cases[] = {
        {"{ }",
         [](const TextureStage& s) {
             EXPECT_EQ(s.texture, nullptr);
             EXPECT_EQ(s.blendSource, 2);
             EXPECT_EQ(s.blendDestination, 1);
             EXPECT_EQ(s.flags, 0u);
             EXPECT_EQ(s.uScale, 1.0f);
             EXPECT_EQ(s.colourOp, kStageOpModulate);
             EXPECT_EQ(std::vector<int>(s.colourArgs, s.colourArgs + 3), (std::vector<int>{0, 3, 1}));
             EXPECT_EQ(std::vector<int>(s.alphaArgs, s.alphaArgs + 3), (std::vector<int>{4, 7, 5}));
         }},
        {"{ uvScroll 0 0 5 }",
         [](const TextureStage& s) {
             EXPECT_EQ(s.stepPeriod, 0.0f);
             EXPECT_EQ(s.flags, 0u);
         }},
        {"{ uvScroll 0.5 -0.25 0 }",
         [](const TextureStage& s) {
             EXPECT_EQ(s.flags, kStageScrollContinuous);
             EXPECT_EQ(s.uSpeed, 0.5f);
             EXPECT_EQ(s.vSpeed, -0.25f);
         }},
        {"{ uvScroll 0 2 0.5 }",
         [](const TextureStage& s) {
             EXPECT_EQ(s.flags, kStageScrollStepped);
             EXPECT_EQ(s.stepPeriod, 0.5f);
         }},
        {"{ uvScale 1 1 }", [](const TextureStage& s) { EXPECT_EQ(s.flags, 0u); }},
        {"{ uvScale 1 2 }",
         [](const TextureStage& s) {
             EXPECT_EQ(s.flags, kStageScaled);
             EXPECT_EQ(s.vScale, 2.0f);
         }},
        {"{ Flags < WRAPU wrapv HQFILTER NOSUCHFLAG > }",
         [](const TextureStage& s) { EXPECT_EQ(s.flags, kStageWrapU | kStageWrapV | kStageHighQualityFilter); }},
        {"{ Flags <LIGHTING ALPHATEST NOMIGMAG NOMAGFILTER NOMINFILTER > }",
         [](const TextureStage& s) { EXPECT_EQ(s.flags, 0x7A00u); }},
        {"{ ColorOp REPLACE TEXTURECOLOR ColorOp DISABLED AlphaOp ADD INVTEXTUREALPHA DIFFUSEALPHA }",
         [](const TextureStage& s) {
             EXPECT_EQ(s.colourOp, kStageOpDisabled);
             EXPECT_EQ(s.colourArgs[0], kStageArgCurrentColour) << "DISABLED reads no arguments";
             EXPECT_EQ(s.alphaOp, kStageOpAdd);
             EXPECT_EQ(std::vector<int>(s.alphaArgs, s.alphaArgs + 3), (std::vector<int>{15, 5, 5}));
         }},
        {"{ AlphaOp REPLACE TEXTUREALPHA AlphaOp DISABLED }",
         [](const TextureStage& s) { EXPECT_EQ(s.alphaArgs[0], kStageArgCurrentAlpha); }},
        {"{ colorop interpolate NOSUCHARG constantcolor INVCURRENTCOLOR }",
         [](const TextureStage& s) {
             EXPECT_EQ(s.colourOp, kStageOpInterpolate);
             EXPECT_EQ(std::vector<int>(s.colourArgs, s.colourArgs + 3), (std::vector<int>{0, 2, 8}));
         }},
        {"{ BlendFunction SRC_ALPHA INV_SRC_ALPHA uvGen ENV_SPHERE }",
         [](const TextureStage& s) {
             EXPECT_EQ(s.blendSource, 5);
             EXPECT_EQ(s.blendDestination, 6);
             EXPECT_EQ(s.flags, kStageUvGenSphere);
         }},
        {"{ ShaderSampler \"diffuseMap\" \"s\" Unknown words Skipped }",
         [](const TextureStage& s) {
             EXPECT_STREQ(s.firstSampler.Text(), "diffuseMap");
             EXPECT_STREQ(s.secondSampler.Text(), "s");
         }},
        {"{\n Texture \t\"gfx/checker.tga\"\n}",
         [](const TextureStage& s) {
             ASSERT_NE(s.texture, nullptr);
             EXPECT_STREQ(s.texture->Name(), "gfx/checker.tga");
         }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.text);
        TextureStage stage;
        ASSERT_EQ(ParseText(stage, test.text), 0);
        test.check(stage);
    }
}

TEST_F(TextureStageTest, TheTextFormFailsOnWhatItCannotRead) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"Texture \"gfx/checker.tga\" }", "does not start with '{'"},
        {"{ uvScale 1 2", "before its closing '}'"},
        {"{ BlendFunction ONE NOTAFACTOR }", "names a blend factor that does not exist"},
        {"{ uvGen UV_SPHERE }", "is neither UV_POOL nor ENV_SPHERE"},
        {"{ ColorOp MULTIPLY }", "names no combiner operation"},
        {"{ Flags WRAPU > }", "are not followed by '<'"},
        {"{ Flags < WRAPU }", "before their '>'"},
        {"{ Texture gfx/checker.tga }", "not followed by a name in double quotes"},
    };
    for (const Case& test : cases) {
        TextureStage stage;
        engine_test::CapturedLog log;
        EXPECT_EQ(ParseText(stage, test.text), 1) << test.text;
        EXPECT_TRUE(log.Contains(test.message)) << test.text << ": " << log.Text();
    }
}

TEST_F(TextureStageTest, AStageReadsNothingPastItsClosingBrace) {
    FileStream stream;
    Attach(stream, "{ } BumpMap { uvScale 2 2 } Next", kStreamText);
    TextureStage stage;
    ASSERT_EQ(LoadTextureStage(stage, stream), 0);
    EXPECT_EQ(NextWord(stream), "BumpMap");
    ASSERT_EQ(LoadTextureStage(stage, stream), 0);
    EXPECT_EQ(stage.uScale, 2.0f);
    EXPECT_EQ(NextWord(stream), "Next");
}

TEST_F(TextureStageTest, AMissingTextureFallsBackToTheDefaultAndFailsWithoutOne) {
    TextureStage stage;
    {
        engine_test::CapturedLog log;
        ASSERT_EQ(ParseText(stage, "{ Texture \"gfx/missing.tga\"\n}"), 0);
        EXPECT_TRUE(log.Contains("WARNING: Failed to get texture 'gfx/missing.tga', using default")) << log.Text();
    }
    ASSERT_NE(stage.texture, nullptr);
    EXPECT_STREQ(stage.texture->Name(), kDefaultTextureName);
    Texture* fallback = stage.texture;
    EXPECT_EQ(fallback->ReferenceCount(), 0u);

    // Reading the stage again gives the old texture back before taking the new one.
    ASSERT_EQ(ParseText(stage, "{ Texture \"gfx/checker.tga\"\n}"), 0);
    EXPECT_STREQ(stage.texture->Name(), "gfx/checker.tga");
    Texture* reloaded = static_cast<Texture*>(GlobalResourceCache().GetTexture(kDefaultTextureName, 0));
    EXPECT_NE(reloaded, nullptr);
    EXPECT_EQ(reloaded->ReferenceCount(), 0u) << "the stage's reference was given back and the texture left the cache";
    ResourceCache::ReleaseTexture(reloaded);

    std::remove((root_.Path() + "/fs/data/" + kDefaultTextureName).c_str());
    TextureStage orphan;
    engine_test::CapturedLog log;
    EXPECT_EQ(ParseText(orphan, "{ Texture \"gfx/missing.tga\"\n}"), 1);
    EXPECT_TRUE(log.Contains("Failed to get texture 'gfx/textures/default.tga'")) << log.Text();
    EXPECT_EQ(orphan.texture, nullptr);
}

TEST_F(TextureStageTest, TheBinaryFormReadsItsFieldsAndBoundsItsName) {
    TextureStage stage;
    stage.firstSampler.Assign("kept");
    ASSERT_EQ(ParseBinary(stage, BinaryStage("gfx/checker.tga")), 0);
    ASSERT_NE(stage.texture, nullptr);
    EXPECT_STREQ(stage.texture->Name(), "gfx/checker.tga");
    EXPECT_EQ(stage.blendSource, 5);
    EXPECT_EQ(stage.blendDestination, 6);
    EXPECT_EQ(stage.flags, kStageWrapU | kStageScrollContinuous);
    EXPECT_EQ(std::vector<float>({stage.uScale, stage.vScale, stage.lastUpdateTime, stage.uSpeed, stage.uOffset,
                                  stage.vSpeed, stage.vOffset, stage.stepPeriod}),
              (std::vector<float>{2.0f, 3.0f, 0.5f, 0.25f, 0.125f, -0.25f, 0.75f, 4.0f}));
    EXPECT_EQ(stage.colourOp, 1);
    EXPECT_EQ(std::vector<int>(stage.colourArgs, stage.colourArgs + 3), (std::vector<int>{3, 0, 1}));
    EXPECT_EQ(stage.alphaOp, 5);
    EXPECT_EQ(std::vector<int>(stage.alphaArgs, stage.alphaArgs + 3), (std::vector<int>{4, 7, 13}));
    EXPECT_STREQ(stage.firstSampler.Text(), "kept") << "the stored words are no strings";
    EXPECT_EQ(stage.reserved[0], 7u);
    EXPECT_EQ(stage.reserved[1], 9u);

    // No name: no texture. 255 bytes of name: the default stands in for what is not there.
    TextureStage unnamed;
    ASSERT_EQ(ParseBinary(unnamed, BinaryStage("")), 0);
    EXPECT_EQ(unnamed.texture, nullptr);
    TextureStage longest;
    ASSERT_EQ(ParseBinary(longest, BinaryStage(std::string(255, 'n'))), 0);
    ASSERT_NE(longest.texture, nullptr);
    EXPECT_STREQ(longest.texture->Name(), kDefaultTextureName);

    struct Case {
        std::string bytes;
        const char* message;
    } cases[] = {
        {BinaryStage(std::string(256, 'n')), "name of 256 bytes is longer than 255"},
        {BinaryStage(std::string(300, 'n')), "name of 300 bytes is longer than 255"},
        {std::string("\x01", 1), "ends before its name length"},
        {std::string("\x05\x00gfx", 5), "ends inside its name of 5 bytes"},
        {BinaryStage("").substr(0, 2 + 67), "ends inside its 68 bytes of fields"},
        {BinaryStage("", 7), "are outside their tables"},
        {BinaryStage("", 1, 16), "are outside their tables"},
    };
    for (const Case& test : cases) {
        TextureStage refused;
        engine_test::CapturedLog log;
        EXPECT_EQ(ParseBinary(refused, test.bytes), 1) << test.message;
        EXPECT_TRUE(log.Contains(test.message)) << log.Text();
        EXPECT_EQ(refused.texture, nullptr);
        EXPECT_EQ(refused.blendSource, 2) << "fields stay as they were";
    }
}

TEST_F(TextureStageTest, AMaterialEntryTakesStageIndicesZeroToSevenOnly) {
    struct Case {
        const char* index;
        int stage;  // -1: refused
    } cases[] = {{"0", 0}, {"7", 7}, {"3", 3}, {"-1", -1}, {"8", -1}, {"x", -1}, {"2x", -1}, {"", -1}};
    for (const Case& test : cases) {
        TextureStage stages[kStagesPerLayer];
        FileStream stream;
        Attach(stream, std::string(test.index) + " { uvScale 5 5 }", kStreamText);
        engine_test::CapturedLog log;
        const int result = LoadIndexedTextureStage(stages, stream);
        if (test.stage < 0) {
            EXPECT_EQ(result, 1) << test.index;
            EXPECT_TRUE(log.Contains("is not one of 0 to 7")) << log.Text();
            for (const TextureStage& stage : stages) EXPECT_EQ(stage.uScale, 1.0f) << test.index;
            continue;
        }
        EXPECT_EQ(result, 0) << test.index;
        for (int i = 0; i < kStagesPerLayer; ++i) EXPECT_EQ(stages[i].uScale, i == test.stage ? 5.0f : 1.0f);
    }
}

// A texture that counts its per-frame updates.
class CountingTexture : public Texture {
public:
    void Update(std::uintptr_t argument) override { updates.push_back(argument); }
    std::vector<std::uintptr_t> updates;
};

TEST_F(TextureStageTest, ScrollingMovesTheOffsetsByTimeOrBySteps) {
    TextureStage continuous;
    continuous.flags = kStageScrollContinuous;
    continuous.uSpeed = 0.5f;
    continuous.uOffset = 0.9f;
    continuous.vOffset = 0.3f;
    continuous.UpdateUvAnimation(0, 1.0f, 0.5f);
    EXPECT_FLOAT_EQ(continuous.uOffset, 0.15f) << "1.15 wraps";
    EXPECT_EQ(continuous.vOffset, 0.3f) << "no speed, no change";
    EXPECT_EQ(continuous.lastUpdateTime, 1.0f);
    continuous.UpdateUvAnimation(0, 1.0f, 0.5f);
    EXPECT_FLOAT_EQ(continuous.uOffset, 0.15f) << "the same time moves nothing";

    TextureStage stepped;
    stepped.flags = kStageScrollStepped;
    stepped.stepPeriod = 0.5f;
    stepped.vSpeed = -0.25f;
    stepped.UpdateUvAnimation(0, 0.4f, 0.4f);
    EXPECT_EQ(stepped.vOffset, 0.0f) << "less than a period";
    EXPECT_EQ(stepped.lastUpdateTime, 0.0f);
    stepped.UpdateUvAnimation(0, 1.2f, 0.8f);
    EXPECT_EQ(stepped.vOffset, -0.5f) << "two steps";
    EXPECT_EQ(stepped.lastUpdateTime, 1.0f);

    // Wrapping: past 1 the whole part goes, past -1 likewise; exactly 1 and -1 stay.
    struct Case {
        float offset, speed, wrapped;
    } cases[] = {{0.25f, 1.0f, 0.25f}, {-0.25f, -1.0f, -0.25f}, {0.0f, 1.0f, 1.0f}, {0.0f, -1.0f, -1.0f}};
    for (const Case& test : cases) {
        TextureStage stage;
        stage.flags = kStageScrollStepped;
        stage.stepPeriod = 1.0f;
        stage.uOffset = test.offset;
        stage.uSpeed = test.speed;
        stage.UpdateUvAnimation(0, 1.0f, 1.0f);
        EXPECT_EQ(stage.uOffset, test.wrapped) << test.offset << " + " << test.speed;
    }

    // Stepped scrolling without a period (possible in the binary form) never steps.
    TextureStage noPeriod;
    noPeriod.flags = kStageScrollStepped;
    noPeriod.uSpeed = 1.0f;
    noPeriod.UpdateUvAnimation(0, 3.0f, 1.0f);
    EXPECT_EQ(noPeriod.uOffset, 0.0f);
    EXPECT_EQ(noPeriod.lastUpdateTime, 0.0f);

    // A texture loaded for per-frame updates gets one each frame, scrolling or not.
    auto* texture = new CountingTexture;
    texture->AddRef();  // the test's own reference outlives the stage's
    TextureStage animated;
    animated.texture = texture;
    animated.UpdateUvAnimation(42, 1.0f, 0.1f);
    texture->SetFlags(kTextureUpdateEachFrame);
    animated.UpdateUvAnimation(43, 1.0f, 0.1f);
    EXPECT_EQ(texture->updates, (std::vector<std::uintptr_t>{43}));
    animated.ReleaseTexture();
    texture->Release();
}

TEST(BlendFactorTest, NamesGiveTheirCodesAndOthersMinusOne) {
    struct Case {
        const char* name;
        std::int32_t code;
    } cases[] = {{"ZERO", 1},          {"one", 2},       {"SRC_COLOR", 3},      {"INV_SRC_COLOR", 4}, {"src_alpha", 5},
                 {"INV_SRC_ALPHA", 6}, {"DST_COLOR", 9}, {"INV_DST_COLOR", 10}, {"DST_ALPHA", -1},    {"", -1}};
    for (const Case& test : cases) EXPECT_EQ(BlendFactorFromName(test.name), test.code) << test.name;
}

}  // namespace
