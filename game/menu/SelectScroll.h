// The arithmetic of the selection pages: the rows the list may scroll to, the scroll range,
// the easing, the level a chosen item stands for, and the pieces of a world's completion
// gauge. Counts and rows are signed: a list shorter than its window gives an empty range,
// never a wrapped one.
#pragma once

#include <cstdint>

// Rows of items that fit the list's window.
constexpr std::int32_t kSelectShownRows = 5;
constexpr std::int32_t kSelectItemCapacity = 16;
constexpr std::int32_t kLastLevel = 52;

// The index of the first level of a world (1..9) among the 53 levels; 0 for any other value
// (0 stands for the tutorials).
std::int32_t WorldLevelBase(std::int32_t world);
// The level an item of the level list stands for: base + item, held to 0..52.
std::int32_t ChosenLevel(std::int32_t levelBase, std::int32_t item);
// The item number of a command's argument: leading blanks, then decimal digits, held to
// 9999. A text without leading digits (or none) gives 0; what follows the digits is ignored.
std::int32_t ParseItemNumber(const char* text);
// The row held to 0 .. count - rowsBeforeEnd, and to 0 when the list is shorter than that.
std::int32_t ClampRow(std::int32_t row, std::int32_t count, std::int32_t rowsBeforeEnd);
// How far a list of `count` rows of `rowHeight` scrolls when `rowsBeforeEnd` fill the
// window: (count - rowsBeforeEnd) x rowHeight, 0 for a shorter list.
float ScrollLimit(std::int32_t count, std::int32_t rowsBeforeEnd, float rowHeight);
// One frame of easing from `current` toward `target`: 77 % of the distance is left after
// each 1/30 s.
float EaseToward(float current, float target, float frameStep);
// The set bits among the word's lowest `bits` bits.
std::int32_t DoneBits(std::uint32_t word, std::int32_t bits);

// Pieces of the completed-levels gauge.
enum class GaugePiece { kSingle, kBottom, kTop, kMiddle };
struct GaugePlacement {
    GaugePiece piece;
    float dy;  // below the item's top
};
// The pieces for a fraction of done levels, bottom first; their count (0..3).
int CompletionGaugePieces(float fraction, GaugePlacement (&pieces)[3]);
