// Threads of the handset: creation (optionally suspended), identity, exit codes and
// priorities. A thread's handle is waitable and becomes signalled when the thread ends.
#pragma once

#include "platform/base/Types.h"

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);
using PTHREAD_START_ROUTINE = LPTHREAD_START_ROUTINE;

constexpr DWORD CREATE_SUSPENDED = 0x00000004;
constexpr DWORD STACK_SIZE_PARAM_IS_A_RESERVATION = 0x00010000;
// The exit code of a thread that is still running.
constexpr DWORD STILL_ACTIVE = 259;

// The handset's eight priority levels, 0 the most urgent.
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 0;
constexpr int THREAD_PRIORITY_HIGHEST = 1;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 2;
constexpr int THREAD_PRIORITY_NORMAL = 3;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = 4;
constexpr int THREAD_PRIORITY_LOWEST = 5;
constexpr int THREAD_PRIORITY_ABOVE_IDLE = 6;
constexpr int THREAD_PRIORITY_IDLE = 7;
constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

// Starts `start(parameter)` on a new thread; with CREATE_SUSPENDED it waits for ResumeThread.
// The stack size is a hint that the platform's larger default always satisfies. The
// thread's id is known when this returns.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, DWORD stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId);
// Lowers the suspend count of a thread made with CREATE_SUSPENDED and starts it at zero.
// Returns the previous count, or 0xFFFFFFFF on failure.
DWORD ResumeThread(HANDLE thread);
// STILL_ACTIVE while the thread runs, then the value its function returned.
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);

DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();
// A pseudo handle that means "the calling thread" to the thread functions; it needs no
// CloseHandle.
HANDLE GetCurrentThread();

// The level is kept per thread for the programs that raise and restore it; the Linux
// scheduler is not asked, as raising a priority there needs privileges that the handset
// programs do not have.
int GetThreadPriority(HANDLE thread);
BOOL SetThreadPriority(HANDLE thread, int priority);
