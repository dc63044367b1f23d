// The text table: the line format of ".text" files, look-up with the "DEFAULT" fallback,
// duplicates, buckets by the bytes as written, and loading files.
#include <fstream>
#include <iterator>

#include "tests/engine/overlay/text/TextTestSupport.h"

namespace {

using text_test::TextTest;

TEST_F(TextTest, LinesGiveKeysAndValuesByTheFileFormat) {
    Parse(
        "QUOTED \"word\"\r\n"
        "TWO two  words\n"
        "\n\r\n"
        "ONE \"a\"\n"
        "SINGLE a\n"
        "ALONE\n"
        "ALONE_BLANK   \n"
        "INNER \"say \\\"hi\\\" now\"\n"
        "BREAK first\\nsecond\n"
        "KEEP back\\slash\n"
        "\t  INDENTED\tvalue  \t\n"
        "OPEN \"half\n"
        "ACCENT caf\xC3\xA9\n"
        "ACCENT_QUOTED \"caf\xC3\xA9\"\n"
        "EMPTY \"\"\n"
        "LAST no line break");
    struct Case {
        const char* key;
        const char16_t* text;  // null: no entry
    };
    const Case cases[] = {
        {"QUOTED", u"word"},
        {"TWO", u"two  words"},
        {"ONE", u"a"},
        {"SINGLE", nullptr},
        {"ALONE", nullptr},
        {"ALONE_BLANK", nullptr},
        {"INNER", u"say \\\"hi\\\" now"},
        {"BREAK", u"first \nsecond"},
        {"KEEP", u"back\\slash"},
        {"INDENTED", u"value"},
        {"OPEN", u"half"},
        // Unquoted, the bytes of a character beyond ASCII at the end count as control bytes
        // and are trimmed; quoted, the character stays.
        {"ACCENT", u"caf"},
        {"ACCENT_QUOTED", u"caf\u00E9"},
        {"EMPTY", u""},
        {"LAST", u"no line break"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const std::vector<TextEntry*> entries = Entries(c.key);
        if (c.text == nullptr) {
            EXPECT_TRUE(entries.empty());
            continue;
        }
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(std::u16string(entries[0]->text.Text(), entries[0]->text.Length()), c.text);
        EXPECT_EQ(Find(c.key), c.text);
    }
    EXPECT_EQ(EntryCount(), 12u);
}

TEST_F(TextTest, AByteOrderMarkIsNoPartOfTheFirstKey) {
    Parse("\xEF\xBB\xBF" "FIRST value\nSECOND other\n");
    ASSERT_EQ(Entries("FIRST").size(), 1u);
    EXPECT_EQ(Find("FIRST"), u"value");
}

TEST_F(TextTest, MissingKeysFallBackToDefaultWhichIsAddedOnce) {
    Parse("KNOWN yes\n");
    EXPECT_EQ(Find("MISSING"), u"<UNKNOWN STRING>");
    ASSERT_EQ(Entries("DEFAULT").size(), 1u);
    EXPECT_NE(Entries("DEFAULT")[0]->run, nullptr);
    EXPECT_EQ(Find("ALSO_MISSING"), u"<UNKNOWN STRING>");
    EXPECT_EQ(Entries("DEFAULT").size(), 1u);
    EXPECT_EQ(Find("KNOWN"), u"yes");
    EXPECT_EQ(Find(nullptr), u"<UNKNOWN STRING>");

    // With a "DEFAULT" of its own, the file's text answers.
    TextTableClear(GlobalTextTable());
    Parse("DEFAULT \"??\"\n");
    EXPECT_EQ(Find("MISSING"), u"??");
    EXPECT_EQ(Entries("DEFAULT").size(), 1u);

    // Without a table there is still an answer.
    TextTableDestroy();
    EXPECT_EQ(Find("MISSING"), u"<UNKNOWN STRING>");
}

TEST_F(TextTest, TheFirstOfDuplicateKeysWinsAndKeysAreBucketedAsWritten) {
    WriteData("first.text", "DUP first\nTitle Upper\n");
    WriteData("second.text", "DUP second\nDUP third\n");
    EXPECT_EQ(LoadTextFile("first.text"), 1);
    EXPECT_EQ(LoadTextFile("second.text"), 1);
    EXPECT_EQ(Entries("DUP").size(), 3u);
    EXPECT_EQ(Find("DUP"), u"first");
    EXPECT_EQ(Find("dup"), u"<UNKNOWN STRING>");  // another bucket
    // The bucket comes from the bytes as written: another case is found only in the same bucket.
    EXPECT_NE(TextHash("Title", 256), TextHash("title", 256));
    EXPECT_EQ(TextHash("Title", 256), TextHash("eltiT", 256));
    EXPECT_EQ(Find("eltiT"), u"<UNKNOWN STRING>");
    EXPECT_EQ(Find("TITLE"), u"<UNKNOWN STRING>");

    // A key whose bytes sum negative names no bucket.
    EXPECT_LT(TextHash("\x80", 256), 0);
    EXPECT_EQ(Find("\x80"), u"<UNKNOWN STRING>");
    const std::size_t before = EntryCount();

    // A missing file adds nothing.
    EXPECT_EQ(LoadTextFile("missing.text"), 0);
    EXPECT_EQ(EntryCount(), before);
}

TEST_F(TextTest, EntriesFoundMoveToTheFrontOfTheirBucket) {
    // "AB" and "BA" sum alike and share a bucket.
    Parse("AB one\nBA two\n");
    TextTable* table = GlobalTextTable();
    KDLList& bucket = table->buckets[TextHash("AB", table->bucketCount)];
    ASSERT_EQ(bucket.count, 2u);
    EXPECT_EQ(static_cast<TextEntry*>(bucket.head->item)->text.Text()[0], u'o');
    EXPECT_EQ(Find("BA"), u"two");
    EXPECT_EQ(static_cast<TextEntry*>(bucket.head->item)->text.Text()[0], u't');
    EXPECT_NE(FindTextGlyphRun("AB"), nullptr);
    EXPECT_EQ(static_cast<TextEntry*>(bucket.head->item)->text.Text()[0], u'o');
    EXPECT_EQ(FindTextGlyphRun("CD"), nullptr);
}

}  // namespace

namespace {

using text_test::TextTest;

// The demo's English menu texts give every key the engine and the first screens look up.
TEST_F(TextTest, TheDemoMenuTextsGiveTheKeysOfTheFirstScreens) {
    std::ifstream in(std::string(HANDSET_SOURCE_DIR) + "/data/game/archives/startup/text/eng/menu.text",
                     std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    Parse(text);
    for (const char* key : {"MENU_NOW_LOADING", "MENU_TOUCH_TO_START", "UFM_ENABLE_AUDIO", "UFM_EXIT_GAME",
                            "UFM_QUIT_GAME"}) {
        ASSERT_EQ(Entries(key).size(), 1u) << key;
        EXPECT_NE(FindTextGlyphRun(key), nullptr) << key;
    }
    EXPECT_EQ(Find("MENU_NOW_LOADING"), u"Now loading...");
    EXPECT_TRUE(Entries("DEFAULT").empty());
}

}  // namespace
