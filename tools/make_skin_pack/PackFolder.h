// The entries a pack folder of data/dialer/packs/ gives: every file under its own name,
// except plain PGM grey maps ("Name.pgm"), which become the 8-bit BMP entries "Name.bmp".
// Entries come in sorted order, so the same folder always gives the same pack.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct PackFile {
    std::string entryName;  // in the archive's ANSI page
    std::vector<std::uint8_t> data;
};

// False with a sentence naming the file (or folder) and what was wrong: subfolders, names
// a pack cannot hold, empty or unreadable files, malformed grey maps, and two files that
// give one entry.
bool ReadPackFolder(const std::filesystem::path& folder, std::vector<PackFile>* files, std::string* error);
