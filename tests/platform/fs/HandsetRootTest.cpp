// The handset root and the mapping of handset paths: normal forms, refused paths, look-up
// without case, and the way back from Linux paths.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/HandsetRoot.h"
#include "tests/platform/fs/FsTestSupport.h"

namespace {

using platform::MapHandsetPath;
using platform::PathError;

class HandsetRootTest : public fs_test::FsTest {};

TEST_F(HandsetRootTest, NormalisesSeparatorsAndDots) {
    struct Case {
        std::u16string input;
        std::u16string handset;
        std::string linuxRelative;
    };
    const Case cases[] = {
        {u"\\", u"\\", ""},
        {u"/", u"\\", ""},
        {u"\\a\\b.txt", u"\\a\\b.txt", "/a/b.txt"},
        {u"/a/b.txt", u"\\a\\b.txt", "/a/b.txt"},
        {u"a\\b.txt", u"\\a\\b.txt", "/a/b.txt"},  // no current folder: relative starts at "\"
        {u"\\\\a//\\b\\", u"\\a\\b", "/a/b"},
        {u"\\a\\.\\b\\.", u"\\a\\b", "/a/b"},
        {u"\\a\\c\\..\\b", u"\\a\\b", "/a/b"},
        {u"\\a\\..", u"\\", ""},
        {u"\\...\\ b", u"\\...\\ b", "/.../ b"},
        {u"\\caf\u00e9\\\U0001F600", u"\\caf\u00e9\\\U0001F600", "/caf\xc3\xa9/\xf0\x9f\x98\x80"},
    };
    for (const auto& c : cases) {
        auto mapped = MapHandsetPath(c.input);
        ASSERT_EQ(mapped.error, PathError::None) << platform::Utf16ToUtf8(c.input);
        EXPECT_EQ(mapped.handset, c.handset);
        EXPECT_EQ(mapped.linuxPath, platform::HandsetRoot() + "/fs" + c.linuxRelative);
    }
}

TEST_F(HandsetRootTest, RefusesBadPaths) {
    struct Case {
        std::u16string input;
        PathError error;
    };
    const Case cases[] = {
        {u"", PathError::Empty},
        {u"\\..", PathError::EscapesRoot},
        {u"..\\x", PathError::EscapesRoot},
        {u"\\a\\..\\..\\etc", PathError::EscapesRoot},
        {u"\\a\\b\\..\\..\\..", PathError::EscapesRoot},
        {u"\\a<b", PathError::InvalidCharacter},
        {u"\\a>b", PathError::InvalidCharacter},
        {u"\\a:b", PathError::InvalidCharacter},
        {u"\\a\"b", PathError::InvalidCharacter},
        {u"\\a|b", PathError::InvalidCharacter},
        {u"\\a*b", PathError::InvalidCharacter},
        {u"\\a?b", PathError::InvalidCharacter},
        {u"\\a\x01" u"b", PathError::InvalidCharacter},
        {u"\\a\x1f", PathError::InvalidCharacter},
        {std::u16string(u"\\a\0b", 4), PathError::InvalidCharacter},
        {u"\\a\xD800", PathError::InvalidCharacter},         // high surrogate alone
        {u"\\a\xDC00z", PathError::InvalidCharacter},        // low surrogate alone
        {u"\\a\xD800\xD800", PathError::InvalidCharacter},  // high without its low half
        // a character that fails even when ".." removes its component later
        {u"\\a:b\\..", PathError::InvalidCharacter},
    };
    for (const auto& c : cases) {
        auto mapped = MapHandsetPath(c.input);
        EXPECT_EQ(mapped.error, c.error) << "case of length " << c.input.size();
        EXPECT_TRUE(mapped.linuxPath.empty());
    }
    EXPECT_EQ(MapHandsetPath(static_cast<LPCWSTR>(nullptr)).error, PathError::Empty);
}

TEST_F(HandsetRootTest, RefusesPathsOverMaxPath) {
    // The longest path fits a MAX_PATH buffer with its terminator.
    std::u16string longest = u"\\" + std::u16string(MAX_PATH - 2, u'a');
    EXPECT_EQ(MapHandsetPath(longest).error, PathError::TooLong);  // one component over 255 bytes
    std::u16string folders;
    while (folders.size() + 10 < MAX_PATH) folders += u"\\abcdefghi";
    folders += std::u16string(MAX_PATH - 1 - folders.size(), u'z');
    EXPECT_EQ(MapHandsetPath(folders).error, PathError::None);
    EXPECT_EQ(MapHandsetPath(folders + u"x").error, PathError::TooLong);
    EXPECT_EQ(MapHandsetPath(folders.c_str()).error, PathError::None);
    std::u16string huge(100000, u'x');
    EXPECT_EQ(MapHandsetPath(huge.c_str()).error, PathError::TooLong);
    // ".." cannot bring a path back under the limit: the limit holds for the text given.
    EXPECT_EQ(MapHandsetPath(u"\\" + std::u16string(200, u'a') + u"\\..\\" + std::u16string(80, u'b')).error,
              PathError::TooLong);
    // 100 characters of three UTF-8 bytes each are more than a Linux name holds.
    EXPECT_EQ(MapHandsetPath(u"\\" + std::u16string(100, u'\u20ac')).error, PathError::TooLong);
}

TEST_F(HandsetRootTest, MatchesExistingComponentsWithoutCase) {
    WriteLinuxFile("Program Files/Quorvane/Data.bin", "x");
    auto mapped = MapHandsetPath(u"\\program files\\QUORVANE\\data.BIN");
    ASSERT_EQ(mapped.error, PathError::None);
    EXPECT_EQ(mapped.linuxPath, Linux("Program Files/Quorvane/Data.bin"));
    EXPECT_EQ(mapped.handset, u"\\program files\\QUORVANE\\data.BIN");

    // Missing components keep the case given, below the last one found.
    EXPECT_EQ(MapHandsetPath(u"\\PROGRAM FILES\\NewDir\\Sub\\x.TXT").linuxPath,
              Linux("Program Files/NewDir/Sub/x.TXT"));
    // Case folding reaches beyond ASCII.
    WriteLinuxFile("\xc3\x84rger.txt", "x");  // "Ärger.txt"
    EXPECT_EQ(MapHandsetPath(u"\\\u00e4RGER.TXT").linuxPath, Linux("\xc3\x84rger.txt"));
}

TEST_F(HandsetRootTest, PrefersTheExactNameAndThenAStableChoice) {
    WriteLinuxFile("abc", "lower");
    WriteLinuxFile("ABC", "upper");
    WriteLinuxFile("Abc", "mixed");
    EXPECT_EQ(MapHandsetPath(u"\\abc").linuxPath, Linux("abc"));
    EXPECT_EQ(MapHandsetPath(u"\\ABC").linuxPath, Linux("ABC"));
    EXPECT_EQ(MapHandsetPath(u"\\Abc").linuxPath, Linux("Abc"));
    EXPECT_EQ(MapHandsetPath(u"\\aBC").linuxPath, Linux("ABC"));  // first in byte order
}

TEST_F(HandsetRootTest, LeavesOutLinuxNamesThatAreNotUtf8) {
    WriteLinuxFile("\xff", "x");
    // U+FFFD is what "\xff" would read as; it must not reach that file.
    EXPECT_EQ(MapHandsetPath(u"\\\xfffd").linuxPath, Linux("\xef\xbf\xbd"));
}

TEST_F(HandsetRootTest, MapsFindPatterns) {
    MakeLinuxFolder("Data");
    auto pattern = platform::MapHandsetFindPattern(u"\\data\\*.p?r");
    ASSERT_EQ(pattern.folder.error, PathError::None);
    EXPECT_EQ(pattern.folder.linuxPath, Linux("Data"));
    EXPECT_EQ(pattern.pattern, u"*.p?r");

    auto atRoot = platform::MapHandsetFindPattern(u"*");
    EXPECT_EQ(atRoot.folder.handset, u"\\");
    EXPECT_EQ(atRoot.pattern, u"*");
    EXPECT_EQ(platform::MapHandsetFindPattern(u"\\").pattern, u"");
    EXPECT_EQ(platform::MapHandsetFindPattern(u"\\a*\\b").folder.error, PathError::InvalidCharacter);
    EXPECT_EQ(platform::MapHandsetFindPattern(u"\\a\\b:*").folder.error, PathError::InvalidCharacter);
    EXPECT_EQ(platform::MapHandsetFindPattern(u"\\..\\*").folder.error, PathError::EscapesRoot);
}

TEST_F(HandsetRootTest, GivesTheHandsetPathOfALinuxPath) {
    WriteLinuxFile("Windows/lib.dll", "x");
    EXPECT_EQ(platform::HandsetPathFromLinux(Linux("Windows/lib.dll")), u"\\Windows\\lib.dll");
    EXPECT_EQ(platform::HandsetPathFromLinux(Linux("Windows/./x/../lib.dll")), u"\\Windows\\lib.dll");
    EXPECT_EQ(platform::HandsetPathFromLinux(platform::HandsetRoot() + "/fs"), u"\\");
    EXPECT_EQ(platform::HandsetPathFromLinux(platform::HandsetRoot() + "/fs/"), u"\\");
    EXPECT_FALSE(platform::HandsetPathFromLinux(platform::HandsetRoot() + "/registry.db").has_value());
    EXPECT_FALSE(platform::HandsetPathFromLinux(platform::HandsetRoot() + "/fsx/a").has_value());
    EXPECT_FALSE(platform::HandsetPathFromLinux(Linux("../outside")).has_value());
    EXPECT_FALSE(platform::HandsetPathFromLinux("/etc/passwd").has_value());
    EXPECT_FALSE(platform::HandsetPathFromLinux("").has_value());
    EXPECT_FALSE(platform::HandsetPathFromLinux(Linux("a:b.dll")).has_value());  // no handset name
    EXPECT_FALSE(platform::HandsetPathFromLinux(Linux("bad\xff")).has_value());

    // Through a symbolic link to the root.
    std::string link = platform::HandsetRoot() + "-link";
    std::filesystem::create_directory_symlink(platform::HandsetRoot(), link);
    EXPECT_EQ(platform::HandsetPathFromLinux(link + "/fs/Windows/lib.dll"), u"\\Windows\\lib.dll");
    std::filesystem::remove(link);
}

// The child starts without HANDSET_ROOT: its root is the one under XDG_DATA_HOME.
TEST(HandsetRootChild, DefaultRootUnderXdgDataHome) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "run by DefaultRootFollowsXdgDataHome";
    std::string expected = handset_test::ChildArgument("expected");
    ASSERT_EQ(platform::HandsetRoot(), expected);
    ASSERT_TRUE(std::filesystem::is_directory(expected + "/fs"));
}

TEST_F(HandsetRootTest, DefaultRootFollowsXdgDataHome) {
    std::string data = platform::HandsetRoot() + "/xdg";
    std::string savedRoot = std::getenv("HANDSET_ROOT");
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    unsetenv("HANDSET_ROOT");
    int status = handset_test::RunChild("HandsetRootChild.DefaultRootUnderXdgDataHome",
                                        {{"expected", data + "/handset"}});
    unsetenv("XDG_DATA_HOME");
    setenv("HANDSET_ROOT", savedRoot.c_str(), 1);
    EXPECT_EQ(status, 0);
    // The child created it on first use.
    EXPECT_TRUE(std::filesystem::is_directory(data + "/handset/fs"));
}

TEST_F(HandsetRootTest, SetHandsetRootCreatesTheRootAndKeepsOldReferencesValid) {
    const std::string& before = platform::HandsetRoot();
    std::string copy = before;
    std::string fresh = before + "/other/root/";
    platform::SetHandsetRoot(fresh);
    EXPECT_EQ(platform::HandsetRoot(), before + "/other/root");
    EXPECT_TRUE(std::filesystem::is_directory(before + "/other/root/fs"));
    EXPECT_EQ(std::string(std::getenv("HANDSET_ROOT")), before + "/other/root");
    EXPECT_EQ(before, copy);
}

}  // namespace
