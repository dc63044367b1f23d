// The text table: every text the game shows, looked up by key. Filled from the chosen
// language's ".text" files (one "KEY value" a line, UTF-8), each text laid out once in the
// system font so that keyed texts are measured and drawn without laying them out again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/EngineWString.h"
#include "platform/base/Types.h"

struct GlyphRun;

constexpr std::uint32_t kTextTableBuckets = 256;
// The key a missing key falls back to, and its text when the files give none.
constexpr const char* kDefaultTextKey = "DEFAULT";
constexpr const WCHAR* kUnknownText = u"<UNKNOWN STRING>";

struct TextEntry : EngineAllocated {
    EngineString key;  // as the file has it; compared without regard to case
    EngineWString text;
    GlyphRun* run = nullptr;  // owned; null for an empty or format text
    ~TextEntry();
};

struct TextTable : EngineAllocated {
    KDLList* buckets = nullptr;  // kTextTableBuckets lists of TextEntry
    std::uint32_t bucketCount = 0;
};

// The global table; null before TextTableCreate.
TextTable* GlobalTextTable();
// Makes the global table with its empty buckets (an existing one is emptied); 1, or 0 when
// memory runs out.
int TextTableCreate();
// Empties the global table and frees it; 1, also without a table.
int TextTableDestroy();
// Frees every entry and empties every bucket.
void TextTableClear(TextTable* table);

// The bucket of a key: the sum of its bytes as signed values, with the remainder's sign. A
// negative bucket names none: such a key is never stored and never found.
std::int32_t TextHash(const char* key, std::uint32_t bucketCount);

// Adds the entries of one text file to the global table: 1 when the file was opened and read
// whole, else 0 with nothing added.
int LoadTextFile(const char* path);
// The entries of a text file's bytes (a UTF-8 byte-order mark at the start is skipped).
void ParseTextFile(TextTable& table, const std::uint8_t* data, std::size_t size);
// Appends an entry at the end of its key's bucket; duplicates stay behind the first one.
// False when the key has no bucket or memory runs out.
bool AddTextEntry(TextTable& table, const char* key, std::size_t keyLength, EngineWString text);

// The key's text (its length in `length` when given); never null. A missing key gives the
// "DEFAULT" text; when that is missing too, an entry "DEFAULT" = "<UNKNOWN STRING>" is added
// and its text returned. The entry found moves to the front of its bucket.
const WCHAR* TextTableFind(TextTable* table, const char* key, std::uint32_t* length);
// Whether the table holds the key itself (no fallback is looked at or added).
bool TextTableHas(TextTable* table, const char* key);
// The key's glyph run in the global table, or null (no fallback); the entry found moves to
// the front of its bucket.
GlyphRun* FindTextGlyphRun(const char* key);
