// The key names of scripts and the desktop keys the desktop window turns into handset keys.
#include <gtest/gtest.h>

#include "platform/screen/KeyNames.h"
#include "platform/user/WindowKeys.h"

namespace {

TEST(KeyNamesTest, ScriptNamesGiveTheHandsetKeys) {
    struct Case {
        const char* name;
        UINT key;
    };
    const Case cases[] = {
        {"ESCAPE", VK_ESCAPE}, {"escape", VK_ESCAPE}, {"LEFT", VK_LEFT},   {"RETURN", VK_RETURN},
        {"A", 'A'},            {"q", 'Q'},            {"7", '7'},          {"F6", VK_F6},
        {"f24", VK_F24},       {"TALK", VK_TTALK},    {"END", VK_TEND},    {"SOFT1", VK_TSOFT1},
        {"HOME", VK_THOME},    {"ACTION", VK_ACTION}, {"APP2", VK_APP2},   {"CONTROL", VK_CONTROL},
        {"STAR", VK_TSTAR},    {"", 0},               {"F0", 0},           {"F25", 0},
        {"F01", 0},            {"JUMP", 0},           {"AB", 0},           {"!", 0},
    };
    for (const Case& test : cases) EXPECT_EQ(platform::screen::VirtualKeyOfName(test.name), test.key) << test.name;
}

TEST(KeyNamesTest, DesktopKeysGiveTheHandsetKeys) {
    struct Case {
        const char* desktopName;
        UINT key;
    };
    const Case cases[] = {
        {"Left", VK_LEFT},        {"Up", VK_UP},           {"Return", VK_RETURN},   {"Keypad Enter", VK_RETURN},
        {"Escape", VK_ESCAPE},    {"A", 'A'},              {"5", '5'},              {"Keypad 5", '5'},
        {"F1", VK_TSOFT1},        {"F3", VK_TTALK},        {"F4", VK_TEND},         {"F12", VK_F12},
        {"PageUp", VK_TTALK},     {"PageDown", VK_TEND},    {"End", VK_TEND},        {"Home", VK_THOME},
        {"Left Ctrl", VK_CONTROL}, {"Right Shift", VK_SHIFT}, {"Backspace", VK_BACK}, {"F13", 0},
        {"Caps Lock", 0},         {"Keypad +", 0},         {"", 0},
    };
    for (const Case& test : cases)
        EXPECT_EQ(platform::screen::VirtualKeyOfDesktopKey(test.desktopName), test.key) << test.desktopName;
}

}  // namespace
