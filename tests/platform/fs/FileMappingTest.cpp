// File mappings: views of files and of page-file memory, their lifetimes and errors.
#include <cstring>
#include <string>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/fs/FileMapping.h"
#include "tests/platform/fs/FsTestSupport.h"

namespace {

class FileMappingTest : public fs_test::FsTest {
protected:
    HANDLE OpenForMapping(LPCWSTR path, bool writable) {
        return CreateFileForMappingW(path, writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                                     writable ? 0 : FILE_SHARE_READ, nullptr, writable ? OPEN_ALWAYS : OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    }
};

TEST_F(FileMappingTest, MapsAFileForReading) {
    WriteLinuxFile("Data/image.bmp", "BM-pixels");
    HANDLE file = OpenForMapping(u"\\data\\IMAGE.BMP", false);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    // The mapping keeps the file, and the view the mapping, after their handles close.
    EXPECT_TRUE(CloseHandle(file));
    auto* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_EQ(std::string(view, 9), "BM-pixels");
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
}

TEST_F(FileMappingTest, WritesThroughAReadWriteViewAndGrowsTheFile) {
    HANDLE file = OpenForMapping(u"\\cache.bin", true);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READWRITE, 0, 100000, nullptr);
    ASSERT_NE(mapping, nullptr);
    DWORD high = 0;
    EXPECT_EQ(GetFileSize(file, &high), 100000u);

    auto* whole = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    auto* tail = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, MAPPING_ALLOCATION_GRANULARITY, 16));
    ASSERT_NE(whole, nullptr);
    ASSERT_NE(tail, nullptr);
    std::memcpy(whole, "head", 4);
    std::memcpy(tail, "tail", 4);
    EXPECT_EQ(std::memcmp(whole + MAPPING_ALLOCATION_GRANULARITY, "tail", 4), 0);  // the same memory

    // The file cannot shrink under its mapping.
    SetFilePointer(file, 10, nullptr, FILE_BEGIN);
    EXPECT_FALSE(SetEndOfFile(file));
    EXPECT_EQ(GetLastError(), ERROR_USER_MAPPED_FILE);

    EXPECT_TRUE(UnmapViewOfFile(whole));
    EXPECT_TRUE(UnmapViewOfFile(tail));
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(SetEndOfFile(file));  // with the mapping gone it can
    CloseHandle(file);
    EXPECT_EQ(ReadLinuxFile("cache.bin"), std::string("head\0\0\0\0\0\0", 10));
}

TEST_F(FileMappingTest, CopyOnWriteViewsLeaveTheFileAlone) {
    WriteLinuxFile("a.bin", "original");
    HANDLE file = OpenForMapping(u"\\a.bin", false);
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_WRITECOPY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    auto* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_COPY, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    view[0] = 'X';
    EXPECT_EQ(ReadLinuxFile("a.bin"), "original");
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    CloseHandle(file);
}

TEST_F(FileMappingTest, SharesPageFileMemoryBetweenViews) {
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 3 * 65536, nullptr);
    ASSERT_NE(mapping, nullptr);
    auto* first = static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    auto* second = static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 65536, 65536));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first[3 * 65536 - 1], 0);  // zero-filled
    first[65536 + 7] = 0xAB;
    EXPECT_EQ(second[7], 0xAB);
    CloseHandle(mapping);
    EXPECT_TRUE(UnmapViewOfFile(first));
    EXPECT_EQ(second[7], 0xAB);
    EXPECT_TRUE(UnmapViewOfFile(second));
}

TEST_F(FileMappingTest, RefusesBadMappingsAndViews) {
    WriteLinuxFile("data.bin", "0123456789");
    WriteLinuxFile("empty.bin", "");
    HANDLE reader = OpenForMapping(u"\\data.bin", false);
    HANDLE empty = OpenForMapping(u"\\empty.bin", false);
    struct MappingCase {
        HANDLE file;
        DWORD protect;
        DWORD sizeLow;
        LPCWSTR name;
        DWORD error;
    };
    const MappingCase mappingCases[] = {
        {reader, PAGE_READWRITE, 0, nullptr, ERROR_ACCESS_DENIED},  // a read-only handle
        {reader, PAGE_READONLY, 11, nullptr, ERROR_NOT_ENOUGH_MEMORY},  // past the end of the file
        {reader, 0x40, 0, nullptr, ERROR_INVALID_PARAMETER},
        {reader, PAGE_READONLY, 0, u"Shared", ERROR_NOT_SUPPORTED},
        {empty, PAGE_READONLY, 0, nullptr, ERROR_FILE_INVALID},
        {INVALID_HANDLE_VALUE, PAGE_READWRITE, 0, nullptr, ERROR_INVALID_PARAMETER},  // no size
        {nullptr, PAGE_READONLY, 0, nullptr, ERROR_INVALID_HANDLE},
    };
    for (const auto& c : mappingCases) {
        EXPECT_EQ(CreateFileMappingW(c.file, nullptr, c.protect, 0, c.sizeLow, c.name), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    // A page-file mapping larger than memory can hold.
    EXPECT_EQ(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0xFFFFFFFF, 0xFFFFFFFF, nullptr),
              nullptr);

    HANDLE mapping = CreateFileMappingW(reader, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    struct ViewCase {
        HANDLE mapping;
        DWORD access;
        DWORD offsetLow;
        SIZE_T bytes;
        DWORD error;
    };
    const ViewCase viewCases[] = {
        {mapping, FILE_MAP_WRITE, 0, 0, ERROR_ACCESS_DENIED},
        {mapping, FILE_MAP_ALL_ACCESS, 0, 0, ERROR_ACCESS_DENIED},
        {mapping, 0, 0, 0, ERROR_INVALID_PARAMETER},
        {mapping, FILE_MAP_READ, 4096, 0, ERROR_MAPPED_ALIGNMENT},
        {mapping, FILE_MAP_READ, 0, 11, ERROR_INVALID_PARAMETER},
        {mapping, FILE_MAP_READ, 65536, 0, ERROR_INVALID_PARAMETER},
        {reader, FILE_MAP_READ, 0, 0, ERROR_INVALID_HANDLE},  // a file is no mapping
        {INVALID_HANDLE_VALUE, FILE_MAP_READ, 0, 0, ERROR_INVALID_HANDLE},
    };
    for (const auto& c : viewCases) {
        EXPECT_EQ(MapViewOfFile(c.mapping, c.access, 0, c.offsetLow, c.bytes), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    int local = 0;
    EXPECT_FALSE(UnmapViewOfFile(&local));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
    CloseHandle(mapping);
    CloseHandle(reader);
    CloseHandle(empty);
}

}  // namespace
