// The wide formatter: conversions, flags and sizes, and output cut to the caller's buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <string>

#include "platform/base/WideString.h"

namespace {

template <typename... Args>
std::u16string Format(const WCHAR* format, Args... args) {
    WCHAR buffer[256];
    int written = _snwprintf(buffer, 256, format, args...);
    EXPECT_EQ(static_cast<int>(wcslen(buffer)), written) << "format " << std::string(format, format + wcslen(format));
    return buffer;
}

int CallVswprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...) {
    va_list args;
    va_start(args, format);
    int result = vswprintf(buffer, count, format, args);
    va_end(args);
    return result;
}

TEST(WideFormat, ConversionsFlagsAndSizes) {
    DWORD keyNumber = 1234;
    struct Case {
        std::u16string expected;
        std::u16string actual;
    } cases[] = {
        {u"42", Format(u"%d", 42)},
        {u"   42|42   |00042", Format(u"%5d|%-5d|%05d", 42, 42, 42)},
        {u"+5  5 -5", Format(u"%+d % d %+d", 5, 5, -5)},
        {u"-2147483648", Format(u"%i", INT_MIN)},
        {u"4294967295", Format(u"%u", 4294967295u)},
        {u"ff FF 0000BEEF 0xff 0XFF", Format(u"%x %X %08X %#x %#X", 255u, 255u, 0xBEEFu, 255u, 255u)},
        {u"-new:1234 000004D2", Format(u"-new:%lu %08X", keyNumber, keyNumber)},
        {u"-9000000000 9000000000", Format(u"%I64d %lld", -9000000000LL, 9000000000LL)},
        {u"123 -7", Format(u"%zu %Id", static_cast<size_t>(123), static_cast<std::intptr_t>(-7))},
        {u"4464 1", Format(u"%hd %hu", 70000, 65537)},
        {u"007|", Format(u"%.3d|%.0d", 7, 0)},
        {u"10 010", Format(u"%o %#o", 8u, 8u)},
        {u"A\u00E9x \u20AC", Format(u"%c%lc%hc %C", int{u'A'}, int{0xE9}, int{'x'}, 0x80)},
        {u"wide|wide|narrow|narrow", Format(u"%s|%ls|%hs|%S", u"wide", u"wide", "narrow", "narrow")},
        {u"\u00E9t\u00E9", Format(u"%hs", "\xE9t\xE9")},  // narrow text is in the ANSI page
        {u"[       abc][ab    ][xy][ab]", Format(u"[%10s][%-6s][%.2s][%.2hs]", u"abc", u"ab", u"xyz", "abc")},
        {u"   7|7  |3.14|7   ", Format(u"%*d|%-*d|%.*f|%*d", 4, 7, 3, 7, 2, 3.14159, -4, 7)},
        {u"1.500000 3.14 1.234568e+04 1.234568E+04", Format(u"%f %.2f %e %E", 1.5, 3.14159, 12345.678, 12345.678)},
        {u"0.0001 1e+20 2.5", Format(u"%g %g %G", 0.0001, 1e20, 2.5)},
        {u"-003.142|+2.0| 2.0|2.", Format(u"%08.3f|%+.1f|% .1f|%#.0f", -3.14159, 2.0, 2.0, 2.0)},
        {u"     inf|-inf", Format(u"%08f|%f", HUGE_VAL, -HUGE_VAL)},
        {u"(null) (null)", Format(u"%s %hs", static_cast<const WCHAR*>(nullptr), static_cast<const char*>(nullptr))},
        {u"100% \xD83D\xDE00", Format(u"100%% %s", u"\xD83D\xDE00")},
        {u"0000000000001234", Format(u"%p", reinterpret_cast<void*>(0x1234))},
        {u"%y 5 %n", Format(u"%y %d %n", 5)},  // unknown conversions take no argument
        {u"abc%", Format(u"abc%")},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, c.actual);
}

TEST(WideFormat, LongPrecisionKeepsEveryZero) {
    std::u16string buffer(1300, u'#');
    ASSERT_EQ(1202, _snwprintf(buffer.data(), buffer.size(), u"%.1200f", 1.0));
    EXPECT_EQ(u"1." + std::u16string(1200, u'0'), std::u16string(buffer.c_str()));
    ASSERT_EQ(1206, _snwprintf(buffer.data(), buffer.size(), u"%.1200e", 1.0));
    EXPECT_EQ(u"1." + std::u16string(1200, u'0') + u"e+00", std::u16string(buffer.c_str()));
}

TEST(WideFormat, OutputIsCutToTheBufferAndTerminated) {
    WCHAR buffer[8];
    struct Case {
        size_t count;
        const WCHAR* text;
        int result;
        std::u16string kept;
    } cases[] = {
        {5, u"abcdefg", -1, u"abcd"},
        {4, u"abc", 3, u"abc"},  // exact fit
        {3, u"abc", -1, u"ab"},
        {1, u"abc", -1, u""},
        {3, u"a\xD83D\xDE00", -1, u"a"},  // never half a pair
    };
    for (const Case& c : cases) {
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        EXPECT_EQ(c.result, _snwprintf(buffer, c.count, u"%s", c.text));
        EXPECT_EQ(c.kept, std::u16string(buffer));
        EXPECT_EQ(u'#', buffer[c.count]);  // nothing written past count
    }
    buffer[0] = u'#';
    EXPECT_EQ(-1, _snwprintf(buffer, 0, u"x"));
    EXPECT_EQ(u'#', buffer[0]);
    EXPECT_EQ(-1, swprintf(buffer, 8, u"%2000000000d", 1));  // a huge width stops at the buffer's end
    EXPECT_EQ(u"       ", std::u16string(buffer));
    EXPECT_EQ(-1, CallVswprintf(buffer, 8, nullptr));
    EXPECT_EQ(u"", std::u16string(buffer));
    EXPECT_EQ(5, CallVswprintf(buffer, 8, u"%s:%u", u"ab", 12u));
    EXPECT_EQ(u"ab:12", std::u16string(buffer));
}

}  // namespace
