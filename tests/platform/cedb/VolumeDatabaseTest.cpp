// Volumes and databases: mount modes and names, damaged volume files, creating, opening,
// describing and deleting databases.
#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/platform/cedb/CedbFixture.h"

namespace cedb_test {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(VolumeTest, MountModesNamesAndCounts) {
    handset_test::TempHandsetRoot root;
    CEGUID guid{};
    EXPECT_FALSE(CeMountDBVol(&guid, u"pim.vol", OPEN_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(CeMountDBVol(&guid, u"\\pim.vol", CREATE_NEW));
    EXPECT_TRUE(std::filesystem::is_regular_file(root.Path() + "/pim.vol"));
    // The same volume by another spelling is the same mount.
    CEGUID again{};
    ASSERT_TRUE(CeMountDBVol(&again, u"PIM.VOL", OPEN_EXISTING));
    EXPECT_EQ(std::memcmp(&again, &guid, sizeof guid), 0);
    EXPECT_FALSE(CeMountDBVol(&again, u"pim.vol", CREATE_NEW));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_TRUE(CeUnmountDBVol(&guid));
    EXPECT_TRUE(CeUnmountDBVol(&guid));
    EXPECT_FALSE(CeUnmountDBVol(&guid));

    for (const char16_t* bad : {u"", u"\\", u"a\\b.vol", u"..", u"x:y", u"a*"}) {
        EXPECT_FALSE(CeMountDBVol(&guid, bad, OPEN_ALWAYS));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
    }
    for (DWORD mode : {0u, 2u, 5u}) EXPECT_FALSE(CeMountDBVol(&guid, u"pim.vol", mode));  // nothing is truncated
    CEVOLUMEOPTIONS options{};
    EXPECT_FALSE(CeMountDBVolEx(&guid, u"pim.vol", &options, OPEN_EXISTING));
    options.wVersion = CEVOLUMEOPTIONS_VERSION;
    ASSERT_TRUE(CeMountDBVolEx(&guid, u"pim.vol", &options, OPEN_EXISTING));
    EXPECT_TRUE(CeUnmountDBVol(&guid));
}

TEST(VolumeTest, DamagedVolumeFileIsReportedAndLeftAlone) {
    handset_test::TempHandsetRoot root;
    const std::string path = root.Path() + "/pim.vol";
    const std::string garbage(4096, '\x5A');
    std::ofstream(path, std::ios::binary) << garbage;
    CEGUID guid{};
    for (DWORD mode : {OPEN_EXISTING, OPEN_ALWAYS}) {
        EXPECT_FALSE(CeMountDBVol(&guid, u"pim.vol", mode));
        EXPECT_EQ(GetLastError(), ERROR_BADDB);
    }
    EXPECT_EQ(ReadFile(path), garbage);
}

// A volume whose tables differ from a volume's, or whose pages or indexes are damaged, is
// refused when it is mounted: before anything (its journal mode first) is written to it.
TEST(VolumeTest, ForeignTablesAndDisagreeingIndexAreRefusedAtMount) {
    struct Case {
        const char* what;
        const char* sql;
    } cases[] = {
        {"a table missing", "DROP TABLE streams"},
        {"an index made otherwise",
         "PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql = replace(sql, 'db_oid, oid', 'oid, db_oid') "
         "WHERE name = 'records_by_database'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        handset_test::TempHandsetRoot root;
        const std::string path = root.Path() + "/pim.vol";
        CEGUID guid{};
        ASSERT_TRUE(CeMountDBVol(&guid, u"pim.vol", CREATE_NEW));
        ASSERT_TRUE(CeUnmountDBVol(&guid));
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db,
                               "PRAGMA journal_mode=DELETE; INSERT INTO records VALUES(1, 2, x'');"
                               "INSERT INTO records VALUES(3, 1, x'')",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, c.sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
        const std::string contents = ReadFile(path);

        EXPECT_FALSE(CeMountDBVol(&guid, u"pim.vol", OPEN_EXISTING));
        EXPECT_EQ(GetLastError(), ERROR_BADDB);
        EXPECT_EQ(ReadFile(path), contents);
    }
}

class DatabaseTest : public CedbTest {};

TEST_F(DatabaseTest, CreateOpenByNameOrIdAndDescribe) {
    SORTORDERSPECEX byStart = Order(MAKEPROPID(2, CEVT_FILETIME), CEDB_SORT_DESCENDING);
    CEOID oid = CreateDatabase(u"clog.db", {byStart});
    CEOID other = CreateDatabase(u"speed.db");
    EXPECT_NE(oid, other);

    CEOID opened = 0;
    HANDLE db = CeOpenDatabaseEx2(&volume_, &opened, u"CLOG.DB", nullptr, 0, nullptr);
    ASSERT_NE(db, INVALID_HANDLE_VALUE);
    EXPECT_EQ(opened, oid);
    CEOID record = Write(db, 0, {Text(6, u"0123")});
    CloseHandle(db);
    opened = oid;
    db = CeOpenDatabaseEx2(&volume_, &opened, nullptr, &byStart, 0, nullptr);
    ASSERT_NE(db, INVALID_HANDLE_VALUE);

    CEOIDINFOEX info{};
    info.wVersion = CEOIDINFOEX_VERSION;
    ASSERT_TRUE(CeOidGetInfoEx2(&volume_, oid, &info));
    EXPECT_EQ(info.wObjType, OBJTYPE_DATABASE);
    EXPECT_EQ(std::u16string(info.infDatabase.szDbaseName), u"clog.db");
    EXPECT_EQ(info.infDatabase.dwDbaseType, 7u);
    EXPECT_EQ(info.infDatabase.dwNumRecords, 1u);
    EXPECT_GT(info.infDatabase.dwSize, 0u);
    ASSERT_EQ(info.infDatabase.wNumSortOrder, 1);
    EXPECT_EQ(info.infDatabase.rgSortSpecs[0].rgPropID[0], byStart.rgPropID[0]);
    EXPECT_EQ(info.infDatabase.rgSortSpecs[0].rgdwFlags[0], CEDB_SORT_DESCENDING);
    EXPECT_NE(info.infDatabase.ftLastModified.dwHighDateTime, 0u);
    ASSERT_TRUE(CeOidGetInfoEx2(&volume_, record, &info));
    EXPECT_EQ(info.wObjType, OBJTYPE_RECORD);
    EXPECT_EQ(info.infRecord.oidParent, oid);
    EXPECT_FALSE(CeOidGetInfoEx2(&volume_, 0x1234, &info));

    CEDBASEINFOEX byHandle{};
    byHandle.wVersion = CEDBASEINFOEX_VERSION;
    ASSERT_TRUE(CeGetDatabaseInfoEx2(db, &byHandle));
    EXPECT_EQ(std::u16string(byHandle.szDbaseName), u"clog.db");
    CloseHandle(db);
}

TEST_F(DatabaseTest, RefusedCreationsAndOpens) {
    CreateDatabase(u"speed.db");
    auto create = [&](auto change) {
        CEDBASEINFOEX info{};
        info.wVersion = CEDBASEINFOEX_VERSION;
        info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
        std::u16string(u"new.db").copy(info.szDbaseName, 6);
        info.wNumSortOrder = 1;
        info.rgSortSpecs[0] = Order(MAKEPROPID(2, CEVT_I2));
        change(info);
        return CeCreateDatabaseEx2(&volume_, &info);
    };
    EXPECT_EQ(create([](CEDBASEINFOEX& i) { std::u16string(u"SPEED.db").copy(i.szDbaseName, 8); }), 0u);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(create([](CEDBASEINFOEX& i) { i.szDbaseName[0] = 0; }), 0u);
    EXPECT_EQ(create([](CEDBASEINFOEX& i) { std::fill(std::begin(i.szDbaseName), std::end(i.szDbaseName), u'n'); }),
              0u);
    EXPECT_EQ(create([](CEDBASEINFOEX& i) { i.wVersion = 1; }), 0u);
    EXPECT_EQ(create([](CEDBASEINFOEX& i) { i.dwFlags = CEDB_VALIDTYPE; }), 0u);
    EXPECT_EQ(create([](CEDBASEINFOEX& i) { i.wNumSortOrder = CEDB_MAXSORTORDER + 1; }), 0u);
    EXPECT_EQ(create([](CEDBASEINFOEX& i) { i.rgSortSpecs[0].rgPropID[0] = MAKEPROPID(0xFF, CEVT_STREAM); }), 0u);
    EXPECT_EQ(create([](CEDBASEINFOEX& i) { i.rgSortSpecs[0].rgdwFlags[0] = 0x100; }), 0u);
    EXPECT_EQ(create([](CEDBASEINFOEX& i) { i.rgSortSpecs[0].wNumProps = 4; }), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_NE(create([](CEDBASEINFOEX&) {}), 0u);

    CEOID oid = 0;
    EXPECT_EQ(CeOpenDatabaseEx2(&volume_, &oid, u"missing.db", nullptr, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    SORTORDERSPECEX notDefined = Order(MAKEPROPID(3, CEVT_I2));
    EXPECT_EQ(CeOpenDatabaseEx2(&volume_, &oid, u"new.db", &notDefined, 0, nullptr), INVALID_HANDLE_VALUE);
    CENOTIFYREQUEST request = Request(nullptr);
    EXPECT_EQ(CeOpenDatabaseEx2(&volume_, &oid, u"new.db", nullptr, 0, &request), INVALID_HANDLE_VALUE);
    request = Request(FakeWindow(1));
    request.dwFlags = 0;
    EXPECT_EQ(CeOpenDatabaseEx2(&volume_, &oid, u"new.db", nullptr, 0, &request), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeOpenDatabaseEx2(&volume_, &oid, u"new.db", nullptr, 0x80, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeOpenDatabaseInSession(FakeWindow(1), &volume_, &oid, u"new.db", nullptr, 0, nullptr),
              INVALID_HANDLE_VALUE);
    CEGUID unknown{0x7777, 0, 0, 0};
    EXPECT_EQ(CeOpenDatabaseEx2(&unknown, &oid, u"new.db", nullptr, 0, nullptr), INVALID_HANDLE_VALUE);
    // The handset's 20-byte request size is taken as well as this build's.
    request = Request(FakeWindow(1));
    request.dwSize = 20;
    HANDLE db = CeOpenDatabaseEx2(&volume_, &oid, u"new.db", nullptr, 0, &request);
    EXPECT_NE(db, INVALID_HANDLE_VALUE);
    CloseHandle(db);
}

TEST_F(DatabaseTest, DeleteWaitsForHandlesAndTakesRecordsAlong) {
    CEOID oid = CreateDatabase(u"speed.db");
    HANDLE db = Open(u"speed.db");
    CEOID record = Write(db, 0, {Int(4, 1)});
    EXPECT_FALSE(CeDeleteDatabaseEx(&volume_, oid));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    CloseHandle(db);
    ASSERT_TRUE(CeDeleteDatabaseEx(&volume_, oid));
    CEOIDINFOEX info{};
    info.wVersion = CEOIDINFOEX_VERSION;
    EXPECT_FALSE(CeOidGetInfoEx2(&volume_, oid, &info));
    EXPECT_FALSE(CeOidGetInfoEx2(&volume_, record, &info));
    EXPECT_FALSE(CeDeleteDatabaseEx(&volume_, oid));
    // The name is free again.
    EXPECT_NE(CreateDatabase(u"speed.db"), 0u);
}

TEST_F(DatabaseTest, HandlesOutliveTheirMountAndReopeningWorks) {
    // A store opening again closes its handle and unmounts before mounting anew.
    CreateDatabase(u"clog.db");
    CEGUID second{};
    ASSERT_TRUE(CeMountDBVolEx(&second, u"pim.vol", nullptr, OPEN_EXISTING));
    HANDLE db = Open(u"clog.db");
    ASSERT_TRUE(CeUnmountDBVol(&second));
    ASSERT_TRUE(CeUnmountDBVol(&volume_));
    // Without a mount the volume id is gone, but the open handle still works.
    CEOID oid = 0;
    EXPECT_EQ(CeOpenDatabaseEx2(&volume_, &oid, u"clog.db", nullptr, 0, nullptr), INVALID_HANDLE_VALUE);
    CEOID record = Write(db, 0, {Int(4, 5)});
    EXPECT_EQ(ReadCurrent(db).oid, record);
    EXPECT_TRUE(CloseHandle(db));
    EXPECT_FALSE(CloseHandle(db));
    ASSERT_TRUE(CeMountDBVolEx(&volume_, u"pim.vol", nullptr, OPEN_EXISTING));
    db = Open(u"clog.db");
    EXPECT_EQ(ReadCurrent(db).oid, record);
    CloseHandle(db);
}

}  // namespace
}  // namespace cedb_test
