// C runtime streams on handset paths.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/base/Errors.h"
#include "platform/fs/FileStreams.h"
#include "tests/platform/fs/FsTestSupport.h"

namespace {

class FileStreamsTest : public fs_test::FsTest {};

TEST_F(FileStreamsTest, OpensHandsetPathsWithoutCase) {
    MakeLinuxFolder("Program Files/Quorvane/save");
    FILE* out = _wfopen(u"\\program files\\QUORVANE\\save\\Profile.dat", u"wb");
    ASSERT_NE(out, nullptr);
    std::fputs("profile", out);
    std::fclose(out);
    EXPECT_EQ(ReadLinuxFile("Program Files/Quorvane/save/Profile.dat"), "profile");

    FILE* in = platform::OpenHandsetStream("\\Program Files\\Quorvane\\SAVE\\PROFILE.DAT", "rt");
    ASSERT_NE(in, nullptr);
    char text[16] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text, in), 7u);
    EXPECT_EQ(std::string(text), "profile");
    std::fclose(in);

    FILE* append = platform::OpenHandsetStream("/Program Files/Quorvane/save/profile.dat", "a+b");
    ASSERT_NE(append, nullptr);
    std::fputs("!", append);
    std::fclose(append);
    EXPECT_EQ(ReadLinuxFile("Program Files/Quorvane/save/Profile.dat"), "profile!");
}

TEST_F(FileStreamsTest, RefusesWhatTheHandsetRefuses) {
    MakeLinuxFolder("Folder");
    WriteLinuxFile("ro.txt", "x");
    ASSERT_EQ(chmod(Linux("ro.txt").c_str(), 0444), 0);
    struct Case {
        const char* path;
        const char* mode;
        int error;
        DWORD lastError;
    };
    const Case cases[] = {
        {"\\missing.txt", "rb", ENOENT, ERROR_FILE_NOT_FOUND},
        {"\\missing\\x.txt", "wb", ENOENT, ERROR_PATH_NOT_FOUND},
        {"\\Folder", "rb", EACCES, ERROR_ACCESS_DENIED},
        {"\\ro.txt", "r+", EACCES, ERROR_ACCESS_DENIED},
        {"\\ro.txt", "wb", EACCES, ERROR_ACCESS_DENIED},
        {"\\x.txt", "q", EINVAL, ERROR_INVALID_PARAMETER},
        {"\\x.txt", "rz", EINVAL, ERROR_INVALID_PARAMETER},
        {"\\x.txt", "", EINVAL, ERROR_INVALID_PARAMETER},
        {"\\..\\x.txt", "wb", ENOENT, ERROR_PATH_NOT_FOUND},
        {"\\x<.txt", "wb", EINVAL, ERROR_INVALID_NAME},
        {"\\x\xff.txt", "wb", EINVAL, ERROR_INVALID_NAME},  // not UTF-8
    };
    for (const auto& c : cases) {
        errno = 0;
        EXPECT_EQ(platform::OpenHandsetStream(c.path, c.mode), nullptr) << c.path << " " << c.mode;
        EXPECT_EQ(errno, c.error) << c.path << " " << c.mode;
        EXPECT_EQ(GetLastError(), c.lastError) << c.path << " " << c.mode;
    }
    EXPECT_EQ(_wfopen(nullptr, u"rb"), nullptr);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(ReadLinuxFile("ro.txt"), "x");
    EXPECT_FALSE(LinuxExists("x.txt"));
}

}  // namespace
