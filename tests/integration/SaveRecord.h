// Where the installed game's progress lies in "user.sav", for the tests that read it back.
#pragma once

#include <cstddef>

namespace handset_test {

// The save record starts after the file's key and header.
constexpr std::size_t kRecord = 8 + 52;
// In the record: the progress halfwords of worlds 0-9, then (after the word of the world
// page's tutorial hint) the 45 level records of 16 bytes, each opening with its medal.
constexpr std::size_t kWorldFlags = 4;
constexpr std::size_t kLevelRecords = 28;

}  // namespace handset_test
