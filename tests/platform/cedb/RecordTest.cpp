// Writing and reading record properties: every value type, repeated and deleted properties,
// item ids, the not-found flag and the buffer rules of CeReadRecordPropsEx.
#include <cmath>
#include <cstring>

#include "platform/cedb/StoredRecordAccess.h"
#include "tests/platform/cedb/CedbFixture.h"

namespace cedb_test {
namespace {

class RecordTest : public CedbTest {
protected:
    void SetUp() override {
        CedbTest::SetUp();
        CreateDatabase(u"clog.db");
        db_ = Open(u"clog.db");
    }
    void TearDown() override {
        CloseHandle(db_);
        CedbTest::TearDown();
    }
    ReadBack ReadOid(CEOID oid) {
        EXPECT_EQ(CeSeekDatabaseEx(db_, CEDB_SEEK_CEOID, oid, 0, nullptr), oid);
        return ReadCurrent(db_);
    }
    HANDLE db_ = nullptr;
};

TEST_F(RecordTest, EveryValueTypeComesBackAsWritten) {
    BYTE bytes[] = {0, 1, 2, 0xFF};
    CEPROPVAL values[9]{};
    values[0].propid = MAKEPROPID(1, CEVT_I2), values[0].val.iVal = -2;
    values[1].propid = MAKEPROPID(2, CEVT_UI2), values[1].val.uiVal = 0xFFFE;
    values[2] = Int(3, -70000);
    values[3] = UInt(4, 0x80000001u);
    values[4].propid = MAKEPROPID(5, CEVT_FILETIME), values[4].val.filetime = {0x89ABCDEFu, 0x01234567u};
    values[5] = Text(6, u"+49 (30) 1234 \u00e9");
    values[6] = Blob(7, bytes, sizeof bytes);
    values[7].propid = MAKEPROPID(8, CEVT_BOOL), values[7].val.boolVal = TRUE;
    values[8].propid = MAKEPROPID(9, CEVT_R8), values[8].val.dblVal = -1.5e300;
    CEOID oid = Write(db_, 0, std::vector<CEPROPVAL>(values, values + 9));
    ASSERT_NE(oid, 0u);

    WORD count = 0;
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    ASSERT_EQ(CeSeekDatabaseEx(db_, CEDB_SEEK_CEOID, oid, 0, nullptr), oid);
    ASSERT_EQ(CeReadRecordPropsEx(db_, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size, nullptr), oid);
    ASSERT_EQ(count, 10);  // the item id comes first
    auto* read = reinterpret_cast<CEPROPVAL*>(buffer);
    EXPECT_EQ(read[0].propid, CEPROPID_ITEMID);
    EXPECT_EQ(read[1].val.iVal, -2);
    EXPECT_EQ(read[2].val.uiVal, 0xFFFE);
    EXPECT_EQ(read[3].val.lVal, -70000);
    EXPECT_EQ(read[4].val.ulVal, 0x80000001u);
    EXPECT_EQ(read[5].val.filetime.dwLowDateTime, 0x89ABCDEFu);
    EXPECT_EQ(read[5].val.filetime.dwHighDateTime, 0x01234567u);
    EXPECT_EQ(std::u16string(read[6].val.lpwstr), u"+49 (30) 1234 \u00e9");
    EXPECT_EQ(read[6].wLenData, 2 * (std::u16string(values[5].val.lpwstr).size() + 1));
    ASSERT_EQ(read[7].val.blob.dwCount, sizeof bytes);
    EXPECT_EQ(std::memcmp(read[7].val.blob.lpb, bytes, sizeof bytes), 0);
    EXPECT_EQ(read[8].val.boolVal, TRUE);
    EXPECT_EQ(read[9].val.dblVal, -1.5e300);
    // Everything the array points to lies inside the one block.
    auto inside = [&](const void* p) { return p >= buffer && p < buffer + size; };
    EXPECT_TRUE(inside(read[6].val.lpwstr));
    EXPECT_TRUE(inside(read[7].val.blob.lpb));
    EXPECT_EQ(LocalSize(buffer), size);
    LocalFree(buffer);
}

TEST_F(RecordTest, TheLaterOfTwoEqualPropertiesWins) {
    CEOID oid = Write(db_, 0, {Text(6, u"first"), Int(4, 1), Text(6, u"second")});
    ReadBack back = ReadOid(oid);
    ASSERT_NE(back.oid, 0u);
    EXPECT_EQ(back.values.size(), 3u);  // item id, number, flags
    ASSERT_NE(back.Find(MAKEPROPID(6, CEVT_LPWSTR)), nullptr);
    EXPECT_EQ(back.texts[back.Find(MAKEPROPID(6, CEVT_LPWSTR)) - back.values.data()], u"second");

    // Within one write a delete after a value removes it, a value after a delete sets it.
    Write(db_, oid, {Int(4, 2), Delete(MAKEPROPID(4, CEVT_I4)), Delete(MAKEPROPID(6, CEVT_LPWSTR)), Text(6, u"third")});
    back = ReadOid(oid);
    EXPECT_EQ(back.Find(MAKEPROPID(4, CEVT_I4)), nullptr);
    EXPECT_EQ(back.texts[back.Find(MAKEPROPID(6, CEVT_LPWSTR)) - back.values.data()], u"third");
}

TEST_F(RecordTest, PropertyDeleteRemovesOnlyThatProperty) {
    CEOID oid = Write(db_, 0, {Text(6, u"number"), Text(7, u"name")});
    CEPROPVAL remove = Delete(MAKEPROPID(7, CEVT_LPWSTR));
    EXPECT_EQ(CeWriteRecordProps(db_, oid, 1, &remove), oid);
    ReadBack back = ReadOid(oid);
    EXPECT_NE(back.Find(MAKEPROPID(6, CEVT_LPWSTR)), nullptr);
    EXPECT_EQ(back.Find(MAKEPROPID(7, CEVT_LPWSTR)), nullptr);
    // Deleting what is not there is no error.
    EXPECT_EQ(CeWriteRecordProps(db_, oid, 1, &remove), oid);
}

TEST_F(RecordTest, RequestedPropertiesComeInOrderWithNotFoundFlags) {
    CEOID oid = Write(db_, 0, {Text(6, u"555"), Int(4, 9)});
    ASSERT_EQ(CeSeekDatabaseEx(db_, CEDB_SEEK_CEOID, oid, 0, nullptr), oid);
    CEPROPID wanted[] = {MAKEPROPID(7, CEVT_LPWSTR), MAKEPROPID(4, CEVT_I4), MAKEPROPID(6, CEVT_LPWSTR),
                         MAKEPROPID(4, CEVT_UI4), CEPROPID_ITEMID};
    WORD count = 5;
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    ASSERT_EQ(CeReadRecordPropsEx(db_, CEDB_ALLOWREALLOC, &count, wanted, &buffer, &size, nullptr), oid);
    ASSERT_EQ(count, 5);
    auto* read = reinterpret_cast<CEPROPVAL*>(buffer);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(read[i].propid, wanted[i]);
    EXPECT_EQ(read[0].wFlags, CEDB_PROPNOTFOUND);
    EXPECT_EQ(read[1].wFlags, 0);
    EXPECT_EQ(read[1].val.lVal, 9);
    EXPECT_EQ(std::u16string(read[2].val.lpwstr), u"555");
    EXPECT_EQ(read[3].wFlags, CEDB_PROPNOTFOUND);  // same number, other type: another property
    EXPECT_EQ(read[4].wFlags, 0);
    LocalFree(buffer);
}

TEST_F(RecordTest, ItemIdsAreNumberedAndNeverReused) {
    CEOID a = Write(db_, 0, {Int(4, 1)});
    CEOID b = Write(db_, 0, {Int(4, 2)});
    ASSERT_TRUE(CeDeleteRecord(db_, b));
    CEOID c = Write(db_, 0, {Int(4, 3)});
    EXPECT_NE(a & 0x80000000u, 0u);  // object ids carry the top bit
    EXPECT_EQ(ReadOid(a).Find(CEPROPID_ITEMID)->val.ulVal, 1u);
    EXPECT_EQ(ReadOid(c).Find(CEPROPID_ITEMID)->val.ulVal, 3u);

    // The database numbers it: writing another value or deleting it is refused, writing back
    // the value read (a whole record written back) is accepted.
    CEPROPVAL other{};
    other.propid = CEPROPID_ITEMID;
    other.val.ulVal = 77;
    EXPECT_EQ(CeWriteRecordProps(db_, a, 1, &other), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    CEPROPVAL remove = Delete(CEPROPID_ITEMID);
    EXPECT_EQ(CeWriteRecordProps(db_, a, 1, &remove), 0u);
    CEPROPVAL same = other;
    same.val.ulVal = 1;
    EXPECT_EQ(CeWriteRecordProps(db_, a, 1, &same), a);
    EXPECT_EQ(ReadOid(a).Find(CEPROPID_ITEMID)->val.ulVal, 1u);
}

TEST_F(RecordTest, BufferRulesWithAndWithoutRealloc) {
    CEOID oid = Write(db_, 0, {Text(6, u"a fairly long phone number text")});
    ASSERT_EQ(CeSeekDatabaseEx(db_, CEDB_SEEK_CEOID, oid, 0, nullptr), oid);
    WORD count = 0;

    // Too small without CEDB_ALLOWREALLOC: the needed size, the buffer untouched.
    BYTE small[8] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    LPBYTE buffer = small;
    DWORD size = sizeof small;
    EXPECT_EQ(CeReadRecordPropsEx(db_, 0, &count, nullptr, &buffer, &size, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(buffer, small);
    EXPECT_GT(size, sizeof small);
    EXPECT_EQ(small[0], 0xAA);
    // With the size it asked for, a caller's buffer is used as it is.
    std::vector<BYTE> exact(size);
    buffer = exact.data();
    EXPECT_EQ(CeReadRecordPropsEx(db_, 0, &count, nullptr, &buffer, &size, nullptr), oid);
    EXPECT_EQ(buffer, exact.data());

    // A LocalAlloc block too small is grown under CEDB_ALLOWREALLOC.
    buffer = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, 4));
    size = 4;
    ASSERT_EQ(CeReadRecordPropsEx(db_, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size, nullptr), oid);
    EXPECT_GE(LocalSize(buffer), size);
    EXPECT_EQ(std::u16string(reinterpret_cast<CEPROPVAL*>(buffer)[1].val.lpwstr), u"a fairly long phone number text");

    // A failed read leaves the caller's block in place, so that the caller can free it.
    LPBYTE before = buffer;
    ASSERT_TRUE(CeDeleteRecord(db_, oid));
    EXPECT_EQ(CeReadRecordPropsEx(db_, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_KEY_DELETED);
    EXPECT_EQ(buffer, before);
    EXPECT_EQ(LocalFree(buffer), nullptr);
}

TEST_F(RecordTest, BadArgumentsAreRefused) {
    CEOID oid = Write(db_, 0, {Int(4, 1)});
    std::u16string tooLong(CEDB_MAXPROPDATASIZE / 2, u'x');
    CEPROPVAL nullText = Text(6, nullptr);
    CEPROPVAL longText = Text(6, tooLong.c_str());
    CEPROPVAL nullBlob = Blob(7, nullptr, 3);
    CEPROPVAL stream{};
    stream.propid = MAKEPROPID(0xFF, CEVT_STREAM);
    CEPROPVAL unknownType{};
    unknownType.propid = MAKEPROPID(3, 77);
    for (CEPROPVAL* bad : {&nullText, &longText, &nullBlob, &stream, &unknownType}) {
        SCOPED_TRACE(bad->propid);
        EXPECT_EQ(CeWriteRecordProps(db_, oid, 1, bad), 0u);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    // Two strings of the largest size overflow the record.
    std::u16string big(CEDB_MAXPROPDATASIZE / 2 - 1, u'y');
    CEPROPVAL two[] = {Text(6, big.c_str()), Text(7, big.c_str()), Text(8, big.c_str())};
    EXPECT_EQ(CeWriteRecordProps(db_, oid, 3, two), 0u);
    EXPECT_EQ(CeWriteRecordProps(db_, 0x12345678, 1, two), 0u);
    EXPECT_EQ(GetLastError(), ERROR_KEY_DELETED);
    EXPECT_EQ(CeWriteRecordProps(INVALID_HANDLE_VALUE, oid, 1, two), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CeDeleteRecord(db_, 0x12345678));
    // The record is as it was.
    EXPECT_EQ(ReadOid(oid).values.size(), 2u);
}

TEST_F(RecordTest, AutoIncrementReadsOneRecordAfterTheOther) {
    CloseHandle(db_);
    db_ = Open(u"clog.db", nullptr, nullptr, CEDB_AUTOINCREMENT);
    std::vector<CEOID> written;
    for (LONG i = 0; i < 3; ++i) written.push_back(Write(db_, 0, {Int(4, i)}));
    std::vector<CEOID> read;
    for (ReadBack back = ReadCurrent(db_); back.oid != 0; back = ReadCurrent(db_)) read.push_back(back.oid);
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(read, written);
}

TEST_F(RecordTest, DamagedStoredRecordsAreRefusedAndKept) {
    CEOID oid = Write(db_, 0, {Text(6, u"keep")});
    const std::vector<std::vector<BYTE>> damaged = {
        {},                                                  // no header
        {2, 0, 0, 0},                                        // unknown format
        {1, 0, 1, 0, 0x1F, 0, 6, 0},                         // property header cut off
        {1, 0, 1, 0, 0x1F, 0, 6, 0, 9, 0, 0, 0, 'a', 0},     // string longer than the record
        {1, 0, 1, 0, 0x1F, 0, 6, 0, 3, 0, 0, 0, 'a', 0, 0},  // string of an odd byte count
        {1, 0, 1, 0, 0x03, 0, 4, 0, 2, 0, 0, 0, 1, 0},       // I4 of two bytes
        {1, 0, 1, 0, 0x64, 0, 4, 0, 0, 0, 0, 0},             // a stream inside the record
        {1, 0, 0, 0, 7},                                     // bytes after the last property
    };
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(platform::cedb::testing::WriteStoredRecord(db_, oid, damaged[i].data(), damaged[i].size()));
        ASSERT_EQ(CeSeekDatabaseEx(db_, CEDB_SEEK_CEOID, oid, 0, nullptr), oid);
        EXPECT_EQ(ReadCurrent(db_).oid, 0u);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
        // A write would lose what the record holds: it is refused too.
        CEPROPVAL value = Int(4, 1);
        EXPECT_EQ(CeWriteRecordProps(db_, oid, 1, &value), 0u);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    }
    // A record whose stored form names a property twice reads the later value.
    const std::vector<BYTE> twice = {1, 0, 2, 0, 3, 0, 4, 0, 4, 0, 0, 0, 1, 0,
                                     0, 0, 3, 0, 4, 0, 4, 0, 0, 0, 2, 0, 0, 0};
    ASSERT_TRUE(platform::cedb::testing::WriteStoredRecord(db_, oid, twice.data(), twice.size()));
    ReadBack back = ReadOid(oid);
    ASSERT_EQ(back.values.size(), 1u);
    EXPECT_EQ(back.values[0].val.lVal, 2);
}

TEST(LocalMemoryTest, BlocksGrowShrinkAndKeepTheirBytes) {
    auto* block = static_cast<BYTE*>(LocalAlloc(LPTR, 8));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(LocalSize(block), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(block[i], 0);
    block[7] = 42;
    EXPECT_EQ(LocalReAlloc(block, 4096, LMEM_FIXED), nullptr);  // would have to move
    EXPECT_EQ(LocalSize(block), 8u);
    EXPECT_EQ(LocalReAlloc(block, 4, LMEM_FIXED), block);     // shrinking stays in place
    EXPECT_EQ(LocalReAlloc(block, 8, LMEM_ZEROINIT), block);  // and may grow back
    EXPECT_EQ(block[7], 0);
    block[3] = 7;
    auto* moved = static_cast<BYTE*>(LocalReAlloc(block, 4096, LMEM_MOVEABLE | LMEM_ZEROINIT));
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved[3], 7);
    EXPECT_EQ(moved[4095], 0);
    EXPECT_EQ(LocalFree(moved), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

}  // namespace
}  // namespace cedb_test
