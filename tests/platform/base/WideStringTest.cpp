// Wide string functions: case-less compares beyond ASCII, case mapping, searching and
// reading numbers with the handset's 32-bit ranges.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string>

#include "platform/base/WideString.h"

namespace {

TEST(WideString, CaselessCompareBeyondAscii) {
    struct Case {
        const WCHAR* a;
        const WCHAR* b;
        int sign;
    } cases[] = {
        {u"Quorvane", u"qUORVANE", 0},
        {u"\u00C4RGER \u00D8L", u"\u00E4rger \u00F8l", 0},      // Latin-1
        {u"\u0141\u00D3D\u0179", u"\u0142\u00F3d\u017A", 0},     // Latin Extended-A
        {u"\u0178", u"\u00FF", 0},                               // Y with diaeresis crosses blocks
        {u"\u039F\u0394\u039F\u03A3", u"\u03BF\u03B4\u03BF\u03C2", 0},  // final sigma
        {u"\u041F\u0420\u0418\u0412\u0415\u0422", u"\u043F\u0440\u0438\u0432\u0435\u0442", 0},
        {u"\u0401\u0416", u"\u0451\u0436", 0},
        {u"abc", u"ABD", -1},
        {u"ab", u"AB\u00E9", -1},
        {u"\u00E9", u"E", 1},
    };
    auto sign = [](int value) { return (value > 0) - (value < 0); };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cases[i].sign, sign(_wcsicmp(cases[i].a, cases[i].b)));
        EXPECT_EQ(-cases[i].sign, sign(_wcsicmp(cases[i].b, cases[i].a)));
    }
    EXPECT_EQ(0, _wcsnicmp(u"\u00C9cran1", u"\u00E9CRAN2", 5));
    EXPECT_NE(0, _wcsnicmp(u"\u00C9cran1", u"\u00E9CRAN2", 6));
}

TEST(WideString, CaseMappingKeepsWhatHasNoCase) {
    WCHAR text[] = u"Gr\u00FC\u00DFe \u00D7\u00F7 \u0131\u0130 123";
    EXPECT_EQ(std::u16string(u"GR\u00DC\u00DFE \u00D7\u00F7 I\u0130 123"), std::u16string(_wcsupr(text)));
    EXPECT_EQ(std::u16string(u"gr\u00FC\u00DFe \u00D7\u00F7 ii 123"), std::u16string(_wcslwr(text)));
    EXPECT_EQ(u'\u0178', towupper(u'\u00FF'));
    EXPECT_EQ(u'\u03A3', towupper(u'\u03C2'));
    EXPECT_TRUE(iswalpha(u'\u0416') && iswalpha(u'z') && !iswalpha(u'1') && !iswalpha(u'\u00D7'));
    EXPECT_TRUE(iswspace(u'\u00A0') && iswspace(u'\t') && !iswspace(u'x'));
}

TEST(WideString, CopySearchAndDuplicate) {
    WCHAR buffer[16];
    wcscpy(buffer, u"Cal");
    wcscat(buffer, u"vane");
    wcsncat(buffer, u"_Cmd!", 4);
    EXPECT_EQ(std::u16string(u"Calvane_Cmd"), std::u16string(buffer));
    EXPECT_EQ(buffer + 7, wcsstr(buffer, u"_C"));
    EXPECT_EQ(buffer, wcsstr(buffer, u""));
    EXPECT_EQ(nullptr, wcsstr(buffer, u"Cmd!"));
    EXPECT_EQ(buffer + 1, wcschr(buffer, u'a'));
    EXPECT_EQ(buffer + 4, wcsrchr(buffer, u'a'));
    EXPECT_EQ(buffer + 11, wcschr(buffer, u'\0'));
    EXPECT_EQ(3u, wcsnlen(buffer, 3));
    WCHAR padded[6];
    wcsncpy(padded, u"ab", 6);
    EXPECT_EQ(0, padded[5]);
    WCHAR* copy = _wcsdup(buffer);
    EXPECT_EQ(0, wcscmp(copy, buffer));
    std::free(copy);
    EXPECT_LT(wcscmp(u"a", u"\u00E9"), 0);  // compares code units without sign
}

TEST(WideString, NumbersHaveTheHandsetsRanges) {
    struct Case {
        const WCHAR* text;
        int base;
        long value;
        size_t consumed;
        bool outOfRange;
    } signedCases[] = {
        {u"  -42xyz", 10, -42, 5, false},
        {u"+7", 10, 7, 2, false},
        {u"0x1F", 0, 31, 4, false},
        {u"0x1F", 16, 31, 4, false},
        {u"0xZ", 16, 0, 1, false},  // only the 0 is a number
        {u"017", 0, 15, 3, false},
        {u"z", 36, 35, 1, false},
        {u"2147483647", 10, 2147483647L, 10, false},
        {u"2147483648", 10, 2147483647L, 10, true},
        {u"-2147483649", 10, -2147483647L - 1, 11, true},
        {u"99999999999999999999999", 10, 2147483647L, 23, true},
        {u"abc", 10, 0, 0, false},
        {u"12", 1, 0, 0, false},  // no such base
    };
    for (const Case& c : signedCases) {
        WCHAR* end = nullptr;
        errno = 0;
        SCOPED_TRACE(std::string(c.text, c.text + wcslen(c.text)));
        EXPECT_EQ(c.value, wcstol(c.text, &end, c.base));
        EXPECT_EQ(c.consumed, static_cast<size_t>(end - c.text));
        EXPECT_EQ(c.outOfRange, errno == ERANGE);
    }
    errno = 0;
    EXPECT_EQ(4294967295ul, wcstoul(u"4294967295", nullptr, 10));
    EXPECT_EQ(0, errno);
    EXPECT_EQ(4294967295ul, wcstoul(u"4294967296", nullptr, 10));
    EXPECT_EQ(ERANGE, errno);
    EXPECT_EQ(4294967295ul, wcstoul(u"-1", nullptr, 10));
    EXPECT_EQ(-12, _wtoi(u" -12.5"));
    EXPECT_EQ(300L, _wtol(u"300"));
}

TEST(WideString, DecimalNumbers) {
    struct Case {
        const WCHAR* text;
        double value;
        size_t consumed;
    } cases[] = {
        {u" 3.25x", 3.25, 5}, {u"-1e3", -1000.0, 4}, {u"2.5e", 2.5, 3}, {u"7e+x", 7.0, 1},
        {u".5", 0.5, 2},      {u"-.", 0.0, 0},       {u"abc", 0.0, 0},  {u"1,5", 1.0, 1},
    };
    for (const Case& c : cases) {
        WCHAR* end = nullptr;
        EXPECT_DOUBLE_EQ(c.value, wcstod(c.text, &end));
        EXPECT_EQ(c.consumed, static_cast<size_t>(end - c.text));
    }
    EXPECT_TRUE(std::isinf(wcstod(u"-Infinity", nullptr)));
    errno = 0;
    EXPECT_TRUE(std::isinf(wcstod(u"1e999", nullptr)));
    EXPECT_EQ(ERANGE, errno);
}

}  // namespace
