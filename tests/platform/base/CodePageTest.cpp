// UTF-8 and Windows-1252 conversion: round trips, invalid input, sizes and small buffers.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"

namespace {

std::u16string ToWide(UINT page, const std::string& bytes, DWORD flags = 0) {
    int size = MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (size == 0) return u"<failed>";
    std::u16string wide(static_cast<std::size_t>(size), u'\0');
    EXPECT_EQ(size, MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size));
    return wide;
}

std::string ToBytes(UINT page, const std::u16string& wide, LPCSTR defaultChar = nullptr, LPBOOL used = nullptr) {
    int size = WideCharToMultiByte(page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, defaultChar, used);
    if (size == 0) return "<failed>";
    std::string bytes(static_cast<std::size_t>(size), '\0');
    EXPECT_EQ(size, WideCharToMultiByte(page, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), size,
                                        defaultChar, used));
    return bytes;
}

TEST(CodePage, ValidUtf8RoundTripsThroughUtf16) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"A", u"A"},
        {"K\xC3\xA4se", u"K\u00E4se"},
        {"\xE2\x82\xAC", u"\u20AC"},
        {"\xEF\xBF\xBD", u"\uFFFD"},
        {"\xF0\x9F\x98\x80!", u"\xD83D\xDE00!"},  // a pair
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},    // U+10FFFF, the last code point
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(c.utf16, ToWide(CP_UTF8, c.utf8, MB_ERR_INVALID_CHARS));
        EXPECT_EQ(c.utf8, ToBytes(CP_UTF8, c.utf16));
    }
}

TEST(CodePage, InvalidUtf8BecomesOneReplacementPerMaximalBadPart) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"\x80", u"\uFFFD"},
        {"a\xFFz", u"a\uFFFDz"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                    // overlong '/'
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},          // overlong, three bytes
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},          // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xE2\x82", u"\uFFFD"},                          // cut at the end
        {"\xE2\x82" "A", u"\uFFFDA"},
        {"\xF0\x9F\x98" "A", u"\uFFFDA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(c.utf16, ToWide(CP_UTF8, c.utf8));
        SetLastError(0);
        EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, c.utf8.data(), static_cast<int>(c.utf8.size()),
                                         nullptr, 0));
        EXPECT_EQ(ERROR_NO_UNICODE_TRANSLATION, GetLastError());
    }
    EXPECT_EQ(platform::Utf8ToUtf16("x\xC3"), u"x\uFFFD");
}

TEST(CodePage, UnpairedSurrogatesBecomeReplacementInUtf8) {
    EXPECT_EQ("\xEF\xBF\xBD" "A", ToBytes(CP_UTF8, u"\xD800" u"A"));
    EXPECT_EQ("A\xEF\xBF\xBD", ToBytes(CP_UTF8, u"A\xDC00"));
    EXPECT_EQ("\xEF\xBF\xBD\xEF\xBF\xBD", ToBytes(CP_UTF8, u"\xDC00\xD800"));  // reversed pair
    EXPECT_EQ("\xEF\xBF\xBD", platform::Utf16ToUtf8(std::u16string(u"\xD83D")));
    EXPECT_EQ("", platform::Utf16ToUtf8(static_cast<LPCWSTR>(nullptr)));
}

TEST(CodePage, TerminatedInputCountsTheTerminator) {
    EXPECT_EQ(5, MultiByteToWideChar(CP_UTF8, 0, "K\xC3\xA4se", -1, nullptr, 0));
    EXPECT_EQ(6, WideCharToMultiByte(CP_UTF8, 0, u"K\u00E4se", -1, nullptr, 0, nullptr, nullptr));
    WCHAR wide[8];
    ASSERT_EQ(5, MultiByteToWideChar(CP_UTF8, 0, "K\xC3\xA4se", -1, wide, 8));
    EXPECT_EQ(std::u16string(u"K\u00E4se"), std::u16string(wide));
    char narrow[8];
    ASSERT_EQ(5, WideCharToMultiByte(CP_ACP, 0, u"K\u00E4se", -1, narrow, 5, nullptr, nullptr));
    EXPECT_STREQ("K\xE4se", narrow);
}

TEST(CodePage, TooSmallBufferFailsWithoutSplittingAPair) {
    WCHAR wide[4] = {u'#', u'#', u'#', u'#'};
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "ab\xF0\x9F\x98\x80", 6, wide, 3));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(u'b', wide[1]);
    EXPECT_EQ(u'#', wide[2]);  // no half pair

    char narrow[4] = {'#', '#', '#', '#'};
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, u"a\u20AC", 2, narrow, 3, nullptr, nullptr));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ('#', narrow[1]);  // no part of a character
    EXPECT_EQ(0, WideCharToMultiByte(CP_ACP, 0, u"abc", -1, narrow, 3, nullptr, nullptr));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
}

TEST(CodePage, AnsiPageMapsItsHighControlBlockBothWays) {
    std::string block;
    for (int b = 0x80; b <= 0x9F; ++b) block += static_cast<char>(b);
    const std::u16string expected =
        u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
        u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178";
    EXPECT_EQ(expected, ToWide(CP_ACP, block, MB_ERR_INVALID_CHARS));
    EXPECT_EQ(expected, ToWide(1252, block));
    EXPECT_EQ(block, ToBytes(CP_ACP, expected));

    std::string every;
    for (int b = 1; b <= 0xFF; ++b) every += static_cast<char>(b);
    EXPECT_EQ(every, ToBytes(CP_ACP, ToWide(CP_ACP, every)));
    EXPECT_EQ(u"\u00E9\u00FF", ToWide(CP_ACP, "\xE9\xFF"));
}

TEST(CodePage, AnsiPageUsesTheDefaultCharacterForWhatItLacks) {
    BOOL used = TRUE;
    EXPECT_EQ("abc", ToBytes(CP_ACP, u"abc", nullptr, &used));
    EXPECT_FALSE(used);
    EXPECT_EQ("\x80?x?", ToBytes(CP_ACP, u"\u20AC\u0100x\u0080", nullptr, &used));
    EXPECT_TRUE(used);
    EXPECT_EQ("#\xE9#", ToBytes(CP_ACP, u"\xD83D\xDE00\u00E9\xDC00", "#", &used));  // a pair is one character
    EXPECT_TRUE(used);
}

TEST(CodePage, BadArgumentsAreRefused) {
    WCHAR wide[4];
    char narrow[4];
    BOOL used = FALSE;
    struct Case {
        const char* what;
        std::function<int()> call;
        DWORD error;
    } cases[] = {
        {"unknown page", [&] { return MultiByteToWideChar(1253, 0, "a", 1, wide, 4); }, ERROR_INVALID_PARAMETER},
        {"empty input", [&] { return MultiByteToWideChar(CP_UTF8, 0, "a", 0, wide, 4); }, ERROR_INVALID_PARAMETER},
        {"negative length", [&] { return MultiByteToWideChar(CP_UTF8, 0, "a", -2, wide, 4); }, ERROR_INVALID_PARAMETER},
        {"null input", [&] { return MultiByteToWideChar(CP_UTF8, 0, nullptr, 1, wide, 4); }, ERROR_INVALID_PARAMETER},
        {"null output", [&] { return MultiByteToWideChar(CP_UTF8, 0, "a", 1, nullptr, 4); }, ERROR_INVALID_PARAMETER},
        {"unknown flag", [&] { return MultiByteToWideChar(CP_UTF8, 0x100, "a", 1, wide, 4); }, ERROR_INVALID_FLAGS},
        {"UTF-8 with a used flag",
         [&] { return WideCharToMultiByte(CP_UTF8, 0, u"a", 1, narrow, 4, nullptr, &used); }, ERROR_INVALID_PARAMETER},
        {"UTF-8 with a default character",
         [&] { return WideCharToMultiByte(CP_UTF8, 0, u"a", 1, narrow, 4, "?", nullptr); }, ERROR_INVALID_PARAMETER},
        {"negative output size",
         [&] { return WideCharToMultiByte(CP_ACP, 0, u"a", 1, narrow, -1, nullptr, nullptr); }, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(0);
        EXPECT_EQ(0, c.call());
        EXPECT_EQ(c.error, GetLastError());
    }
}

}  // namespace
