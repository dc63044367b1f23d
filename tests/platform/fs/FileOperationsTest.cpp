// Folders, attributes, delete, move and copy by handset path.
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/fs/Directories.h"
#include "platform/fs/FileOperations.h"
#include "tests/platform/fs/FsTestSupport.h"

namespace {

class FileOperationsTest : public fs_test::FsTest {
protected:
    void MakeReadOnly(const std::string& relative) { ASSERT_EQ(chmod(Linux(relative).c_str(), 0444), 0); }
    std::filesystem::file_time_type WriteTime(const std::string& relative) {
        return std::filesystem::last_write_time(Linux(relative));
    }
};

TEST_F(FileOperationsTest, CreatesAndRemovesFolders) {
    EXPECT_TRUE(CreateDirectoryW(u"\\Program Files", nullptr));
    EXPECT_TRUE(CreateDirectoryW(u"\\program files\\Quorvane", nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(Linux("Program Files/Quorvane")));
    EXPECT_FALSE(CreateDirectoryW(u"\\PROGRAM FILES", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectoryW(u"\\", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectoryW(u"\\missing\\sub", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(CreateDirectoryW(u"\\bad|name", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);

    EXPECT_FALSE(RemoveDirectoryW(u"\\Program Files"));
    EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
    WriteLinuxFile("file", "");
    EXPECT_FALSE(RemoveDirectoryW(u"\\file"));
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
    EXPECT_FALSE(RemoveDirectoryW(u"\\missing"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(RemoveDirectoryW(u"\\"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(RemoveDirectoryW(u"\\a\\..\\.."));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(RemoveDirectoryW(u"\\PROGRAM FILES\\QUORVANE"));
    EXPECT_FALSE(LinuxExists("Program Files/Quorvane"));
}

TEST_F(FileOperationsTest, ReportsAttributes) {
    WriteLinuxFile("Folder/file.txt", "x");
    WriteLinuxFile("ro.txt", "x");
    MakeReadOnly("ro.txt");
    EXPECT_EQ(GetFileAttributesW(u"\\"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(u"\\FOLDER"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(u"\\folder\\File.Txt"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesW(u"\\ro.txt"), FILE_ATTRIBUTE_READONLY);
    struct Case {
        LPCWSTR path;
        DWORD error;
    };
    const Case cases[] = {
        {u"\\nothing", ERROR_FILE_NOT_FOUND},
        {u"\\nothing\\deeper", ERROR_PATH_NOT_FOUND},
        {u"\\folder\\file.txt\\deeper", ERROR_PATH_NOT_FOUND},
        {u"\\..", ERROR_PATH_NOT_FOUND},
        {u"\\a*", ERROR_INVALID_NAME},
        {nullptr, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetFileAttributesW(c.path), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(GetLastError(), c.error);
    }
}

TEST_F(FileOperationsTest, DeletesFilesOnly) {
    WriteLinuxFile("Dir/a.txt", "x");
    WriteLinuxFile("ro.txt", "x");
    MakeReadOnly("ro.txt");
    EXPECT_TRUE(DeleteFileW(u"\\dir\\A.TXT"));
    EXPECT_FALSE(LinuxExists("Dir/a.txt"));
    EXPECT_FALSE(DeleteFileW(u"\\dir\\A.TXT"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(DeleteFileW(u"\\Dir"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(DeleteFileW(u"\\ro.txt"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(LinuxExists("ro.txt"));
    EXPECT_FALSE(DeleteFileW(u"\\"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(FileOperationsTest, MovesFilesAndFolders) {
    WriteLinuxFile("Save/slot1.sav", "one");
    WriteLinuxFile("Save/slot2.sav", "two");
    EXPECT_TRUE(MoveFileW(u"\\save\\SLOT1.SAV", u"\\save\\slot3.sav"));
    EXPECT_EQ(ReadLinuxFile("Save/slot3.sav"), "one");
    EXPECT_FALSE(LinuxExists("Save/slot1.sav"));

    // Never over an existing entry.
    EXPECT_FALSE(MoveFileW(u"\\Save\\slot3.sav", u"\\SAVE\\Slot2.sav"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(ReadLinuxFile("Save/slot2.sav"), "two");

    // A change of case only.
    EXPECT_TRUE(MoveFileW(u"\\Save\\slot3.sav", u"\\Save\\SLOT3.SAV"));
    EXPECT_EQ(ReadLinuxFile("Save/SLOT3.SAV"), "one");
    EXPECT_FALSE(LinuxExists("Save/slot3.sav"));
    EXPECT_TRUE(MoveFileW(u"\\Save\\SLOT3.SAV", u"\\Save\\SLOT3.SAV"));

    // Folders move with what they hold.
    EXPECT_TRUE(MoveFileW(u"\\Save", u"\\Saves"));
    EXPECT_EQ(ReadLinuxFile("Saves/slot2.sav"), "two");
    EXPECT_FALSE(MoveFileW(u"\\Saves", u"\\Saves\\inner"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    struct Case {
        LPCWSTR from;
        LPCWSTR to;
        DWORD error;
    };
    const Case cases[] = {
        {u"\\missing", u"\\x", ERROR_FILE_NOT_FOUND},
        {u"\\Saves\\slot2.sav", u"\\missing\\x", ERROR_PATH_NOT_FOUND},
        {u"\\Saves\\slot2.sav", u"\\..\\x", ERROR_PATH_NOT_FOUND},
        {u"\\Saves\\slot2.sav", u"\\x?", ERROR_INVALID_NAME},
        {u"\\", u"\\x", ERROR_ACCESS_DENIED},
        {u"\\Saves\\slot2.sav", u"\\", ERROR_ALREADY_EXISTS},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(MoveFileW(c.from, c.to));
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(ReadLinuxFile("Saves/slot2.sav"), "two");
}

TEST_F(FileOperationsTest, CopiesFilesWithTheirTimeAndAttribute) {
    WriteLinuxFile("a.txt", "alpha");
    WriteLinuxFile("b.txt", "beta");
    std::filesystem::last_write_time(Linux("a.txt"), std::filesystem::file_time_type() + std::chrono::hours(1000));

    EXPECT_FALSE(CopyFileW(u"\\A.TXT", u"\\b.txt", TRUE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(ReadLinuxFile("b.txt"), "beta");
    EXPECT_TRUE(CopyFileW(u"\\A.TXT", u"\\B.TXT", FALSE));
    EXPECT_EQ(ReadLinuxFile("b.txt"), "alpha");
    EXPECT_TRUE(CopyFileW(u"\\a.txt", u"\\c.txt", TRUE));
    EXPECT_EQ(ReadLinuxFile("c.txt"), "alpha");
    EXPECT_EQ(WriteTime("c.txt"), WriteTime("a.txt"));
    // Onto itself the file stays whole.
    EXPECT_TRUE(CopyFileW(u"\\a.txt", u"\\a.txt", FALSE));
    EXPECT_EQ(ReadLinuxFile("a.txt"), "alpha");

    MakeReadOnly("c.txt");
    EXPECT_TRUE(CopyFileW(u"\\c.txt", u"\\d.txt", TRUE));
    EXPECT_EQ(GetFileAttributesW(u"\\d.txt"), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(CopyFileW(u"\\a.txt", u"\\d.txt", FALSE));  // a read-only target stays
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    MakeLinuxFolder("Folder");
    struct Case {
        LPCWSTR from;
        LPCWSTR to;
        BOOL failIfExists;
        DWORD error;
    };
    const Case cases[] = {
        {u"\\missing", u"\\x", FALSE, ERROR_FILE_NOT_FOUND},
        {u"\\Folder", u"\\x", FALSE, ERROR_ACCESS_DENIED},
        {u"\\a.txt", u"\\Folder", FALSE, ERROR_ACCESS_DENIED},
        {u"\\a.txt", u"\\missing\\x", FALSE, ERROR_PATH_NOT_FOUND},
        {u"\\a.txt", u"\\x>", FALSE, ERROR_INVALID_NAME},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(CopyFileW(c.from, c.to, c.failIfExists));
        EXPECT_EQ(GetLastError(), c.error);
    }
    // No temporary file is left behind by the failures.
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Linux("")))
        entries += entry.path().filename().string().rfind(".handset-copy", 0) == 0;
    EXPECT_EQ(entries, 0);
}

}  // namespace
