// CreateFileW and the calls on file handles: dispositions with their last errors, access,
// reading and writing, seeking with the high part, sizes, end of file, times, devices.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/fs/Files.h"
#include "platform/fs/StreamDevice.h"
#include "tests/platform/fs/FsTestSupport.h"

namespace {

class FilesTest : public fs_test::FsTest {
protected:
    HANDLE Open(LPCWSTR path, DWORD access, DWORD disposition, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        return CreateFileW(path, access, FILE_SHARE_READ, nullptr, disposition, attributes, nullptr);
    }
    std::string ReadAll(HANDLE file) {
        std::string text(4096, '\0');
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr));
        text.resize(read);
        return text;
    }
    void Write(HANDLE file, const std::string& text) {
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
        ASSERT_EQ(written, text.size());
    }
};

TEST_F(FilesTest, DispositionsOnMissingAndExistingFiles) {
    struct Case {
        DWORD disposition;
        bool exists;
        bool succeeds;
        DWORD lastError;
        std::string contentsAfter;  // of the Linux file when it exists afterwards
    };
    const Case cases[] = {
        {CREATE_NEW, false, true, ERROR_SUCCESS, ""},
        {CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old"},
        {CREATE_ALWAYS, false, true, ERROR_SUCCESS, ""},
        {CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
        {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, ""},
        {OPEN_EXISTING, true, true, ERROR_SUCCESS, "old"},
        {OPEN_ALWAYS, false, true, ERROR_SUCCESS, ""},
        {OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "old"},
        {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, ""},
        {TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "disposition " << c.disposition << (c.exists ? " existing" : " missing"));
        if (c.exists) WriteLinuxFile("f.txt", "old");
        SetLastError(12345);
        HANDLE file = Open(u"\\F.TXT", GENERIC_READ | GENERIC_WRITE, c.disposition);
        EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.succeeds);
        EXPECT_EQ(GetLastError(), c.lastError);
        if (file != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(CloseHandle(file));
        }
        bool existsAfter = c.exists || c.succeeds;
        EXPECT_EQ(LinuxExists("f.txt") || LinuxExists("F.TXT"), existsAfter);
        if (c.exists) {
            EXPECT_EQ(ReadLinuxFile("f.txt"), c.contentsAfter);
        }
        std::remove(Linux("f.txt").c_str());
        std::remove(Linux("F.TXT").c_str());
    }
}

TEST_F(FilesTest, RefusesBadArgumentsAndPaths) {
    struct Case {
        LPCWSTR path;
        DWORD access;
        DWORD disposition;
        DWORD error;
    };
    MakeLinuxFolder("Folder");
    const Case cases[] = {
        {nullptr, GENERIC_READ, OPEN_EXISTING, ERROR_INVALID_PARAMETER},
        {u"\\a", GENERIC_READ, 0, ERROR_INVALID_PARAMETER},
        {u"\\a", GENERIC_READ, 6, ERROR_INVALID_PARAMETER},
        {u"\\a", 0x00000100, OPEN_ALWAYS, ERROR_INVALID_PARAMETER},
        {u"\\a", GENERIC_READ, TRUNCATE_EXISTING, ERROR_INVALID_PARAMETER},  // truncating needs write access
        {u"", GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {u"\\..\\x", GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {u"\\a?b", GENERIC_READ, OPEN_ALWAYS, ERROR_INVALID_NAME},
        {u"\\a:b", GENERIC_READ, OPEN_ALWAYS, ERROR_INVALID_NAME},
        {u"\\missing\\a", GENERIC_WRITE, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
        {u"\\missing\\a", GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {u"\\folder", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED},
        {u"\\folder", GENERIC_WRITE, CREATE_ALWAYS, ERROR_ACCESS_DENIED},
        {u"\\", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED},
        {u"NUL1:", GENERIC_READ, OPEN_EXISTING, ERROR_FILE_NOT_FOUND},  // no such device
    };
    for (const auto& c : cases) {
        SetLastError(0);
        HANDLE file = Open(c.path, c.access, c.disposition);
        EXPECT_EQ(file, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error) << (c.path ? platform::Utf16ToUtf8(c.path) : "null");
    }
    std::u16string tooLong = u"\\" + std::u16string(300, u'a');
    EXPECT_EQ(Open(tooLong.c_str(), GENERIC_READ, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
    EXPECT_FALSE(LinuxExists("a"));
}

TEST_F(FilesTest, ReadsWritesAndSeeks) {
    HANDLE file = Open(u"\\Data.bin", GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    Write(file, "0123456789");
    EXPECT_EQ(GetFileSize(file, nullptr), 10u);

    EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_BEGIN), 2u);
    char two[3] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file, two, 2, &read, nullptr));
    EXPECT_EQ(read, 2u);
    EXPECT_STREQ(two, "23");
    EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_CURRENT), 7u);
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), 6u);
    EXPECT_EQ(ReadAll(file), "6789");
    // At the end: success with nothing read.
    EXPECT_EQ(ReadAll(file), "");

    // A write past the end fills the gap with zeros.
    EXPECT_EQ(SetFilePointer(file, 12, nullptr, FILE_BEGIN), 12u);
    Write(file, "x");
    EXPECT_EQ(ReadLinuxFile("Data.bin"), std::string("0123456789\0\0x", 13));

    // Cutting at the position.
    SetFilePointer(file, 4, nullptr, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(file));
    EXPECT_EQ(GetFileSize(file, nullptr), 4u);
    EXPECT_TRUE(FlushFileBuffers(file));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(ReadLinuxFile("Data.bin"), "0123");
}

TEST_F(FilesTest, SeeksWithTheHighPartAndRefusesBadMoves) {
    HANDLE file = Open(u"\\big.bin", GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    Write(file, "abc");

    LONG high = 1;
    SetLastError(99);
    EXPECT_EQ(SetFilePointer(file, 5, &high, FILE_BEGIN), 5u);  // 4 GiB + 5
    EXPECT_EQ(high, 1);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    high = -1;  // the two parts are one 64-bit value: -1
    EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_CURRENT), 4u);
    EXPECT_EQ(high, 1);
    high = -1;  // -4 GiB
    EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_CURRENT), 4u);
    EXPECT_EQ(high, 0);

    // The position 0xFFFFFFFF is valid: only the last error tells.
    high = 0;
    EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(high, 0);

    EXPECT_EQ(SetFilePointer(file, 1, nullptr, FILE_BEGIN), 1u);
    EXPECT_EQ(SetFilePointer(file, -10, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 1u);  // unchanged
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, 3), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    high = 0x7FFFFFFF;
    EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_END), INVALID_SET_FILE_POINTER);  // overflows
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    // Without the high part a position past 4 GiB cannot be given back.
    high = 1;
    SetFilePointer(file, 0, &high, FILE_BEGIN);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    // Sizes past 4 GiB report the high part (a sparse file: no disk space used).
    high = 1;
    SetFilePointer(file, 16, &high, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(file));
    DWORD sizeHigh = 0;
    EXPECT_EQ(GetFileSize(file, &sizeHigh), 16u);
    EXPECT_EQ(sizeHigh, 1u);
    CloseHandle(file);
}

TEST_F(FilesTest, HonoursTheAccessOfTheHandle) {
    WriteLinuxFile("a.txt", "text");
    HANDLE reader = Open(u"\\a.txt", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    DWORD written = 7;
    EXPECT_FALSE(WriteFile(reader, "x", 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(SetEndOfFile(reader));
    EXPECT_EQ(ReadAll(reader), "text");
    CloseHandle(reader);

    HANDLE writer = Open(u"\\a.txt", GENERIC_WRITE, OPEN_EXISTING);
    char byte = 0;
    DWORD read = 7;
    EXPECT_FALSE(ReadFile(writer, &byte, 1, &read, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(read, 0u);
    CloseHandle(writer);

    // Access 0 opens the file for its size and times only.
    HANDLE query = Open(u"\\a.txt", 0, OPEN_EXISTING);
    ASSERT_NE(query, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(query, nullptr), 4u);
    EXPECT_FALSE(ReadFile(query, &byte, 1, &read, nullptr));
    CloseHandle(query);
}

TEST_F(FilesTest, KeepsTheReadOnlyAttribute) {
    HANDLE file = Open(u"\\ro.txt", GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_READONLY);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    Write(file, "kept");  // the creating handle may still write
    CloseHandle(file);
    for (DWORD disposition : {OPEN_EXISTING, OPEN_ALWAYS, CREATE_ALWAYS, TRUNCATE_EXISTING}) {
        EXPECT_EQ(Open(u"\\ro.txt", GENERIC_WRITE, disposition), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    }
    HANDLE reader = Open(u"\\RO.TXT", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadAll(reader), "kept");
    CloseHandle(reader);

    // CREATE_ALWAYS over a writable file sets the attribute too.
    WriteLinuxFile("rw.txt", "old");
    file = Open(u"\\rw.txt", GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(Open(u"\\rw.txt", GENERIC_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadLinuxFile("rw.txt"), "");
}

TEST_F(FilesTest, RefusesBadHandlesAndBuffers) {
    char byte = 0;
    DWORD count = 0;
    for (HANDLE bad : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x1230)}) {
        EXPECT_FALSE(ReadFile(bad, &byte, 1, &count, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(WriteFile(bad, &byte, 1, &count, nullptr));
        EXPECT_EQ(SetFilePointer(bad, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
        EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(SetEndOfFile(bad));
        EXPECT_FALSE(FlushFileBuffers(bad));
        EXPECT_FALSE(GetFileTime(bad, nullptr, nullptr, nullptr));
    }
    HANDLE file = Open(u"\\x", GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    EXPECT_FALSE(ReadFile(file, nullptr, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(WriteFile(file, nullptr, 0, &count, nullptr));
    auto* overlapped = reinterpret_cast<LPOVERLAPPED>(&byte);
    EXPECT_FALSE(ReadFile(file, &byte, 1, &count, overlapped));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    CloseHandle(file);
    // A closed handle is no longer a file.
    EXPECT_FALSE(WriteFile(file, &byte, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(FilesTest, ReportsFileTimes) {
    WriteLinuxFile("t.txt", "x");
    struct timespec times[2] = {{1000000000, 0}, {1500000000, 500}};  // access, write
    ASSERT_EQ(utimensat(AT_FDCWD, Linux("t.txt").c_str(), times, 0), 0);
    HANDLE file = Open(u"\\t.txt", GENERIC_READ, OPEN_EXISTING);
    FILETIME creation{}, access{}, write{};
    ASSERT_TRUE(GetFileTime(file, &creation, &access, &write));
    auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    EXPECT_EQ(ticks(access), (1000000000ULL + 11644473600ULL) * 10000000ULL);
    EXPECT_EQ(ticks(write), (1500000000ULL + 11644473600ULL) * 10000000ULL + 5);
    EXPECT_NE(ticks(creation), 0u);
    EXPECT_TRUE(GetFileTime(file, nullptr, nullptr, nullptr));
    CloseHandle(file);
}

// A device that echoes what is written and answers one control code.
class EchoDevice : public platform::StreamDevice {
public:
    BOOL Write(LPCVOID buffer, DWORD size, LPDWORD written) override {
        data_.assign(static_cast<const char*>(buffer), size);
        if (written) *written = size;
        return TRUE;
    }
    BOOL Read(LPVOID buffer, DWORD size, LPDWORD read) override {
        DWORD count = std::min<DWORD>(size, static_cast<DWORD>(data_.size()));
        std::memcpy(buffer, data_.data(), count);
        if (read) *read = count;
        return TRUE;
    }
    BOOL IoControl(DWORD code, LPVOID, DWORD, LPVOID out, DWORD outSize, LPDWORD returned) override {
        if (code != 0x8000000C || outSize < 4) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        std::int32_t value = 42;
        std::memcpy(out, &value, 4);
        if (returned) *returned = 4;
        return TRUE;
    }

private:
    std::string data_;
};

TEST_F(FilesTest, OpensRegisteredStreamDevices) {
    DWORD openedWith = 0;
    platform::RegisterStreamDevice(u"TST1:", [&](DWORD access, DWORD) -> platform::StreamDevice* {
        openedWith = access;
        return new EchoDevice;
    });
    HANDLE device = Open(u"tst1:", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    EXPECT_EQ(openedWith, GENERIC_READ | GENERIC_WRITE);
    Write(device, "ping");
    EXPECT_EQ(ReadAll(device), "ping");
    std::int32_t sample = 0;
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(device, 0x8000000C, nullptr, 0, &sample, sizeof sample, &returned, nullptr));
    EXPECT_EQ(sample, 42);
    EXPECT_EQ(returned, 4u);
    EXPECT_FALSE(DeviceIoControl(device, 0x8000000C, nullptr, 0, nullptr, 4, &returned, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(GetFileSize(device, nullptr) != INVALID_FILE_SIZE);
    EXPECT_TRUE(CloseHandle(device));

    HANDLE file = Open(u"\\plain", GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    EXPECT_FALSE(DeviceIoControl(file, 1, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FUNCTION);
    CloseHandle(file);

    platform::UnregisterStreamDevice(u"TST1:");
    EXPECT_EQ(Open(u"TST1:", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
