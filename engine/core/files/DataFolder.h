// The game's data folder: where engine paths that are not absolute lie and where the ".par"
// archives are found. Start-up sets it; it ends in a separator ("\Program Files\Quorvane\data\").
#pragma once

#include <cstddef>

constexpr std::size_t kDataFolderCapacity = 256;
// Full paths (data folder + path) longer than this are refused.
constexpr std::size_t kStreamPathCapacity = 512;

// Copies up to 255 characters; null gives an empty folder (paths are then used as they are).
void SetDataFolder(const char* folder);
const char* DataFolder();
std::size_t DataFolderLength();
