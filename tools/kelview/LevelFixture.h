// A fixture level for kelview: a small grid of tile types with level objects on it, written as
// lines of words, built with the game world's own grid and object factory.
//
//   size 4 3                  # columns and rows
//   row 0 5 1 1 .             # a row's tile types from the first column ('.' is no tile)
//   object 19 1 0             # type code, column, row
//   level 8                   # the level index the tutorial signs go by (default 8: none)
#pragma once

#include <string>

class KNode;
class Level;

namespace kelview {

// Fills the level (its grid placed in the world, its objects made and shown as in play: an
// exit portal open, a spawn effect flaring); false with a sentence in `error`.
bool BuildFixtureLevel(const std::string& text, const std::string& fileName, Level& level, std::string& error);

// Hangs every tile's mesh and every object's model below `root` without handing them over;
// DetachFixtureLevel takes them off again before the level goes.
void AttachFixtureLevel(Level& level, KNode& root);
void DetachFixtureLevel(KNode& root);

}  // namespace kelview
