// The handle table and the per-thread last error.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"

namespace {

class CountedObject : public platform::KernelObject {
public:
    explicit CountedObject(int* destroyed) : destroyed_(destroyed) {}
    ~CountedObject() override { ++*destroyed_; }

private:
    int* destroyed_;
};

class OtherObject : public platform::KernelObject {};

TEST(Handle, DuplicatesShareTheObjectUntilTheLastClose) {
    int destroyed = 0;
    auto* object = new CountedObject(&destroyed);
    HANDLE first = platform::RegisterKernelObject(object);
    EXPECT_EQ(object->ToHandle(), first);
    EXPECT_EQ(object, platform::KernelObjectFromHandle(first));
    EXPECT_EQ(object, platform::KernelObjectAs<CountedObject>(first));
    EXPECT_EQ(nullptr, platform::KernelObjectAs<OtherObject>(first));

    HANDLE second = nullptr;
    ASSERT_TRUE(DuplicateHandle(INVALID_HANDLE_VALUE, first, INVALID_HANDLE_VALUE, &second, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    EXPECT_NE(first, second);
    EXPECT_EQ(object, platform::KernelObjectFromHandle(second));
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(nullptr, platform::KernelObjectFromHandle(first));

    HANDLE third = nullptr;
    ASSERT_TRUE(DuplicateHandle(INVALID_HANDLE_VALUE, second, INVALID_HANDLE_VALUE, &third, 0, FALSE,
                                DUPLICATE_CLOSE_SOURCE));
    EXPECT_EQ(nullptr, platform::KernelObjectFromHandle(second));
    EXPECT_EQ(0, destroyed);
    EXPECT_TRUE(CloseHandle(third));
    EXPECT_EQ(1, destroyed);
}

TEST(Handle, ClosedAndBogusHandlesAreRefused) {
    int destroyed = 0;
    HANDLE handle = platform::RegisterKernelObject(new CountedObject(&destroyed));
    ASSERT_TRUE(CloseHandle(handle));
    HANDLE target = nullptr;
    int local = 0;
    for (HANDLE bad : {handle, static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, static_cast<HANDLE>(&local)}) {
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(bad));
        EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
        SetLastError(0);
        EXPECT_FALSE(DuplicateHandle(INVALID_HANDLE_VALUE, bad, INVALID_HANDLE_VALUE, &target, 0, FALSE, 0));
        EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
        EXPECT_EQ(nullptr, platform::KernelObjectFromHandle(bad));
    }
    EXPECT_EQ(1, destroyed);

    HANDLE live = platform::RegisterKernelObject(new CountedObject(&destroyed));
    SetLastError(0);
    EXPECT_FALSE(DuplicateHandle(reinterpret_cast<HANDLE>(0x1234), live, INVALID_HANDLE_VALUE, &target, 0, FALSE, 0));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());  // only this process
    EXPECT_FALSE(DuplicateHandle(INVALID_HANDLE_VALUE, live, INVALID_HANDLE_VALUE, nullptr, 0, FALSE, 0));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    EXPECT_TRUE(DuplicateHandle(INVALID_HANDLE_VALUE, live, INVALID_HANDLE_VALUE, nullptr, 0, FALSE,
                                DUPLICATE_CLOSE_SOURCE));  // closes only
    EXPECT_EQ(2, destroyed);
}

TEST(Handle, ThreadsOpenAndCloseAtOnce) {
    std::vector<std::thread> threads;
    std::vector<int> destroyed(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&destroyed, t] {
            for (int i = 0; i < 500; ++i) {
                HANDLE handle = platform::RegisterKernelObject(new CountedObject(&destroyed[t]));
                HANDLE copy = nullptr;
                DuplicateHandle(INVALID_HANDLE_VALUE, handle, INVALID_HANDLE_VALUE, &copy, 0, FALSE, 0);
                CloseHandle(handle);
                CloseHandle(copy);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int count : destroyed) EXPECT_EQ(500, count);
}

TEST(Errors, LastErrorBelongsToEachThread) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    DWORD seenByOther = 1;
    std::thread other([&] {
        seenByOther = GetLastError();
        SetLastError(ERROR_ACCESS_DENIED);
    });
    other.join();
    EXPECT_EQ(ERROR_SUCCESS, seenByOther);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
}

}  // namespace
