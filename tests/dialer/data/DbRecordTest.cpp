// The readers of a record's properties on records laid out by hand: of two equal properties
// the later wins, flagged ones read as absent, and the wrong type is not a match.
#include <gtest/gtest.h>

#include "dialer/data/DbRecord.h"
#include "platform/base/LocalMemory.h"

namespace {

constexpr WORD kName = 0x0082;

DbRecord MakeRecord(std::initializer_list<CEPROPVAL> values) {
    DbRecord record;
    record.props = static_cast<CEPROPVAL*>(LocalAlloc(LPTR, values.size() * sizeof(CEPROPVAL)));
    for (const CEPROPVAL& value : values) record.props[record.count++] = value;
    record.oid = 42;
    return record;
}

CEPROPVAL Text(WORD number, const char16_t* text, WORD flags = 0) {
    CEPROPVAL value{};
    value.propid = MAKEPROPID(number, CEVT_LPWSTR);
    value.wFlags = flags;
    value.val.lpwstr = const_cast<LPWSTR>(text);
    return value;
}

TEST(DbRecord, TheLaterOfTwoEqualPropertiesWins) {
    DbRecord record = MakeRecord({Text(kName, u"first"), Text(0x0083, u"other"), Text(kName, u"second")});
    EXPECT_EQ(GetRecordString(record, kName), u"second");
    EXPECT_EQ(GetRecordString(record, 0x0083), u"other");
}

TEST(DbRecord, FlaggedAbsentOrMistypedPropertiesReadAsAbsent) {
    CEPROPVAL number{};
    number.propid = MAKEPROPID(kName, CEVT_UI4);
    number.val.ulVal = 9;
    struct Case {
        CEPROPVAL value;
        const char* why;
    } cases[] = {
        {Text(kName, u"x", CEDB_PROPNOTFOUND), "not found"},
        {Text(kName, u"x", CEDB_PROPDELETE), "deleted"},
        {number, "another type"},
        {Text(0x0084, u"x"), "another property"},
    };
    for (const Case& c : cases) {
        DbRecord record = MakeRecord({c.value});
        EXPECT_EQ(FindRecordProp(record, kName, CEVT_LPWSTR), nullptr) << c.why;
        EXPECT_EQ(GetRecordString(record, kName, u"default"), u"default") << c.why;
    }
    // A later flagged copy hides an earlier good one: the later one is the record's word.
    DbRecord hidden = MakeRecord({Text(kName, u"old"), Text(kName, u"x", CEDB_PROPNOTFOUND)});
    EXPECT_EQ(FindRecordProp(hidden, kName, CEVT_LPWSTR), nullptr);

    DbRecord empty;
    EXPECT_EQ(FindRecordProp(empty, kName, CEVT_LPWSTR), nullptr);
    FILETIME time = GetRecordFileTime(empty, 0x00C0);
    EXPECT_EQ(time.dwLowDateTime | time.dwHighDateTime, 0u);
    CEBLOB blob = GetRecordBlob(empty, 0x0050);
    EXPECT_EQ(blob.dwCount, 0u);
    EXPECT_EQ(blob.lpb, nullptr);
}

TEST(DbRecord, ClearingAndMovingHandTheBufferOnOnce) {
    DbRecord record = MakeRecord({Text(kName, u"x")});
    DbRecord moved = std::move(record);
    EXPECT_EQ(record.props, nullptr);
    EXPECT_EQ(moved.count, 1u);
    moved.Clear();
    EXPECT_EQ(moved.props, nullptr);
    EXPECT_EQ(moved.count, 0u);
    EXPECT_EQ(moved.oid, 0u);
}

}  // namespace
