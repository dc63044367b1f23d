// Threads: start, end, exit codes, suspended start, identity and priority.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/sync/Event.h"
#include "platform/sync/Thread.h"
#include "platform/sync/Wait.h"

namespace {

struct Work {
    std::atomic<int> runs{0};
    std::atomic<DWORD> seenId{0};
    HANDLE release = nullptr;  // the thread waits for this event before it returns
};

DWORD RunWork(LPVOID parameter) {
    auto* work = static_cast<Work*>(parameter);
    work->seenId = GetCurrentThreadId();
    ++work->runs;
    if (work->release != nullptr && WaitForSingleObject(work->release, 5000) != WAIT_OBJECT_0) return 99;
    return 42;
}

TEST(Thread, RunsReportsItsIdAndEndsWithItsExitCode) {
    Work work;
    work.release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, RunWork, &work, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());

    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);

    ASSERT_TRUE(SetEvent(work.release));
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    // An ended thread stays signalled for every later wait.
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(work.seenId.load(), id);
    EXPECT_EQ(work.runs.load(), 1);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_TRUE(CloseHandle(work.release));
}

TEST(Thread, SuspendedThreadRunsOnlyAfterResume) {
    Work work;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, RunWork, &work, CREATE_SUSPENDED, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);
    EXPECT_EQ(work.runs.load(), 0);
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(work.runs.load(), 1);
    EXPECT_EQ(work.seenId.load(), id);
    EXPECT_EQ(ResumeThread(thread), 0u);
    CloseHandle(thread);
}

TEST(Thread, HandleClosedWhileRunningLeavesTheThreadRunning) {
    Work work;
    work.release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, RunWork, &work, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    HANDLE second = nullptr;
    ASSERT_TRUE(DuplicateHandle(INVALID_HANDLE_VALUE, thread, INVALID_HANDLE_VALUE, &second, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    EXPECT_TRUE(CloseHandle(thread));
    SetEvent(work.release);
    EXPECT_EQ(WaitForSingleObject(second, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(second, &code));
    EXPECT_EQ(code, 42u);
    CloseHandle(second);
    CloseHandle(work.release);
}

TEST(Thread, ManyThreadsAllEnd) {
    constexpr int kThreads = 16;
    Work work;
    HANDLE threads[kThreads];
    for (HANDLE& thread : threads) {
        thread = CreateThread(nullptr, 0, RunWork, &work, 0, nullptr);
        ASSERT_NE(thread, nullptr);
    }
    EXPECT_EQ(WaitForMultipleObjects(kThreads, threads, TRUE, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(work.runs.load(), kThreads);
    for (HANDLE thread : threads) CloseHandle(thread);
}

TEST(Thread, PriorityIsKeptPerThread) {
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    ASSERT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_ABOVE_NORMAL);

    Work work;
    HANDLE thread = CreateThread(nullptr, 0, RunWork, &work, CREATE_SUSPENDED, nullptr);
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST));
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_LOWEST);
    EXPECT_FALSE(SetThreadPriority(thread, 8));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ResumeThread(thread);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);

    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
}

TEST(Thread, BadArgumentsFail) {
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD code = 0;
    for (HANDLE notThread : {static_cast<HANDLE>(nullptr), event, INVALID_HANDLE_VALUE}) {
        SetLastError(0);
        EXPECT_FALSE(GetExitCodeThread(notThread, &code));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_EQ(ResumeThread(notThread), 0xFFFFFFFFu);
        EXPECT_EQ(GetThreadPriority(notThread), THREAD_PRIORITY_ERROR_RETURN);
    }
    CloseHandle(event);
}

TEST(Thread, ProcessIdIsTheSameOnEveryThread) {
    static std::atomic<DWORD> seen{0};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
            seen = GetCurrentProcessId();
            return 0;
        },
        nullptr, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(seen.load(), GetCurrentProcessId());
    CloseHandle(thread);
}

}  // namespace
