// Comparison of 8-bit names without regard to case, as the engine compares file, archive,
// resource, module and tag names.
#pragma once

#include <cstddef>

// Like the runtime library's _stricmp: A-Z compare as a-z, other bytes by their unsigned
// value; <0, 0 or >0. A null text counts as empty.
int CompareNoCase(const char* a, const char* b);
// The same over at most `count` characters (_strnicmp).
int CompareNoCaseN(const char* a, const char* b, std::size_t count);
