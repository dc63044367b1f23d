// qvn_play's input scripts: frames and ranges, keys and taps, several commands at once, and
// the lines it refuses with the line's number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/qvn_play/PlayScript.h"

namespace {

using qvn_play::BitsAtFrame;
using qvn_play::ParsePlayScript;
using qvn_play::ScriptLine;

TEST(PlayScriptTest, CommandsLandOnTheirFrames) {
    std::vector<ScriptLine> lines;
    std::string error;
    ASSERT_TRUE(ParsePlayScript("# a level's answer\n\n12 key jump-up\n30..32 tap jump-right   # hold\n"
                                "31 key jump-left+turn-right\n",
                                lines, error))
        << error;
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[1].touch);
    EXPECT_EQ(BitsAtFrame(lines, 11), 0u);
    EXPECT_EQ(BitsAtFrame(lines, 12), 0x4u);
    EXPECT_EQ(BitsAtFrame(lines, 30), 0x2u);
    EXPECT_EQ(BitsAtFrame(lines, 31), 0x2u | 0x1u | 0x20u);
    EXPECT_EQ(BitsAtFrame(lines, 32), 0x2u);
    EXPECT_EQ(BitsAtFrame(lines, 33), 0u);
}

TEST(PlayScriptTest, MistakesAreRefusedWithTheirLine) {
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {"5 key", "line 1"},
        {"\n5 press jump-up", "line 2: 'press'"},
        {"5 key jump-sideways", "names no command"},
        {"5 key jump-up+", "names no command"},
        {"x key jump-up", "not a frame"},
        {"9..3 key jump-up", "not a frame"},
        {"-1 key jump-up", "not a frame"},
        {"99999999999 key jump-up", "not a frame"},
        {"5 key jump-up extra", "expected"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<ScriptLine> lines;
        std::string error;
        EXPECT_FALSE(ParsePlayScript(c.text, lines, error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

}  // namespace
