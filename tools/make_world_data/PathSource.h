// The readable source of a path animation (".pathsrc"): a frame count, an axis, and keys of
// position and angle at frames, linear between keys and held after the last one.
//
//   frames 48               # 24 frames a second
//   axis 0 0 1              # the angles turn about this axis
//   angle 0 0               # frame, degrees
//   angle 47 352.5
//   position 0 0 0 0        # frame, x y z
//   position 24 0 0 0.5
#pragma once

#include <string>

class PathAnim;

// Fills `path` with the baked frames; false with a sentence naming the file and line in `error`.
bool BuildPathAnimation(const std::string& text, const std::string& fileName, PathAnim& path, std::string& error);
