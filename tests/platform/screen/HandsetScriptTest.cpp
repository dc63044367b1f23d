// Parsing HANDSET_SCRIPT files: every command, the order of play, and errors that name the
// file and the line.
#include <gtest/gtest.h>

#include "platform/screen/HandsetScript.h"
#include "platform/user/WindowKeys.h"

namespace {

using platform::screen::ScriptAction;
using platform::screen::ScriptEvent;

TEST(HandsetScriptTest, EveryCommandParses) {
    const char* text =
        "# a comment\n"
        "\n"
        "   # an indented comment\r\n"
        "at 0 key down ESCAPE\r\n"
        "at 10 key up escape\n"
        "at 20\tkey press TALK\n"
        "at 30 tap 100 200\n"
        "at 40 down -5 7\n"
        "at 50 move 32767 -32767\n"
        "at 60 up 1 2\n"
        "at 70 tilt 0.5 -1 9.81\n"
        "at 80 screenshot shots/first shot.png  \n"
        "at 90 close\n"
        "at 91 tvout on 2\n"
        "at 92 tvout off\n"
        "at 93 power off\n"
        "at 94 state HKLM\\System\\State\\Phone\\Status 0x10000\n";
    std::vector<ScriptEvent> events;
    std::string error;
    ASSERT_TRUE(platform::screen::ParseHandsetScript(text, "script.txt", events, error)) << error;
    ASSERT_EQ(events.size(), 14u);
    EXPECT_EQ(events[0].action, ScriptAction::KeyDown);
    EXPECT_EQ(events[0].virtualKey, VK_ESCAPE);
    EXPECT_EQ(events[0].line, 4);
    EXPECT_EQ(events[1].action, ScriptAction::KeyUp);
    EXPECT_EQ(events[2].action, ScriptAction::KeyPress);
    EXPECT_EQ(events[2].virtualKey, VK_TTALK);
    EXPECT_EQ(events[3].action, ScriptAction::Tap);
    EXPECT_EQ(events[3].x, 100);
    EXPECT_EQ(events[3].y, 200);
    EXPECT_EQ(events[4].action, ScriptAction::TouchDown);
    EXPECT_EQ(events[4].x, -5);
    EXPECT_EQ(events[5].action, ScriptAction::TouchMove);
    EXPECT_EQ(events[5].y, -32767);
    EXPECT_EQ(events[6].action, ScriptAction::TouchUp);
    EXPECT_EQ(events[7].action, ScriptAction::Tilt);
    EXPECT_FLOAT_EQ(events[7].tilt[0], 0.5f);
    EXPECT_FLOAT_EQ(events[7].tilt[1], -1.0f);
    EXPECT_FLOAT_EQ(events[7].tilt[2], 9.81f);
    EXPECT_EQ(events[8].action, ScriptAction::Screenshot);
    EXPECT_EQ(events[8].file, "shots/first shot.png");
    EXPECT_EQ(events[9].action, ScriptAction::Close);
    EXPECT_EQ(events[9].atMs, 90u);
    EXPECT_EQ(events[9].line, 13);
    EXPECT_EQ(events[10].action, ScriptAction::TvOut);
    EXPECT_TRUE(events[10].on);
    EXPECT_EQ(events[10].videoMode, 2);
    EXPECT_FALSE(events[11].on);
    EXPECT_EQ(events[11].videoMode, -1);
    EXPECT_EQ(events[12].action, ScriptAction::Power);
    EXPECT_FALSE(events[12].on);
    EXPECT_EQ(events[13].action, ScriptAction::State);
    EXPECT_EQ(events[13].file, "HKLM\\System\\State\\Phone\\Status");
    EXPECT_EQ(events[13].number, 0x10000u);
}

TEST(HandsetScriptTest, EventsPlayInTimeOrderKeepingTheOrderOfLinesWithinATime) {
    std::vector<ScriptEvent> events;
    std::string error;
    const char* text = "at 500 close\nat 100 key press A\nat 100 key press B\nat 0 tap 1 1\n";
    ASSERT_TRUE(platform::screen::ParseHandsetScript(text, "s", events, error));
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].line, 4);
    EXPECT_EQ(events[1].virtualKey, static_cast<UINT>('A'));
    EXPECT_EQ(events[2].virtualKey, static_cast<UINT>('B'));
    EXPECT_EQ(events[3].line, 1);
}

TEST(HandsetScriptTest, BadLinesAreErrorsNamingTheLine) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"at 0 close\n\nat 5 jump\n", "script.txt:3: unknown command 'jump'."},
        {"tap 1 2", "script.txt:1: expected 'at <ms>' at the start of the line, found 'tap'."},
        {"at", "script.txt:1: 'at' needs a time in milliseconds."},
        {"at 5", "script.txt:1: a command must follow the time."},
        {"at -1 close", "script.txt:1: bad time '-1' (whole milliseconds from 0 to 2147483647)."},
        {"at 2147483648 close", "script.txt:1: bad time '2147483648' (whole milliseconds from 0 to 2147483647)."},
        {"at 1.5 close", "script.txt:1: bad time '1.5' (whole milliseconds from 0 to 2147483647)."},
        {"at 0 key down", "script.txt:1: 'key' needs down, up or press and a key name."},
        {"at 0 key hold A", "script.txt:1: unknown key action 'hold' (down, up or press)."},
        {"at 0 key down BANANA", "script.txt:1: unknown key 'BANANA'."},
        {"at 0 key down A B", "script.txt:1: unexpected 'B' after the command."},
        {"at 0 tap 5", "script.txt:1: 'tap' needs x and y."},
        {"at 0 move 5 y", "script.txt:1: bad coordinate 'y' (whole pixels from -32767 to 32767)."},
        {"at 0 down 40000 1", "script.txt:1: bad coordinate '40000' (whole pixels from -32767 to 32767)."},
        {"at 0 tilt 1 2", "script.txt:1: 'tilt' needs x, y and z."},
        {"at 0 tilt 1 2 nan", "script.txt:1: bad tilt value 'nan'."},
        {"at 0 tilt 1 2 1e99", "script.txt:1: bad tilt value '1e99'."},
        {"at 0 screenshot", "script.txt:1: 'screenshot' needs a file name."},
        {"at 0 tvout", "script.txt:1: 'tvout' needs on or off."},
        {"at 0 tvout yes 2", "script.txt:1: expected on or off, found 'yes'."},
        {"at 0 tvout on 256", "script.txt:1: bad video mode '256' (a whole number from 0 to 255)."},
        {"at 0 tvout on 2 3", "script.txt:1: unexpected '3' after the command."},
        {"at 0 power", "script.txt:1: 'power' needs on or off."},
        {"at 0 state HKLM\\K\\V", "script.txt:1: 'state' needs a value's path and a number."},
        {"at 0 state HKCR\\K\\V 1", "script.txt:1: the state value 'HKCR\\K\\V' must start with HKLM\\ or HKCU\\."},
        {"at 0 state HKLM\\K\\ 1", "script.txt:1: the state value 'HKLM\\K\\' needs a key and a value name."},
        {"at 0 state HKLM\\K\\V 4294967296", "script.txt:1: bad number '4294967296' (0 to 4294967295, or 0x and hex digits)."},
        {"at 0 state HKLM\\K\\V 0xG", "script.txt:1: bad number '0xG' (0 to 4294967295, or 0x and hex digits)."},
        {"at 0 close now", "script.txt:1: unexpected 'now' after the command."},
        {"at 0 \x01\xff", "script.txt:1: unknown command '\\x01\\xff'."},
    };
    for (const Case& test : cases) {
        std::vector<ScriptEvent> events;
        std::string error;
        EXPECT_FALSE(platform::screen::ParseHandsetScript(test.text, "script.txt", events, error)) << test.text;
        EXPECT_EQ(error, test.error);
        EXPECT_TRUE(events.empty());
    }
}

TEST(HandsetScriptTest, LongWordsAreCutInMessagesAndHugeScriptsRefused) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_FALSE(platform::screen::ParseHandsetScript("at 0 " + std::string(1000, 'x'), "s", events, error));
    EXPECT_EQ(error, "s:1: unknown command '" + std::string(40, 'x') + "...'.");
    std::string huge(platform::screen::kMaxScriptBytes + 1, '#');
    EXPECT_FALSE(platform::screen::ParseHandsetScript(huge, "big.txt", events, error));
    EXPECT_EQ(error.rfind("big.txt: the script is larger than", 0), 0u) << error;
}

}  // namespace
