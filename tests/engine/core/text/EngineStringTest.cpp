// Tests of the engine strings and the code-page conversions into caller buffers.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/memory/Heap.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/EngineWString.h"
#include "engine/core/text/TextConversion.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

using StringTest = engine_test::HeapTest;

std::u16string Wide(const EngineWString& text) { return std::u16string(text.Text(), text.Length()); }

TEST_F(StringTest, MidTakesAClampedRangeOrNothing) {
    const EngineString hello("hello");
    const struct {
        int start;
        int count;
        const char* expected;
    } cases[] = {
        {3, 10, "lo"}, {5, 1, ""}, {-1, 2, ""}, {0, 0, ""}, {1, -3, ""}, {0, 5, "hello"}, {4, 1, "o"}, {1, 3, "ell"},
    };
    const EngineWString wideHello(u"hello");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << "," << c.count);
        EngineString part = hello.Mid(c.start, c.count);
        EXPECT_STREQ(part.Text(), c.expected);
        EXPECT_EQ(part.Length(), std::string(c.expected).size());
        EngineWString widePart = wideHello.Mid(c.start, c.count);
        EXPECT_EQ(widePart.Length(), std::string(c.expected).size());
        EXPECT_EQ(widePart.Text()[widePart.Length()], 0);
    }
}

TEST_F(StringTest, ConcatCopiesIntoANewBuffer) {
    const struct {
        const char* left;
        const char* right;
        const char* expected;
    } cases[] = {
        {"", nullptr, ""}, {"ab", "", "ab"}, {"", "cd", "cd"}, {"ab", "cd", "abcd"}, {"ab", nullptr, "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const EngineString left(c.left);
        EngineString joined = left.Concat(c.right);
        EXPECT_STREQ(joined.Text(), c.expected);
        EXPECT_EQ(joined.Length(), std::string(c.expected).size());
        if (joined.Length() > 0) {
            EXPECT_NE(joined.Text(), left.Text());
        }
    }
    EXPECT_STREQ(EngineString("ui/").Concat(EngineString("menu")).Text(), "ui/menu");
}

TEST_F(StringTest, EmptyStringsShareOneByteThatIsNeverFreed) {
    EngineString a;
    EngineString b("");
    EngineString c = EngineString::FromCharsN("abc", 0);
    EXPECT_EQ(a.Text(), b.Text());
    EXPECT_EQ(a.Text(), c.Text());
    EXPECT_TRUE(a.IsSharedEmpty());
    const std::size_t blocks = EngineBlockCount();
    a.Free();
    b.Assign(nullptr);
    c.Copy(a);
    EXPECT_EQ(EngineBlockCount(), blocks);
    EXPECT_STREQ(EngineString().Text(), "");

    EngineString filled("x");
    filled.Assign("");
    EXPECT_TRUE(filled.IsSharedEmpty());
    EXPECT_EQ(EngineBlockCount(), blocks);
}

TEST_F(StringTest, FromCharsNStopsAtCountOrTerminator) {
    EXPECT_STREQ(EngineString::FromCharsN("abcdef", 3).Text(), "abc");
    EXPECT_STREQ(EngineString::FromCharsN("ab", 10).Text(), "ab");
    EXPECT_TRUE(EngineString::FromCharsN(nullptr, 3).IsEmpty());
    EXPECT_TRUE(EngineString::FromCharsN("abc", -1).IsEmpty());
}

TEST_F(StringTest, CopyKeepsTheBufferWhenLengthsAgree) {
    EngineString target("abc");
    const char* buffer = target.Text();
    target.Copy(EngineString("xyz"));
    EXPECT_EQ(target.Text(), buffer);
    EXPECT_STREQ(target.Text(), "xyz");
    target.Copy(EngineString("longer"));
    EXPECT_STREQ(target.Text(), "longer");
    EXPECT_EQ(target.Length(), 6u);

    // Assigning a piece of its own text.
    EngineString self("hello world");
    self.Assign(self.Text() + 6);
    EXPECT_STREQ(self.Text(), "world");
    EngineString moved = std::move(self);
    EXPECT_STREQ(moved.Text(), "world");
    EXPECT_TRUE(self.IsSharedEmpty());
}

TEST_F(StringTest, FormatIsBoundedByItsBuffer) {
    EXPECT_STREQ(EngineString::Format("level%02i", 7).Text(), "level07");
    const std::string huge(10000, 'z');
    EngineString cut = EngineString::Format("%s", huge.c_str());
    EXPECT_EQ(cut.Length(), 8191u);
    EXPECT_EQ(cut.Text()[8191], '\0');
    EXPECT_TRUE(EngineString::Format(nullptr).IsEmpty());

    const std::u16string wideHuge(9000, u'w');
    EngineWString wideCut = EngineWString::Format(u"%s", wideHuge.c_str());
    EXPECT_EQ(wideCut.Length(), 8191u);
    EXPECT_EQ(Wide(EngineWString::Format(u"%d-%s", 5, u"x")), u"5-x");
}

TEST_F(StringTest, OfLengthGivesAZeroedBuffer) {
    EngineString text = EngineString::OfLength(3);
    EXPECT_EQ(text.Length(), 3u);
    EXPECT_EQ(text.Text()[0], '\0');
    EXPECT_EQ(text.Text()[3], '\0');
    text.Buffer()[0] = 'a';
    EXPECT_TRUE(EngineString::OfLength(0).IsSharedEmpty());
    EngineWString wide = EngineWString::OfLength(2);
    EXPECT_EQ(wide.Length(), 2u);
    EXPECT_EQ(wide.Text()[2], 0);
    EXPECT_EQ(EngineWString::OfLength(-4).Length(), 0u);
}

TEST_F(StringTest, FromWideKeepsEveryCharacter) {
    // Characters beyond U+007F take more UTF-8 bytes than wide units.
    EngineString text = EngineString::FromWide(u"h\u00e9llo \u20ac \U0001F600");
    EXPECT_STREQ(text.Text(), "h\xC3\xA9llo \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(text.Length(), 15u);
    EXPECT_TRUE(EngineString::FromWide(nullptr).IsEmpty());
    EXPECT_TRUE(EngineString::FromWide(u"").IsEmpty());
}

TEST_F(StringTest, WideStringsOwnTheirBuffersEvenWhenEmpty) {
    EngineWString a;
    EngineWString b = EngineWString::Format(nullptr);
    EXPECT_EQ(a.Length(), 0u);
    EXPECT_EQ(b.Length(), 0u);
    EXPECT_EQ(b.Text()[0], 0);
    EXPECT_NE(a.Text(), b.Text());
    EXPECT_TRUE(GlobalHeap().Contains(b.Text()));

    EngineWString e = EngineWString::FromUtf8("\xC3\xA9");
    EXPECT_EQ(e.Length(), 1u);
    EXPECT_EQ(e.Text()[0], u'\u00e9');
    EXPECT_EQ(EngineWString::FromUtf8("\xF0\x9F\x98\x80").Length(), 2u);

    EngineWString target(u"abc");
    const WCHAR* buffer = target.Text();
    target.Copy(EngineWString(u"xyz"));
    EXPECT_EQ(target.Text(), buffer);
    target.Assign(target.Text() + 1);
    EXPECT_EQ(Wide(target), u"yz");
    target.Assign(nullptr);
    EXPECT_EQ(target.Length(), 0u);
}

TEST_F(StringTest, ConversionsIntoBuffersCutAtWholeCharacters) {
    WCHAR wide[8];
    Utf8ToWide(wide, "h\xC3\xA9llo", 4);
    EXPECT_EQ(std::u16string(wide), u"h\u00e9l");
    Utf8ToWide(wide, "h\xC3\xA9llo", kCapacityOfSource);
    EXPECT_EQ(std::u16string(wide), u"h\u00e9llo");
    // A surrogate pair that does not fit whole is left out.
    Utf8ToWide(wide, "a\xF0\x9F\x98\x80", 3);
    EXPECT_EQ(std::u16string(wide), u"a");
    // Windows-1252: 0x80 is the euro sign.
    AnsiToWide(wide, "\x80z", 8);
    EXPECT_EQ(std::u16string(wide), u"\u20acz");

    wide[0] = u'#';
    Utf8ToWide(wide, "abc", 0);
    Utf8ToWide(wide, nullptr, 8);
    Utf8ToWide(nullptr, "abc", 8);
    EXPECT_EQ(wide[0], u'#');

    char narrow[16];
    EXPECT_EQ(WideToUtf8(narrow, u"h\u00e9llo", 16), 7);
    EXPECT_STREQ(narrow, "h\xC3\xA9llo");
    // Cut to fit: reported as 0, the text still holds what fitted.
    EXPECT_EQ(WideToUtf8(narrow, u"h\u00e9llo", 3), 0);
    EXPECT_STREQ(narrow, "h");
    EXPECT_EQ(WideToUtf8(narrow, u"h\u00e9llo", kCapacityOfSource), 0);
    EXPECT_STREQ(narrow, "h\xC3\xA9ll");
    narrow[0] = '#';
    EXPECT_EQ(WideToUtf8(narrow, u"abc", 0), 0);
    EXPECT_EQ(WideToUtf8(narrow, nullptr, 16), 0);
    EXPECT_EQ(narrow[0], '#');
}

TEST_F(StringTest, HeapStringObjectsComeFromTheEngineHeap) {
    const std::size_t blocks = EngineBlockCount();
    EngineString* text = EngineString::New("name");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(GlobalHeap().Contains(text));
    EXPECT_STREQ(text->Text(), "name");
    EngineString::Delete(text);
    EngineWString* line = EngineWString::New(u"line", 2);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(Wide(*line), u"li");
    EngineWString::Delete(line);
    EXPECT_EQ(EngineBlockCount(), blocks);
}

}  // namespace
