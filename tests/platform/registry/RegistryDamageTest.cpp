// A damaged registry.db: every call reports it (an error code, and a message on stderr that
// names the file) and the file is left exactly as it was, never recreated. A read-only one
// is read, and refuses every change.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/base/HandsetRoot.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryTesting.h"
#include "tests/platform/registry/RegistryTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(RegistryDamage, DamagedFileIsReportedAndLeftUntouched) {
    struct Case {
        const char* what;
        std::string contents;
    } cases[] = {
        {"text", std::string(3000, 'x') + "\nnot a database\n"},
        {"a database header over garbage", std::string("SQLite format 3\0", 16) + std::string(8192, '\xee')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        handset_test::TempHandsetRoot root;
        const std::string path = root.Path() + "/registry.db";
        {
            std::ofstream out(path, std::ios::binary);
            out << c.contents;
        }
        testing::internal::CaptureStderr();
        HKEY key = nullptr;
        const LONG created = RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, nullptr, 0, 0, nullptr, &key, nullptr);
        DWORD size = 0;
        const LONG queried = RegQueryValueExW(HKEY_CURRENT_USER, u"X", nullptr, nullptr, nullptr, &size);
        const std::string messages = testing::internal::GetCapturedStderr();

        EXPECT_TRUE(created == ERROR_BADDB || created == ERROR_REGISTRY_CORRUPT) << created;
        EXPECT_EQ(queried, created);
        EXPECT_EQ(key, nullptr);
        EXPECT_NE(messages.find(path), std::string::npos) << messages;
        EXPECT_EQ(ReadFile(path), c.contents);
        EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
        EXPECT_EQ(platform::registry::ChangeCounter(HKEY_LOCAL_MACHINE, u"Software"), 0u);
    }
}

// A registry.db that cannot be opened at all fails every call alike: the log says so once,
// not once per call.
TEST(RegistryDamage, UnopenableFileIsReportedOnce) {
    handset_test::TempHandsetRoot root;
    const std::string path = root.Path() + "/registry.db";
    std::filesystem::create_directory(path);
    testing::internal::CaptureStderr();
    for (int call = 0; call < 5; ++call) {
        DWORD size = 0;
        EXPECT_NE(RegQueryValueExW(HKEY_CURRENT_USER, u"X", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    }
    const std::string messages = testing::internal::GetCapturedStderr();
    const std::size_t first = messages.find(path);
    ASSERT_NE(first, std::string::npos) << messages;
    EXPECT_EQ(messages.find(path, first + 1), std::string::npos) << messages;
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(RegistryDamage, DamagedPagesAreReportedAsCorrupt) {
    handset_test::TempHandsetRoot damaged;
    const std::string path = damaged.Path() + "/registry.db";
    HKEY key = registry_test::CreateKey(HKEY_LOCAL_MACHINE, u"Software\\Halvorn");
    ASSERT_EQ(registry_test::SetDword(key, u"Kept", 1), ERROR_SUCCESS);
    RegCloseKey(key);
    {
        // Moving this process to another root closes registry.db, which folds its log in.
        handset_test::TempHandsetRoot other;
        RegCloseKey(registry_test::CreateKey(HKEY_LOCAL_MACHINE, u"Elsewhere"));
    }
    ASSERT_FALSE(std::filesystem::exists(path + "-wal"));
    std::string contents = ReadFile(path);
    const std::size_t pageSize =
        (static_cast<unsigned char>(contents[16]) << 8) | static_cast<unsigned char>(contents[17]);
    ASSERT_GT(contents.size(), pageSize);
    // Every page but the first (the header and the list of tables) becomes garbage.
    contents.replace(pageSize, contents.size() - pageSize, contents.size() - pageSize, '\xee');
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << contents;
    }
    platform::SetHandsetRoot(damaged.Path());

    testing::internal::CaptureStderr();
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Halvorn", 0, 0, &opened);
    const LONG written = registry_test::SetDword(HKEY_LOCAL_MACHINE, u"New", 1);
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(written, ERROR_REGISTRY_CORRUPT);
    EXPECT_NE(messages.find(path + " is corrupt"), std::string::npos) << messages;
    EXPECT_EQ(ReadFile(path), contents);
}

// A registry whose tables are not those the registry makes, or whose header SQLite cannot
// read, is damage too: found when the file is opened, before any call writes to it.
TEST(RegistryDamage, ForeignTablesAndUnreadableHeaderAreDamage) {
    struct Case {
        const char* what;
        const char* sql;
        std::size_t headerByte;  // changed to 0xFF when not 0
    } cases[] = {
        {"a table missing", "DROP TABLE changes", 0},
        {"a table of another shape", "DROP TABLE changes; CREATE TABLE changes(hive, path, counter)", 0},
        {"an unknown schema format", nullptr, 47},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        handset_test::TempHandsetRoot root;
        const std::string path = root.Path() + "/registry.db";
        RegCloseKey(registry_test::CreateKey(HKEY_LOCAL_MACHINE, u"Software"));
        platform::registry::testing::CloseRegistry();
        if (c.sql) {
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
            EXPECT_EQ(sqlite3_exec(db, c.sql, nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        std::string contents = ReadFile(path);
        if (c.headerByte) contents[c.headerByte] = '\xff';
        std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;

        testing::internal::CaptureStderr();
        const LONG written = registry_test::SetDword(HKEY_LOCAL_MACHINE, u"New", 1);
        const std::string messages = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(written == ERROR_BADDB || written == ERROR_REGISTRY_CORRUPT) << written;
        EXPECT_NE(messages.find(path), std::string::npos) << messages;
        platform::registry::testing::CloseRegistry();
        EXPECT_EQ(ReadFile(path), contents);
    }
}

TEST(RegistryReadOnly, IsReadAndRefusesChangesWithAccessDenied) {
    using registry_test::GetDword;
    using registry_test::SetDword;
    handset_test::TempHandsetRoot readOnly;
    const std::string path = readOnly.Path() + "/registry.db";
    HKEY key = registry_test::CreateKey(HKEY_LOCAL_MACHINE, u"Software\\Kept");
    ASSERT_EQ(SetDword(key, u"Value", 7), ERROR_SUCCESS);
    RegCloseKey(key);
    const ULONGLONG counter = platform::registry::ChangeCounter(HKEY_LOCAL_MACHINE, u"Software\\Kept");
    {
        // Moving this process to another root closes registry.db, which folds its log in.
        handset_test::TempHandsetRoot other;
        RegCloseKey(registry_test::CreateKey(HKEY_LOCAL_MACHINE, u"Elsewhere"));
    }
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const std::string contents = ReadFile(path);
    platform::SetHandsetRoot(readOnly.Path());

    testing::internal::CaptureStderr();
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Kept", 0, 0, &key), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(key, u"value"), 7u);
    WCHAR name[16];
    DWORD nameChars = 16;
    EXPECT_EQ(RegEnumValueW(key, 0, name, &nameChars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(platform::registry::ChangeCounter(HKEY_LOCAL_MACHINE, u"Software\\Kept"), counter);
    // Opening an existing key through RegCreateKeyExW changes nothing, so it works.
    HKEY again = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Kept", 0, nullptr, 0, 0, nullptr, &again, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD{REG_OPENED_EXISTING_KEY});
    RegCloseKey(again);

    HKEY created = nullptr;
    EXPECT_EQ(SetDword(key, u"Value", 8), ERROR_ACCESS_DENIED);
    EXPECT_EQ(SetDword(key, u"New", 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueW(key, u"Value"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyExW(key, u"Sub", 0, nullptr, 0, 0, nullptr, &created, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(created, nullptr);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\Kept"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegFlushKey(key), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(key, u"Value"), 7u);
    RegCloseKey(key);
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(messages, "");
    EXPECT_EQ(ReadFile(path), contents);
}

}  // namespace
