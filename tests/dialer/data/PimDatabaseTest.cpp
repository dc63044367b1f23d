// Opening, sorting, seeking and reading a PIM database through CPimDatabase.
#include "platform/base/Errors.h"
#include "platform/base/LocalMemory.h"
#include "platform/base/WideString.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/user/Window.h"
#include "tests/dialer/data/PimDatabaseFixture.h"

namespace pim_data_test {
namespace {

std::u16string GivenNameOfCurrent(CPimDatabase& database) {
    DbRecord record;
    CEPROPID ids[] = {kGivenName};
    if (!database.ReadCurrent(&record, ids, 1)) return u"<unread>";
    return GetRecordString(record, PROP_ID(kGivenName), u"<none>");
}

TEST_F(PimDatabaseTest, OpensSortsAndSeeks) {
    CPimDatabase database;
    EXPECT_EQ(database.GetChangeCount(), 1u);
    EXPECT_FALSE(database.IsOpen());
    ASSERT_TRUE(database.Open(u"pim.vol", u"Contacts Database", true));
    ASSERT_TRUE(database.IsWindow());
    WCHAR className[32] = {};
    GetClassNameW(database.m_hWnd, className, 32);
    EXPECT_EQ(std::u16string(className), u"OrmFerrow_DbListener");

    // Unsorted: the order of creation.
    ASSERT_TRUE(database.SeekFromStart(0));
    EXPECT_EQ(database.GetCurrentOid(), records_[0]);

    ASSERT_TRUE(database.ReopenSorted(CEPROPID_ITEMID, true));
    ASSERT_TRUE(database.SeekFromStart(0));
    EXPECT_EQ(GivenNameOfCurrent(database), u"Berit");
    ASSERT_TRUE(database.SeekNext(1));
    EXPECT_EQ(GivenNameOfCurrent(database), u"Anna");
    ASSERT_TRUE(database.SeekNext(-1));
    EXPECT_EQ(database.GetCurrentOid(), records_[2]);

    ASSERT_TRUE(database.ReopenSorted(CEPROPID_ITEMID, false));
    ASSERT_TRUE(database.SeekByItemId(2));
    EXPECT_EQ(database.GetCurrentOid(), records_[1]);
    EXPECT_FALSE(database.SeekByItemId(9));
    EXPECT_EQ(database.GetCurrentOid(), 0u);  // no record reached
    ASSERT_TRUE(database.SeekToOid(records_[2]));
    EXPECT_EQ(GivenNameOfCurrent(database), u"Berit");
    EXPECT_FALSE(database.SeekNext(1));
    EXPECT_FALSE(database.SeekFromStart(3));

    ASSERT_TRUE(database.ReopenSorted(kGivenName, false));
    ASSERT_TRUE(database.SeekFromStart(0));
    EXPECT_EQ(GivenNameOfCurrent(database), u"Anna");
    // No sort order on the family name, and none descending on the given name.
    EXPECT_FALSE(database.ReopenSorted(kFamilyName, false));
    EXPECT_FALSE(database.ReopenSorted(kGivenName, true));
    EXPECT_TRUE(database.IsOpen());

    CEOIDINFOEX info{};
    ASSERT_TRUE(database.GetDatabaseInfo(info));
    EXPECT_EQ(info.infDatabase.dwNumRecords, 3u);

    HWND listener = database.m_hWnd;
    database.Close();
    EXPECT_FALSE(database.IsOpen());
    EXPECT_FALSE(IsWindow(listener));
    EXPECT_FALSE(database.SeekFromStart(0));
}

TEST_F(PimDatabaseTest, AFailedOpenLeavesNothingBehind) {
    CPimDatabase database;
    EXPECT_FALSE(database.Open(u"other.vol", u"Contacts Database", true));  // no such volume
    EXPECT_FALSE(database.IsWindow());
    EXPECT_FALSE(database.Open(u"pim.vol", u"speed.db", true));  // no such database
    EXPECT_FALSE(database.IsWindow());
    EXPECT_FALSE(database.IsOpen());
    CEGUID volume = database.GetVolume();
    EXPECT_FALSE(CeUnmountDBVol(&volume));  // the volume was unmounted again

    // Without the session functions the database opens, but cannot be reopened sorted.
    ASSERT_TRUE(database.Open(u"pim.vol", u"Contacts Database", false));
    EXPECT_FALSE(database.ReopenSorted(CEPROPID_ITEMID, false));
}

TEST_F(PimDatabaseTest, OpeningAgainClosesTheFirstDatabaseAndVolume) {
    CPimDatabase database;
    ASSERT_TRUE(database.Open(u"pim.vol", u"Contacts Database", true));
    HWND listener = database.m_hWnd;
    ASSERT_TRUE(database.Open(u"pim.vol", u"Contacts Database", true));
    EXPECT_EQ(database.m_hWnd, listener);  // one listener window
    CEGUID volume = database.GetVolume();
    database.Close();
    // Had the first mount been left, the volume would still be mounted once.
    EXPECT_FALSE(CeUnmountDBVol(&volume));
}

TEST_F(PimDatabaseTest, ReadsTypedPropertiesAndFreesOldBuffers) {
    CPimDatabase database;
    ASSERT_TRUE(database.Open(u"pim.vol", u"Contacts Database", true));
    ASSERT_TRUE(database.SeekToOid(records_[1]));
    DbRecord record;
    CEPROPID ids[] = {CEPROPID_ITEMID, kGivenName, kFamilyName, kBirthday, kNote};
    ASSERT_TRUE(database.ReadCurrent(&record, ids, 5));
    EXPECT_EQ(record.oid, records_[1]);
    EXPECT_EQ(record.count, 5u);
    EXPECT_EQ(GetRecordString(record, PROP_ID(kGivenName)), u"Anna");
    EXPECT_EQ(GetRecordString(record, PROP_ID(kFamilyName), u"none"), u"none");  // flagged not found
    EXPECT_EQ(FindRecordProp(record, PROP_ID(kFamilyName), CEVT_LPWSTR), nullptr);
    const CEVALUNION* itemId = FindRecordProp(record, 0x1000, CEVT_AUTO_I4);
    ASSERT_NE(itemId, nullptr);
    EXPECT_EQ(itemId->ulVal, 2u);
    EXPECT_EQ(GetRecordFileTime(record, PROP_ID(kBirthday)).dwHighDateTime, 0x01C00000u);
    CEBLOB note = GetRecordBlob(record, PROP_ID(kNote));
    ASSERT_EQ(note.dwCount, 3u);
    EXPECT_EQ(note.lpb[2], 3);

    // A second read into the same record replaces the buffer; a failed one (the database is
    // closed) frees it and leaves the record empty. The sanitizer reports a lost buffer.
    ASSERT_TRUE(database.ReadCurrent(&record, ids, 2));
    EXPECT_EQ(record.count, 2u);
    database.Close();
    EXPECT_FALSE(database.ReadCurrent(&record, ids, 2));
    EXPECT_EQ(record.props, nullptr);
    EXPECT_EQ(record.count, 0u);
    EXPECT_EQ(record.oid, 0u);
    EXPECT_FALSE(database.ReadCurrent(nullptr, ids, 2));
}

TEST_F(PimDatabaseTest, DeletesOneProperty) {
    CPimDatabase database;
    ASSERT_TRUE(database.Open(u"pim.vol", u"Contacts Database", true));
    ASSERT_TRUE(database.DeleteRecordProperty(records_[0], kBirthday));
    ASSERT_TRUE(database.SeekToOid(records_[0]));
    DbRecord record;
    CEPROPID ids[] = {kGivenName, kBirthday};
    ASSERT_TRUE(database.ReadCurrent(&record, ids, 2));
    EXPECT_EQ(GetRecordString(record, PROP_ID(kGivenName)), u"Cleo");
    FILETIME none = GetRecordFileTime(record, PROP_ID(kBirthday));
    EXPECT_EQ(none.dwLowDateTime | none.dwHighDateTime, 0u);
    EXPECT_FALSE(database.DeleteRecordProperty(0x7777, kBirthday));
}

}  // namespace
}  // namespace pim_data_test
