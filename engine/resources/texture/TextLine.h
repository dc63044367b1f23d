// Line and quoted-name reading for the small text files of textures and texture stages.
#pragma once

#include <cstddef>

class FileStream;

// Reads the rest of the current line into `buffer`: at most capacity - 1 characters are kept
// and the rest of a longer line is skipped, so that the stream is always left on the next
// line. False when no line is left.
bool ReadWholeLine(FileStream& stream, char* buffer, std::size_t capacity);

// The name in double quotes at the start of `text`, after blanks and tabs: up to the closing
// quote, a tab or the end, at most capacity - 1 characters (the rest is cut). False when
// the text does not start with a double quote.
bool TakeQuotedName(const char* text, char* name, std::size_t capacity);
