// The level object factory: one level object from its type code, placed on a tile of the grid
// and appended to the level's active objects. The spawn point of the eight tutorial levels
// also carries that level's tutorial sign.
#pragma once

#include <cstdint>

class Level;

constexpr int kTutorialSignCount = 8;

// 1 when an object was created and placed, 0 otherwise (a code of 37 or more, no memory, or
// no model: the tile keeps its object flag all the same).
int CreateLevelObjects(Level& level, std::int32_t typeCode, std::int32_t column, std::int32_t row);

// "tutorial01" to "tutorial08" for the level indexes 0 to 7; null for any other.
const char* TutorialSignName(std::int32_t levelIndex);
