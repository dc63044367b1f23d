// Path animations: sampling at the end and in a loop, the text form and its cache of exactly
// 4 + 28 N bytes, and the sources and caches that are refused.
#include <cstring>

#include "engine/core/files/TagFile.h"
#include "game/world/pathanim/PathAnim.h"
#include "tests/game/world/WorldTestSupport.h"

namespace world_test {
namespace {

class PathAnimTest : public WorldTest {
protected:
    std::vector<std::uint8_t> ReadBytes(const std::string& name) const {
        std::ifstream file(DataPath(name), std::ios::binary);
        return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    }
    void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream file(DataPath(name), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
};

// Four frames along x: 0, 10, 20, 30.
void FourFrames(PathAnim& path, bool looping) {
    ASSERT_TRUE(path.Allocate(4));
    for (std::uint32_t i = 0; i < 4; ++i) {
        path.positions[i] = {10.0f * static_cast<float>(i), 0, 0};
        path.rotations[i] = {0, 0, 0, 1};
    }
    path.looping = looping ? 1 : 0;
}

TEST_F(PathAnimTest, SamplingEndsOnTheLastFrameOrWrapsTheCallersTime) {
    struct Case {
        bool looping;
        float time;
        float expectedX;
        float expectedTime;
        bool ended;
    } cases[] = {
        {false, 0.5f / 24.0f, 5.0f, 0.5f / 24.0f, false},
        {false, 4.0f / 24.0f, 30.0f, 4.0f / 24.0f, true},  // at t = N / 24
        {false, 100.0f, 30.0f, 100.0f, true},
        {true, 2.5f * 4.0f / 24.0f, 20.0f, 0.5f * 4.0f / 24.0f, false},  // 2.5 N / 24 wraps to 0.5 N / 24
        {true, 3.5f / 24.0f, 15.0f, 3.5f / 24.0f, false},                // between the last frame and the first
        {true, -1.0f, 0.0f, -1.0f, false},                               // before the start: the first frame
        {true, 1e30f, 0.0f, 0.0f, false},                                // far beyond: wrapped, not stuck
    };
    for (const Case& c : cases) {
        PathAnim path;
        FourFrames(path, c.looping);
        float time = c.time;
        Vector3 position{};
        Quaternion rotation{};
        EXPECT_EQ(path.Sample(time, position, rotation), c.ended) << c.time;
        EXPECT_NEAR(position.x, c.expectedX, 1e-4f) << c.time;
        EXPECT_NEAR(time, c.expectedTime, 1e-5f) << c.time;
    }
    PathAnim invalid;
    float time = 1.0f;
    Vector3 untouched{7, 7, 7};
    Quaternion rotation{1, 2, 3, 4};
    EXPECT_TRUE(invalid.Sample(time, untouched, rotation));
    EXPECT_FLOAT_EQ(untouched.x, 7.0f);
    EXPECT_FLOAT_EQ(rotation.w, 4.0f);
}

TEST_F(PathAnimTest, TheTextSourceWritesACacheThatTheNextLoadReadsAlone) {
    WriteData("animations/slide.anim", PathSource(5, {0, 0, 0}, {4, 8, 0}));
    PathAnim first;
    ASSERT_TRUE(LoadPathAnimation(first, "slide")) << KeptExceptions();
    EXPECT_EQ(first.frameCount, 5u);
    ASSERT_TRUE(DataExists("animations/slide.pathanim"));
    const std::vector<std::uint8_t> cache = ReadBytes("animations/slide.pathanim");
    ASSERT_EQ(cache.size(), 4u + 28u * 5u);
    EXPECT_EQ(cache[0], 5);

    std::filesystem::remove(DataPath("animations/slide.anim"));
    PathAnim second;
    ASSERT_TRUE(LoadPathAnimation(second, "slide"));
    ASSERT_EQ(second.frameCount, 5u);
    for (std::uint32_t i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(second.positions[i].y, first.positions[i].y);
        EXPECT_FLOAT_EQ(second.rotations[i].w, 1.0f);
    }
    EXPECT_FLOAT_EQ(second.positions[4].y, 8.0f);
}

TEST_F(PathAnimTest, SourcesWhoseFramesDoNotMatchTheirHeaderAreRefusedWithoutACache) {
    const std::string good = PathSource(3, {0, 0, 0}, {1, 1, 1});
    const std::string lines[] = {"Frame (0, 0, 0)\n", "Frame (0, 0, 0, 1)\n"};
    auto without = [&](const std::string& text, const std::string& line, std::size_t from) {
        std::string cut = text;
        cut.erase(cut.find(line, from), line.size());
        return cut;
    };
    struct Case {
        const char* label;
        std::string text;
    } cases[] = {
        {"positions one short", without(good, lines[0], 0)},
        {"rotations one short", without(good, lines[1], 0)},
        {"rotations one over", std::string(good).insert(good.rfind("Frame"), lines[1])},
        {"no header", "PathAnimation\n{\n" + good.substr(good.find("Positions"))},
        {"a position that is no vector", std::string(good).replace(good.find("(0, 0, 0)"), 9, "up")},
    };
    for (const Case& c : cases) {
        WriteData("animations/bad.anim", c.text);
        PathAnim path;
        EXPECT_FALSE(LoadPathAnimation(path, "bad")) << c.label;
        EXPECT_FALSE(DataExists("animations/bad.pathanim")) << c.label;
    }
}

TEST_F(PathAnimTest, ACacheWhoseSizeDisagreesWithItsCountIsRebuiltFromTheText) {
    WriteData("animations/spin.anim", PathSource(2, {0, 0, 0}, {2, 0, 0}));
    auto withCount = [](std::uint32_t count, std::size_t frameBytes) {
        std::vector<std::uint8_t> bytes(4 + frameBytes, 0);
        std::memcpy(bytes.data(), &count, 4);
        return bytes;
    };
    struct Case {
        const char* label;
        std::vector<std::uint8_t> cache;
    } cases[] = {
        {"shorter than its count", withCount(2, 28)},
        {"longer than its count", withCount(1, 56)},
        {"a count of four thousand million", withCount(0xFFFFFFF0u, 56)},
        {"no frames", withCount(0, 0)},
        {"no count", {1, 0}},
    };
    for (const Case& c : cases) {
        WriteBytes("animations/spin.pathanim", c.cache);
        PathAnim path;
        ASSERT_TRUE(LoadPathAnimation(path, "spin")) << c.label;
        EXPECT_EQ(path.frameCount, 2u) << c.label;
        EXPECT_FLOAT_EQ(path.positions[1].x, 2.0f) << c.label;
        EXPECT_EQ(ReadBytes("animations/spin.pathanim").size(), 4u + 28u * 2u) << c.label;
    }
    PathAnim path;
    EXPECT_FALSE(ReadPathAnimationCache(path, withCount(0xFFFFFFF0u, 56).data(), 60));
    EXPECT_FALSE(LoadPathAnimation(path, "absent"));
}

TEST_F(PathAnimTest, TheTextFormWrittenReadsBackToTheSameFrames) {
    PathAnim path;
    FourFrames(path, false);
    path.rotations[2] = {0, 0, 0.70710677f, 0.70710677f};
    TagFile root;
    ASSERT_TRUE(WritePathAnimationText(path, root));
    const EngineString text = root.WriteText();
    TagFile read;
    ASSERT_EQ(read.ParseText(text.Text()), 0);
    PathAnim back;
    ASSERT_TRUE(ReadPathAnimationText(back, read, "written"));
    ASSERT_EQ(back.frameCount, 4u);
    EXPECT_FLOAT_EQ(back.positions[3].x, 30.0f);
    EXPECT_NEAR(back.rotations[2].z, 0.70710677f, 1e-5f);
}

}  // namespace
}  // namespace world_test
