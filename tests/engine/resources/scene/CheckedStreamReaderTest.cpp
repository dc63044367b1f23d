// The checked stream reader (chained reads, the state word once the data runs out, a file
// that does not open) and the bracketed vector reader's table of inputs.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/core/memory/EngineMemory.h"
#include "engine/resources/scene/CheckedStreamReader.h"
#include "tests/support/TestSupport.h"

namespace {

class CheckedReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        std::filesystem::create_directories(root_.Path() + "/fs/scene");
    }
    void TearDown() override { HeapTeardown(); }
    // Writes the text and gives its handset path.
    std::string Write(const std::string& text) {
        std::ofstream(root_.Path() + "/fs/scene/file.txt", std::ios::binary) << text;
        return "\\scene\\file.txt";
    }

    handset_test::TempHandsetRoot root_;
};

TEST_F(CheckedReaderTest, ReadsChainAndTheEndIsNotedOnceAndKept) {
    CheckedStreamReader reader(Write("name 12 -3 2.5 x\nrest of line\n").c_str());
    EXPECT_EQ(reader.State(), 0u);
    EXPECT_EQ(reader.FirstWord(), 1569u);
    EXPECT_EQ(reader.SecondWord(), 420u);
    char word[16];
    std::uint32_t count = 0;
    std::int32_t offset = 0;
    float value = 0;
    char c = 0;
    char line[32];
    reader.Word(word, sizeof word).UInt(count).Int(offset).Float(value).Character(c).SkipToToken().Line(line, sizeof line);
    EXPECT_TRUE(reader.Good());
    EXPECT_STREQ(word, "name");
    EXPECT_EQ(count, 12u);
    EXPECT_EQ(offset, -3);
    EXPECT_FLOAT_EQ(value, 2.5f);
    EXPECT_EQ(c, 'x');
    EXPECT_STREQ(line, "rest of line");

    reader.Character(c);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(reader.State(), kReaderPastEnd);
    reader.SkipToToken();
    EXPECT_EQ(reader.State(), kReaderPastEnd);
}

TEST_F(CheckedReaderTest, LinesAreCutAtTheirLength) {
    CheckedStreamReader reader(Write(std::string(600, 'a') + "\n").c_str());
    char line[700];
    reader.Line(line, sizeof line);
    EXPECT_EQ(std::strlen(line), kCheckedLineLength);
    EXPECT_TRUE(reader.Good());
}

TEST_F(CheckedReaderTest, AFileThatDoesNotOpenIsNoted) {
    CheckedStreamReader reader("\\scene\\missing.txt");
    EXPECT_EQ(reader.State(), kReaderNotOpened);
    float value = 7;
    reader.Float(value);
    EXPECT_EQ(reader.State(), kReaderNotOpened | kReaderPastEnd);
    EXPECT_FLOAT_EQ(value, 7.0f);
}

TEST_F(CheckedReaderTest, BracketedVectors) {
    struct Case {
        const char* text;
        int result;
        float expected[4];  // what the output holds afterwards (it starts at -1)
    };
    const Case cases[] = {
        {"[1 2 3 4]", 0, {1, 2, 3, 4}},
        {"  [ 0.5 0.25 1 0 ]  ", 0, {0.5f, 0.25f, 1, 0}},
        {"[1 2 3 4", 1, {1, 2, 3, 4}},    // no closing bracket: stored, failed
        {"[1 2 3 4 5]", 1, {1, 2, 3, 4}},  // a fifth value is not the bracket
        {"1 2 3 4]", 1, {-1, -1, -1, -1}},  // no opening bracket: nothing stored
        {"", 1, {-1, -1, -1, -1}},
    };
    for (const Case& testCase : cases) {
        FileStream stream;
        ASSERT_EQ(stream.Open(Write(testCase.text).c_str(), kStreamAbsolutePath | kStreamReadWhole), 1);
        float out[4] = {-1, -1, -1, -1};
        EXPECT_EQ(ReadBracketedVector4(out, stream), testCase.result) << testCase.text;
        for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(out[i], testCase.expected[i]) << testCase.text;
    }
}

}  // namespace
