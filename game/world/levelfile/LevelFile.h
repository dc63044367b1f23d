// The level file (".qvn"): a TagFile node "LEVEL" whose tags build the tile grid, place the
// level objects, decorate tiles, and give lights, cameras and reference statistics. Loading
// reads the tags in file order and then prepares the level for play, even after a failing tag.
#pragma once

#include <cstdint>

class Level;
class TagFile;

// Grids larger than this in either direction are refused: no level comes near it, and a size
// read from a file cannot ask the heap for more.
constexpr std::int32_t kLevelFileMaximumSide = 256;

// Tile side in world units, and where the character starts inside its start tile.
constexpr float kTileSize = 10.0f;
constexpr float kStartInsetAlongRow = 5.02f;

// Reads folder + name + ".qvn" into the level and prepares it. 1 when every tag was read, 0
// otherwise. Refuses at once (0, nothing touched) for a null name or a level that still has a
// grid; also 0, nothing touched, when the file cannot be opened or parsed or its root node is
// not "LEVEL".
int LoadLevelFile(Level& level, const char* folder, const char* name);
// The same from level text already in memory; `source` names it in messages.
int LoadLevelText(Level& level, const char* text, const char* source);

// The tags of a "LEVEL" node into the level, in order, stopping after the first that fails.
// 1 when every tag was read.
int ReadLevelTags(Level& level, TagFile& root, const char* source);
// Spikes, baked blocks, decorations, background, bounds, default statistics, the character at
// its start, the first checkpoint, glow objects, big plants and fireflies.
void PrepareLevel(Level& level);
