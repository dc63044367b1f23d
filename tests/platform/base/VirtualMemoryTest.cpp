// Tests of VirtualAlloc / VirtualFree and GetSystemInfo.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/base/Errors.h"
#include "platform/base/VirtualMemory.h"

namespace {

TEST(VirtualMemory, SystemInfoGivesPageSizeAndGranularity) {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    EXPECT_GE(info.dwPageSize, 4096u);
    EXPECT_EQ(info.dwAllocationGranularity % info.dwPageSize, 0u);
    EXPECT_GE(info.dwAllocationGranularity, 0x10000u);
    EXPECT_GE(info.dwNumberOfProcessors, 1u);
    GetSystemInfo(nullptr);
}

TEST(VirtualMemory, ReserveCommitDecommitRelease) {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    const SIZE_T size = 4 * info.dwAllocationGranularity;
    auto* base = static_cast<BYTE*>(VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(base) % info.dwAllocationGranularity, 0u);

    // Committing a piece inside gives its page-aligned start.
    BYTE* middle = base + info.dwPageSize + 10;
    EXPECT_EQ(VirtualAlloc(middle, 100, MEM_COMMIT, PAGE_READWRITE), base + info.dwPageSize);
    ASSERT_EQ(VirtualAlloc(base, size, MEM_COMMIT, PAGE_READWRITE), base);
    std::memset(base, 0xAB, size);

    // Decommitted pages come back zeroed.
    EXPECT_EQ(VirtualFree(base, info.dwPageSize, MEM_DECOMMIT), TRUE);
    ASSERT_EQ(VirtualAlloc(base, info.dwPageSize, MEM_COMMIT, PAGE_READWRITE), base);
    EXPECT_EQ(base[0], 0);
    EXPECT_EQ(base[info.dwPageSize - 1], 0);
    EXPECT_EQ(base[info.dwPageSize], 0xAB);

    EXPECT_EQ(VirtualFree(base, 0, MEM_DECOMMIT), TRUE);
    EXPECT_EQ(VirtualFree(base, 0, MEM_RELEASE), TRUE);
    // Gone: neither a second release nor a commit finds it.
    EXPECT_EQ(VirtualFree(base, 0, MEM_RELEASE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
    EXPECT_EQ(VirtualAlloc(base, 100, MEM_COMMIT, PAGE_READWRITE), nullptr);
}

TEST(VirtualMemory, ReserveAndCommitAtOnceIsWritable) {
    auto* block = static_cast<BYTE*>(VirtualAlloc(nullptr, 10000, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    block[0] = 1;
    block[9999] = 2;
    EXPECT_EQ(VirtualFree(block, 0, MEM_RELEASE), TRUE);
}

TEST(VirtualMemory, LargePagesComeAlignedToTheirSize) {
    const SIZE_T large = GetLargePageMinimum();
    if (large == 0) {
        const DWORD type = MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES;
        EXPECT_EQ(VirtualAlloc(nullptr, 1 << 21, type, PAGE_READWRITE), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
        return;
    }
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    EXPECT_GT(large, info.dwPageSize);
    EXPECT_EQ(large & (large - 1), 0u);
    auto* block =
        static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * large, MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % large, 0u);
    EXPECT_EQ(block[0], 0);
    block[0] = 1;
    block[2 * large - 1] = 2;
    EXPECT_EQ(VirtualFree(block, 0, MEM_RELEASE), TRUE);

    struct Case {
        const char* what;
        LPVOID address;
        SIZE_T size;
        DWORD type;
        DWORD protect;
    };
    const Case cases[] = {
        {"not a whole large page", nullptr, large + info.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE},
        {"reserved only", nullptr, large, MEM_RESERVE, PAGE_READWRITE},
        {"at an address", reinterpret_cast<LPVOID>(large * 64), large, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE},
        {"read-only", nullptr, large, MEM_RESERVE | MEM_COMMIT, PAGE_READONLY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(0);
        EXPECT_EQ(VirtualAlloc(c.address, c.size, c.type | MEM_LARGE_PAGES, c.protect), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
}

TEST(VirtualMemory, BadRequestsFailWithAnError) {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    struct Case {
        const char* what;
        SIZE_T size;
        DWORD type;
        DWORD protect;
    };
    const Case cases[] = {
        {"size 0", 0, MEM_RESERVE, PAGE_NOACCESS},
        {"no kind", 4096, 0, PAGE_READWRITE},
        {"release as a kind", 4096, MEM_RESERVE | MEM_RELEASE, PAGE_READWRITE},
        {"unknown protection", 4096, MEM_RESERVE, 0x40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(0);
        EXPECT_EQ(VirtualAlloc(nullptr, c.size, c.type, c.protect), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }

    auto* base = static_cast<BYTE*>(VirtualAlloc(nullptr, info.dwAllocationGranularity, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(base, nullptr);
    // A commit that runs past the reservation, a release with a size or not at the base.
    EXPECT_EQ(VirtualAlloc(base, info.dwAllocationGranularity + 1, MEM_COMMIT, PAGE_READWRITE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
    EXPECT_EQ(VirtualAlloc(base - info.dwPageSize, 10, MEM_COMMIT, PAGE_READWRITE), nullptr);
    EXPECT_EQ(VirtualFree(base, 10, MEM_RELEASE), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(VirtualFree(base + info.dwPageSize, 0, MEM_RELEASE), FALSE);
    EXPECT_EQ(VirtualFree(base, 10, MEM_DECOMMIT | MEM_RELEASE), FALSE);
    EXPECT_EQ(VirtualFree(nullptr, 0, MEM_RELEASE), FALSE);
    EXPECT_EQ(VirtualFree(base, 0, MEM_RELEASE), TRUE);
}

}  // namespace
