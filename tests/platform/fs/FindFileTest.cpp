// Find-file: the pattern rule, the order and content of the records, and the errors.
#include <string>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/fs/FindFile.h"
#include "tests/platform/fs/FsTestSupport.h"

namespace {

class FindFileTest : public fs_test::FsTest {
protected:
    // Every name that FindFirstFileW / FindNextFileW give for `pattern`, in order.
    std::vector<std::u16string> Find(LPCWSTR pattern) {
        std::vector<std::u16string> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(pattern, &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do names.push_back(data.cFileName);
        while (FindNextFileW(find, &data));
        EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
        EXPECT_TRUE(FindClose(find));
        return names;
    }
};

TEST(FindPattern, MatchesWithoutCase) {
    struct Case {
        std::u16string pattern;
        std::u16string name;
        bool matches;
    };
    const Case cases[] = {
        {u"*", u"anything.txt", true},
        {u"*.*", u"README", true},  // "*.*" is every name, with or without a dot
        {u"*.*", u"a.b", true},
        {u"*.par", u"Arch01.PAR", true},
        {u"*.par", u"arch01.pa", false},
        {u"*.par", u"x.par.bak", false},
        {u"arch?.par", u"arch1.par", true},
        {u"arch?.par", u"arch.par", false},
        {u"arch?.par", u"arch12.par", false},
        {u"a*b*c", u"aXXbYYc", true},
        {u"a*b*c", u"aXXcYYb", false},
        {u"*a*a*a*a*a*b", u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
        {u"save.*", u"save", true},  // a final ".*" also matches no extension
        {u"save.*", u"saved", false},
        {u"\u00c4*", u"\u00e4rger", true},
        {u"exact.txt", u"EXACT.TXT", true},
        {u"", u"a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::MatchesFindPattern(c.pattern, c.name), c.matches)
            << std::string(c.pattern.begin(), c.pattern.end()) << " / " << std::string(c.name.begin(), c.name.end());
}

TEST_F(FindFileTest, ListsMatchingEntriesInNameOrder) {
    WriteLinuxFile("Data/b.par", "12345");
    WriteLinuxFile("Data/A.par", "");
    WriteLinuxFile("Data/c.txt", "");
    WriteLinuxFile("Data/DLC1.par", "");
    MakeLinuxFolder("Data/sub.par");
    EXPECT_EQ(Find(u"\\data\\*.PAR"),
              (std::vector<std::u16string>{u"A.par", u"b.par", u"DLC1.par", u"sub.par"}));
    EXPECT_EQ(Find(u"/DATA/*"),
              (std::vector<std::u16string>{u"A.par", u"b.par", u"c.txt", u"DLC1.par", u"sub.par"}));
    EXPECT_EQ(Find(u"\\Data\\C.TXT"), (std::vector<std::u16string>{u"c.txt"}));
    EXPECT_EQ(Find(u"\\*"), (std::vector<std::u16string>{u"Data"}));
}

TEST_F(FindFileTest, FillsTheRecord) {
    WriteLinuxFile("Data/b.par", "12345");
    MakeLinuxFolder("Data/sub");
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(u"\\Data\\*", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(data.cFileName), u"b.par");
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
    ASSERT_TRUE(FindNextFileW(find, &data));
    EXPECT_EQ(std::u16string(data.cFileName), u"sub");
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(data.nFileSizeLow, 0u);
    EXPECT_FALSE(FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_FALSE(FindNextFileW(find, &data));  // and stays at the end
    EXPECT_TRUE(FindClose(find));
}

TEST_F(FindFileTest, LeavesOutNamesTheHandsetCannotUse) {
    WriteLinuxFile("d/good.txt", "");
    WriteLinuxFile("d/bad\xff.txt", "");
    WriteLinuxFile("d/a:b.txt", "");
    WriteLinuxFile("d/a\\b.txt", "");
    EXPECT_EQ(Find(u"\\d\\*"), (std::vector<std::u16string>{u"good.txt"}));
}

TEST_F(FindFileTest, ReportsErrors) {
    MakeLinuxFolder("Empty");
    WriteLinuxFile("file", "");
    struct Case {
        LPCWSTR pattern;
        DWORD error;
    };
    const Case cases[] = {
        {u"\\Empty\\*", ERROR_FILE_NOT_FOUND},
        {u"\\*.none", ERROR_FILE_NOT_FOUND},
        {u"\\", ERROR_FILE_NOT_FOUND},
        {u"\\Empty\\..", ERROR_FILE_NOT_FOUND},
        {u"\\Missing\\*", ERROR_PATH_NOT_FOUND},
        {u"\\file\\*", ERROR_PATH_NOT_FOUND},
        {u"\\..\\*", ERROR_PATH_NOT_FOUND},
        {u"\\a*\\*", ERROR_INVALID_NAME},
        {u"\\a|b*", ERROR_INVALID_NAME},
        {u"", ERROR_PATH_NOT_FOUND},
    };
    WIN32_FIND_DATAW data;
    for (const auto& c : cases) {
        EXPECT_EQ(FindFirstFileW(c.pattern, &data), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error) << std::string(c.pattern, c.pattern + 4);
    }
    EXPECT_EQ(FindFirstFileW(nullptr, &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileW(u"\\*", nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(FindNextFileW(INVALID_HANDLE_VALUE, &data));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(FindFileTest, KeepsItsListWhileTheFolderChanges) {
    WriteLinuxFile("d/1", "");
    WriteLinuxFile("d/2", "");
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(u"\\d\\*", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    WriteLinuxFile("d/3", "");
    ASSERT_TRUE(FindNextFileW(find, &data));
    EXPECT_EQ(std::u16string(data.cFileName), u"2");
    EXPECT_FALSE(FindNextFileW(find, &data));
    EXPECT_TRUE(FindClose(find));
    // FindClose closes only find handles.
    HANDLE file = CreateFileW(u"\\d\\1", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindClose(file));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(CloseHandle(file));
}

}  // namespace
