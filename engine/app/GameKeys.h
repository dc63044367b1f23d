// The game's key codes: what the window procedure makes of the device keys (arrows already
// turned to the screen's orientation) and what the key-state table, the game events and the
// widgets speak. Letters and digits keep their character codes.
#pragma once

#include <cstdint>

constexpr std::int32_t kGameKeyTab = 9;
constexpr std::int32_t kGameKeyAction = 10;  // Enter
constexpr std::int32_t kGameKeyEscape = 27;
constexpr std::int32_t kGameKeySpace = 32;
constexpr std::int32_t kGameKeyShiftLeft = 130;  // held while either Shift is, when the device does not say which
constexpr std::int32_t kGameKeyShiftRight = 131;
constexpr std::int32_t kGameKeyLeft = 141;
constexpr std::int32_t kGameKeyRight = 142;
constexpr std::int32_t kGameKeyUp = 143;
constexpr std::int32_t kGameKeyDown = 144;
constexpr std::int32_t kGameKeyApp2 = 216;
constexpr std::int32_t kGameKeyApp3 = 217;
constexpr std::int32_t kGameKeyF6 = 234;
constexpr std::int32_t kGameKeyF7 = 235;

// Codes of another keypad layout that the widgets accept as next and previous beside the
// arrows; no input of this program produces them.
constexpr std::int32_t kGameKeyNextAlternate = 222;
constexpr std::int32_t kGameKeyNextAlternate2 = 230;
constexpr std::int32_t kGameKeyPreviousAlternate = 223;
constexpr std::int32_t kGameKeyPreviousAlternate2 = 228;
