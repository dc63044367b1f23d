// String resources of a module loaded as a data file (LoadLibraryExW with
// LOAD_LIBRARY_AS_DATAFILE): LoadStringW, and the resource file format that holds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Types.h"

// Copies the string `id` of `module` into buffer, cut to bufferMax - 1 characters and
// terminated, and returns the number of characters copied. With bufferMax 0, buffer is
// taken as an LPCWSTR* and receives a read-only pointer to the terminated resource text,
// valid while the process runs, and the result is the text's full length. A missing or
// empty string gives 0 (ERROR_RESOURCE_NAME_NOT_FOUND); a malformed resource file gives 0
// (ERROR_BAD_FORMAT).
int LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int bufferMax);

namespace platform {

// The resource file: all numbers little-endian.
//   header (16 bytes): "HSTB", version u16 = 1, reserved u16 = 0, entry count u32,
//                      text pool size u32 (in UTF-16 code units)
//   entries (12 bytes each, ids strictly ascending): id u32 (0..65535), offset u32 and
//                      length u32 (code units, into the pool, without the terminator)
//   text pool: UTF-16LE; each string is followed by a zero unit and holds none itself.
// The file is exactly that long.
class StringTableFile {
public:
    static constexpr UINT kMaxId = 0xFFFF;
    static constexpr std::size_t kHeaderBytes = 16;
    static constexpr std::size_t kEntryBytes = 12;

    // Reads a resource file; on a malformed one returns nothing and a sentence naming
    // what was wrong in `error`.
    static std::optional<StringTableFile> Parse(const std::uint8_t* data, std::size_t size, std::string* error);

    // Adds a string; false (and a sentence in `error`) for an id above kMaxId, an id
    // already present, or a text holding a zero character.
    bool Add(UINT id, const std::u16string& text, std::string* error);
    std::vector<std::uint8_t> Serialize() const;

    // The terminated text of `id` and its length, or null.
    LPCWSTR Find(UINT id, std::size_t* length) const;
    std::size_t Count() const { return entries_.size(); }

private:
    struct Entry {
        UINT id;
        std::size_t offset;
        std::size_t length;
    };
    std::vector<Entry> entries_;  // sorted by id
    std::u16string pool_;         // the texts, each followed by a zero
};

}  // namespace platform
