// Safe text formatting for what the game shows. Translated texts are data: they are copied
// as they are and never used as a format string, so a stray '%' in a translation cannot read
// arguments that were never passed. Only our own format strings go through printf, and
// always into a bounded buffer that is cut and terminated when the result is too long.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/text/EngineWString.h"
#include "platform/base/Types.h"

// printf into `buffer` of `capacity` bytes: the result is cut to capacity - 1 bytes and
// always terminated. The length written; 0 with no room at all.
std::size_t FormatBounded(char* buffer, std::size_t capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// A translated text with a number in it: each "%d", "%i" or "%u" slot (flags and width
// allowed, as "%2d") shows `number`, "%%" shows one '%', and every other character, any
// other '%' included, is copied as it is.
EngineWString FillNumber(const WCHAR* text, std::int32_t number);

// The text copied as it is (null: empty).
EngineWString CopyText(const WCHAR* text);
