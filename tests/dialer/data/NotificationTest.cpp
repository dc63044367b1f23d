// Change notifications reach the listener window, call the handler of their type and raise
// the change counter, from this process and from others.
#include "platform/cedb/CeDatabase.h"
#include "platform/user/Window.h"
#include "tests/dialer/data/PimDatabaseFixture.h"

namespace pim_data_test {
namespace {

TEST_F(PimDatabaseTest, EveryNotificationRaisesTheCounterAndReachesItsHandler) {
    RecordingDatabase database;
    ASSERT_TRUE(database.Open(u"pim.vol", u"Contacts Database", true));
    Writer writer;
    CEOID added = writer.Add(u"Dora");
    ASSERT_NE(added, 0u);
    ASSERT_TRUE(writer.Rename(records_[0], u"Clea"));
    ASSERT_TRUE(writer.Remove(records_[1]));
    ASSERT_TRUE(PumpUntil([&] { return database.GetChangeCount() == 4; }));
    EXPECT_EQ(database.created, std::vector<CEOID>{added});
    EXPECT_EQ(database.changed, std::vector<CEOID>{records_[0]});
    EXPECT_EQ(database.deleted, std::vector<CEOID>{records_[1]});

    // A type without a handler still counts as a change.
    CENOTIFICATION other{};
    other.dwSize = sizeof other;
    other.uType = DB_CEOID_DATABASE_DELETED;
    other.oid = 77;
    EXPECT_EQ(SendMessageW(database.m_hWnd, WM_DBNOTIFICATION, 0, reinterpret_cast<LPARAM>(&other)), 0);
    EXPECT_EQ(database.GetChangeCount(), 5u);
    EXPECT_EQ(database.created.size() + database.changed.size() + database.deleted.size(), 3u);
    database.RaiseChangeCount();
    EXPECT_EQ(database.GetChangeCount(), 6u);
}

TEST_F(PimDatabaseTest, ASecondOpenListensOnlyOnce) {
    RecordingDatabase database;
    ASSERT_TRUE(database.Open(u"pim.vol", u"Contacts Database", true));
    ASSERT_TRUE(database.Open(u"pim.vol", u"Contacts Database", true));
    ASSERT_TRUE(database.ReopenSorted(CEPROPID_ITEMID, false));
    Writer writer;
    ASSERT_NE(writer.Add(u"Dora"), 0u);
    ASSERT_TRUE(PumpUntil([&] { return database.GetChangeCount() == 2; }));
    PumpFor(100);
    EXPECT_EQ(database.GetChangeCount(), 2u);
    EXPECT_EQ(database.created.size(), 1u);
}

// Child role: adds one contact to the inherited handset root's "Contacts Database".
TEST(PimDatabaseChild, AddsAContact) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child process only";
    Writer writer;
    ASSERT_NE(writer.Add(u"From elsewhere"), 0u);
}

TEST_F(PimDatabaseTest, ChangesOfOtherProcessesArrive) {
    RecordingDatabase database;
    ASSERT_TRUE(database.Open(u"pim.vol", u"Contacts Database", true));
    ASSERT_EQ(handset_test::RunChild("PimDatabaseChild.AddsAContact"), 0);
    ASSERT_TRUE(PumpUntil([&] { return database.created.size() == 1; }));
    EXPECT_EQ(database.GetChangeCount(), 2u);
    ASSERT_TRUE(database.SeekToOid(database.created[0]));
    DbRecord record;
    CEPROPID ids[] = {kGivenName};
    ASSERT_TRUE(database.ReadCurrent(&record, ids, 1));
    EXPECT_EQ(GetRecordString(record, PROP_ID(kGivenName)), u"From elsewhere");
}

}  // namespace
}  // namespace pim_data_test
