// Change notifications: every change reaches every other listening handle once, in this
// process and from other processes through the volume's journal; notifications are freed
// exactly once.
#include <cstring>
#include <set>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/cedb/DbNotifications.h"
#include "tests/platform/cedb/CedbFixture.h"

namespace cedb_test {
namespace {

constexpr CEPROPID kPicture = MAKEPROPID(0xFF, CEVT_STREAM);

class NotificationTest : public CedbTest {
protected:
    std::vector<PostedNotification> PostedTo(HWND window) {
        std::vector<PostedNotification> found;
        for (const PostedNotification& posted : Posted())
            if (posted.window == window) found.push_back(posted);
        return found;
    }
};

TEST_F(NotificationTest, EveryChangeReachesEveryOtherListenerOnce) {
    CEOID database = CreateDatabase(u"Contacts Database");
    CreateDatabase(u"clog.db");
    CENOTIFYREQUEST first = Request(FakeWindow(1), 11);
    CENOTIFYREQUEST second = Request(FakeWindow(2), 22);
    CENOTIFYREQUEST own = Request(FakeWindow(3), 33);
    CENOTIFYREQUEST elsewhere = Request(FakeWindow(4), 44);
    HANDLE listener1 = Open(u"Contacts Database", nullptr, &first);
    HANDLE listener2 = Open(u"Contacts Database", nullptr, &second);
    HANDLE writer = Open(u"Contacts Database", nullptr, &own);
    HANDLE otherDatabase = Open(u"clog.db", nullptr, &elsewhere);
    EXPECT_TRUE(platform::cedb::IsListening());

    CEOID oid = Write(writer, 0, {Text(0x82, u"Anna")});
    Write(writer, oid, {Text(0x84, u"Berg")});
    CEPROPVAL remove = Delete(MAKEPROPID(0x84, CEVT_LPWSTR));
    Write(writer, oid, {remove});
    ASSERT_EQ(CeSeekDatabaseEx(writer, CEDB_SEEK_CEOID, oid, 0, nullptr), oid);
    HANDLE stream = CeOpenStream(writer, kPicture, GENERIC_WRITE);
    ASSERT_TRUE(CeStreamSaveChanges(stream));
    CloseHandle(stream);
    ASSERT_TRUE(CeDeleteRecord(writer, oid));
    EXPECT_TRUE(Posted().empty());  // nothing arrives before the message loop polls

    EXPECT_EQ(platform::cedb::PollChanges(), 10);
    const std::vector<UINT> expected = {DB_CEOID_CREATED, DB_CEOID_CHANGED, DB_CEOID_CHANGED, DB_CEOID_CHANGED,
                                        DB_CEOID_RECORD_DELETED};
    for (const CENOTIFYREQUEST* request : {&first, &second}) {
        std::vector<PostedNotification> posted = PostedTo(request->hwnd);
        ASSERT_EQ(posted.size(), expected.size());
        for (std::size_t i = 0; i < posted.size(); ++i) {
            const CENOTIFICATION& n = *posted[i].notification;
            EXPECT_EQ(posted[i].message, WM_DBNOTIFICATION);
            EXPECT_EQ(n.dwSize, sizeof(CENOTIFICATION));
            EXPECT_EQ(n.uType, expected[i]);
            EXPECT_EQ(n.oid, oid);
            EXPECT_EQ(n.oidParent, database);
            EXPECT_EQ(n.dwParam, request->dwParam);
            EXPECT_EQ(std::memcmp(&n.guid, &volume_, sizeof volume_), 0);
        }
    }
    EXPECT_TRUE(PostedTo(own.hwnd).empty());        // the handle that made the changes
    EXPECT_TRUE(PostedTo(elsewhere.hwnd).empty());  // another database
    EXPECT_EQ(platform::cedb::PollChanges(), 0);

    for (HANDLE handle : {listener1, listener2, writer, otherDatabase}) CloseHandle(handle);
    EXPECT_FALSE(platform::cedb::IsListening());
}

TEST_F(NotificationTest, NotificationsAreFreedExactlyOnce) {
    CreateDatabase(u"clog.db");
    CENOTIFYREQUEST request = Request(FakeWindow(1));
    HANDLE listener = Open(u"clog.db", nullptr, &request);
    HANDLE writer = Open(u"clog.db");
    Write(writer, 0, {Int(4, 1)});
    ASSERT_EQ(platform::cedb::PollChanges(), 1);
    CENOTIFICATION* notification = Posted()[0].notification;
    Posted().clear();
    EXPECT_TRUE(CeFreeNotification(&request, notification));
    EXPECT_FALSE(CeFreeNotification(&request, notification));
    CENOTIFICATION foreign{};
    EXPECT_FALSE(CeFreeNotification(&request, &foreign));
    EXPECT_FALSE(CeFreeNotification(&request, nullptr));

    // A window that cannot take the message: the notification is taken back at once.
    platform::cedb::SetNotificationPoster([](HWND, UINT, WPARAM, LPARAM) -> BOOL { return FALSE; });
    Write(writer, 0, {Int(4, 2)});
    EXPECT_EQ(platform::cedb::PollChanges(), 0);
    CloseHandle(listener);
    CloseHandle(writer);
}

TEST_F(NotificationTest, ReopeningStopsTheOldListenerAndStartsTheNew) {
    CreateDatabase(u"speed.db");
    HANDLE writer = Open(u"speed.db");
    CENOTIFYREQUEST old = Request(FakeWindow(1));
    HANDLE first = Open(u"speed.db", nullptr, &old);
    // As a store opens again: close the handle and its mount, mount, open.
    CloseHandle(first);
    ASSERT_TRUE(CeUnmountDBVol(&volume_));
    ASSERT_TRUE(CeMountDBVolEx(&volume_, u"pim.vol", nullptr, OPEN_EXISTING));
    CENOTIFYREQUEST current = Request(FakeWindow(2));
    HANDLE second = Open(u"speed.db", nullptr, &current);
    CEOID oid = Write(writer, 0, {Int(2, 5)});
    EXPECT_EQ(platform::cedb::PollChanges(), 1);
    ASSERT_EQ(PostedTo(current.hwnd).size(), 1u);
    EXPECT_EQ(PostedTo(current.hwnd)[0].notification->oid, oid);
    EXPECT_EQ(std::memcmp(&PostedTo(current.hwnd)[0].notification->guid, &volume_, sizeof volume_), 0);
    EXPECT_TRUE(PostedTo(old.hwnd).empty());
    CloseHandle(second);
    CloseHandle(writer);
}

// Child role: writes `count` records into "clog.db" of the inherited handset root.
TEST(CedbJournalChild, WritesRecords) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child process only";
    CEGUID volume{};
    ASSERT_TRUE(CeMountDBVolEx(&volume, u"pim.vol", nullptr, OPEN_EXISTING));
    CEOID oid = 0;
    HANDLE db = CeOpenDatabaseInSession(nullptr, &volume, &oid, u"clog.db", nullptr, 0, nullptr);
    ASSERT_NE(db, INVALID_HANDLE_VALUE);
    std::u16string tag = platform::Utf8ToUtf16(handset_test::ChildArgument("tag"));
    int count = std::stoi(handset_test::ChildArgument("count"));
    for (int i = 0; i < count; ++i) {
        CEPROPVAL values[] = {Text(7, tag.c_str()), Int(4, i)};
        ASSERT_NE(CeWriteRecordProps(db, 0, 2, values), 0u) << GetLastError();
    }
    CloseHandle(db);
    CeUnmountDBVol(&volume);
}

TEST_F(NotificationTest, ChangesOfOtherProcessesArriveThroughTheJournal) {
    CreateDatabase(u"clog.db");
    CENOTIFYREQUEST request = Request(FakeWindow(1));
    HANDLE listener = Open(u"clog.db", nullptr, &request);
    constexpr int kPerChild = 40;
    int a = handset_test::StartChild("CedbJournalChild.WritesRecords",
                                     {{"tag", "a"}, {"count", std::to_string(kPerChild)}});
    int b = handset_test::StartChild("CedbJournalChild.WritesRecords",
                                     {{"tag", "b"}, {"count", std::to_string(kPerChild)}});
    platform::cedb::PollChanges();  // polling while they write loses nothing either
    EXPECT_EQ(handset_test::WaitChild(a), 0);
    EXPECT_EQ(handset_test::WaitChild(b), 0);
    platform::cedb::PollChanges();

    std::set<CEOID> created;
    for (const PostedNotification& posted : Posted()) {
        EXPECT_EQ(posted.notification->uType, DB_CEOID_CREATED);
        created.insert(posted.notification->oid);
    }
    ASSERT_EQ(Posted().size(), 2u * kPerChild);
    EXPECT_EQ(created.size(), 2u * kPerChild);
    // The notified records are the children's.
    CEOID last = *created.rbegin();
    ASSERT_EQ(CeSeekDatabaseEx(listener, CEDB_SEEK_CEOID, last, 0, nullptr), last);
    ReadBack back = ReadCurrent(listener);
    const CEPROPVAL* tag = back.Find(MAKEPROPID(7, CEVT_LPWSTR));
    ASSERT_NE(tag, nullptr);
    std::u16string text = back.texts[tag - back.values.data()];
    EXPECT_TRUE(text == u"a" || text == u"b");
    CloseHandle(listener);
}

}  // namespace
}  // namespace cedb_test
