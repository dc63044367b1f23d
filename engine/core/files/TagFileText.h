// Character rules shared by the TagFile parser and its tags.
#pragma once

#include <cstddef>

namespace tagfile {

// Blanks are ' ', '\t' and every character below 31 read as signed: the control characters
// 0 to 30 and every byte from 0x80. Character 31 is not blank.
inline bool IsBlank(char c) { return static_cast<signed char>(c) < 31 || c == ' '; }

// Removes leading blanks, cuts at the first "//" or '#' and removes trailing blanks;
// [start, end) is narrowed in place.
inline void TrimLine(const char*& start, const char*& end) {
    while (start < end && IsBlank(*start)) ++start;
    for (const char* at = start; at < end; ++at) {
        if (*at == '#' || (*at == '/' && at + 1 < end && at[1] == '/')) {
            end = at;
            break;
        }
    }
    while (end > start && IsBlank(end[-1])) --end;
}

}  // namespace tagfile
