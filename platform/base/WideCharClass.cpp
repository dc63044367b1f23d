// Case mapping and character classes for WCHAR: Latin-1, Latin Extended-A, Greek and
// Cyrillic case pairs, and the letter, digit and space classes the wide functions use.
#include <cstddef>

#include "platform/base/WideString.h"

namespace {

struct Range {
    char16_t first;
    char16_t last;
};

bool InRanges(WCHAR c, const Range* ranges, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (c >= ranges[i].first && c <= ranges[i].last) return true;
    return false;
}

bool IsEven(WCHAR c) { return (c & 1) == 0; }

}  // namespace

WCHAR towlower(WCHAR c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c + 0x20) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<WCHAR>(c + 0x20);
    // Latin Extended-A: upper and lower case alternate, in two different phases.
    if (c == 0x130) return u'i';
    if ((c >= 0x100 && c <= 0x137 && IsEven(c)) || (c >= 0x139 && c <= 0x148 && !IsEven(c)) ||
        (c >= 0x14A && c <= 0x177 && IsEven(c)) || (c >= 0x179 && c <= 0x17E && !IsEven(c)))
        return static_cast<WCHAR>(c + 1);
    if (c == 0x178) return 0xFF;
    // Greek
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return static_cast<WCHAR>(c + 37);
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return static_cast<WCHAR>(c + 63);
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<WCHAR>(c + 0x20);
    // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return static_cast<WCHAR>(c + 0x50);
    if (c >= 0x410 && c <= 0x42F) return static_cast<WCHAR>(c + 0x20);
    if (c == 0x4C0) return 0x4CF;
    if ((c >= 0x460 && c <= 0x481 && IsEven(c)) || (c >= 0x48A && c <= 0x4BF && IsEven(c)) ||
        (c >= 0x4C1 && c <= 0x4CD && !IsEven(c)) || (c >= 0x4D0 && c <= 0x52F && IsEven(c)))
        return static_cast<WCHAR>(c + 1);
    return c;
}

WCHAR towupper(WCHAR c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<WCHAR>(c - 0x20) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<WCHAR>(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c == 0x131) return u'I';
    if (c == 0x17F) return u'S';
    if ((c >= 0x101 && c <= 0x137 && !IsEven(c)) || (c >= 0x13A && c <= 0x148 && IsEven(c)) ||
        (c >= 0x14B && c <= 0x177 && !IsEven(c)) || (c >= 0x17A && c <= 0x17E && IsEven(c)))
        return static_cast<WCHAR>(c - 1);
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return static_cast<WCHAR>(c - 37);
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return static_cast<WCHAR>(c - 63);
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x3B1 && c <= 0x3CB) return static_cast<WCHAR>(c - 0x20);
    if (c >= 0x430 && c <= 0x44F) return static_cast<WCHAR>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<WCHAR>(c - 0x50);
    if (c == 0x4CF) return 0x4C0;
    if ((c >= 0x461 && c <= 0x481 && !IsEven(c)) || (c >= 0x48B && c <= 0x4BF && !IsEven(c)) ||
        (c >= 0x4C2 && c <= 0x4CE && IsEven(c)) || (c >= 0x4D1 && c <= 0x52F && !IsEven(c)))
        return static_cast<WCHAR>(c - 1);
    return c;
}

int iswspace(WCHAR c) {
    static const Range spaces[] = {{0x09, 0x0D}, {0x20, 0x20},     {0x85, 0x85},     {0xA0, 0xA0},
                                   {0x1680, 0x1680}, {0x2000, 0x200A}, {0x2028, 0x2029}, {0x202F, 0x202F},
                                   {0x205F, 0x205F}, {0x3000, 0x3000}};
    return InRanges(c, spaces, sizeof spaces / sizeof spaces[0]) ? 1 : 0;
}

int iswdigit(WCHAR c) { return (c >= u'0' && c <= u'9') ? 1 : 0; }

int iswalpha(WCHAR c) {
    // Letters of the scripts the handset's fonts cover; marks, digits and symbols are not.
    static const Range letters[] = {
        {0x41, 0x5A},     {0x61, 0x7A},     {0xAA, 0xAA},     {0xB5, 0xB5},     {0xBA, 0xBA},
        {0xC0, 0xD6},     {0xD8, 0xF6},     {0xF8, 0x2AF},    {0x386, 0x386},   {0x388, 0x38A},
        {0x38C, 0x38C},   {0x38E, 0x3A1},   {0x3A3, 0x3FF},   {0x400, 0x481},   {0x48A, 0x52F},
        {0x531, 0x556},   {0x561, 0x587},   {0x5D0, 0x5EA},   {0x620, 0x64A},   {0xE01, 0xE30},
        {0x1E00, 0x1FFF}, {0x3041, 0x3096}, {0x30A1, 0x30FA}, {0x4E00, 0x9FFF}, {0xAC00, 0xD7A3},
        {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A}};
    return InRanges(c, letters, sizeof letters / sizeof letters[0]) ? 1 : 0;
}
