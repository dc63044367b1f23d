// Conversions between 8-bit text and wide text into caller buffers. Each does nothing when
// the destination or the source is null or the capacity is below 1, always terminates the
// destination, and cuts a text that does not fit at a whole character.
#pragma once

#include "platform/base/Types.h"

// The capacity that means "as many as the source needs": strlen + 1 wide characters for
// the 8-bit-to-wide conversions, wcslen + 1 bytes for WideToUtf8.
constexpr int kCapacityOfSource = -1;

// UTF-8 (code page 65001) into at most capacity - 1 wide characters.
void Utf8ToWide(WCHAR* destination, const char* text, int capacity);
// The system's default code page (code page 0) into at most capacity - 1 wide characters.
void AnsiToWide(WCHAR* destination, const char* text, int capacity);
// UTF-8 into at most capacity - 1 bytes. The bytes written with the terminator; 0 for null
// arguments, a failed conversion, or a text that had to be cut to fit.
int WideToUtf8(char* destination, const WCHAR* text, int capacity);
