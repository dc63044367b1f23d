// Threads on POSIX threads. The thread object is the waitable behind the handle; the running
// thread holds a reference of its own, so a closed handle never frees a running thread's
// object, and the object outlives the thread while any handle is open.
#include "platform/sync/Thread.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>

#include "platform/base/Errors.h"
#include "platform/sync/WaitableObject.h"

namespace platform {

namespace {

class ThreadObject final : public WaitableObject {
public:
    ThreadObject(LPTHREAD_START_ROUTINE start, LPVOID parameter, bool suspended)
        : start_(start), parameter_(parameter), suspendCount_(suspended ? 1 : 0) {}

    bool IsSignaledLocked() const override { return finished_; }
    void AcquireLocked() override {}  // an ended thread stays signalled

    bool Start();
    DWORD Resume();
    DWORD Id() const { return id_; }
    DWORD ExitCode() {
        auto lock = LockWaitState();
        return finished_ ? exitCode_ : STILL_ACTIVE;
    }
    std::atomic<int>& Priority() { return priority_; }

private:
    static void* Run(void* self);

    const LPTHREAD_START_ROUTINE start_;
    const LPVOID parameter_;
    // Guarded by LockWaitState().
    DWORD suspendCount_;
    bool started_ = false;
    bool finished_ = false;
    DWORD exitCode_ = STILL_ACTIVE;
    std::condition_variable changed_;
    DWORD id_ = 0;
    std::atomic<int> priority_{THREAD_PRIORITY_NORMAL};
};

// The thread object of the calling thread, when CreateThread made it.
thread_local ThreadObject* currentThread = nullptr;
// The priority of a thread that CreateThread did not make (the program's first thread).
thread_local std::atomic<int> otherThreadPriority{THREAD_PRIORITY_NORMAL};

HANDLE const kCurrentThreadPseudoHandle = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));

bool ThreadObject::Start() {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    AddHandleRef();  // the running thread's own reference
    pthread_t thread;
    int result = pthread_create(&thread, &attributes, &ThreadObject::Run, this);
    pthread_attr_destroy(&attributes);
    if (result != 0) {
        ReleaseHandleRef();
        return false;
    }
    // The id is the caller's to know before the thread runs its function.
    auto lock = LockWaitState();
    changed_.wait(lock, [this] { return started_; });
    return true;
}

void* ThreadObject::Run(void* self) {
    auto* thread = static_cast<ThreadObject*>(self);
    currentThread = thread;
    {
        auto lock = LockWaitState();
        thread->id_ = GetCurrentThreadId();
        thread->started_ = true;
        thread->changed_.notify_all();
        thread->changed_.wait(lock, [thread] { return thread->suspendCount_ == 0; });
    }
    DWORD exitCode = thread->start_(thread->parameter_);
    {
        auto lock = LockWaitState();
        thread->exitCode_ = exitCode;
        thread->finished_ = true;
        thread->SignalLocked();
    }
    currentThread = nullptr;
    thread->ReleaseHandleRef();
    return nullptr;
}

DWORD ThreadObject::Resume() {
    auto lock = LockWaitState();
    DWORD previous = suspendCount_;
    if (suspendCount_ > 0 && --suspendCount_ == 0) changed_.notify_all();
    return previous;
}

std::atomic<int>* PriorityOf(HANDLE handle) {
    if (handle == kCurrentThreadPseudoHandle) return currentThread ? &currentThread->Priority() : &otherThreadPriority;
    if (auto* thread = KernelObjectAs<ThreadObject>(handle)) return &thread->Priority();
    return nullptr;
}

}  // namespace

}  // namespace platform

HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, DWORD stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId) {
    UNREFERENCED_PARAMETER(attributes);  // the handset has no object security
    UNREFERENCED_PARAMETER(stackSize);   // a hint: the default stack is larger than the handset's
    if (start == nullptr || (creationFlags & ~(CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION)) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* thread = new platform::ThreadObject(start, parameter, (creationFlags & CREATE_SUSPENDED) != 0);
    if (!thread->Start()) {
        thread->ReleaseHandleRef();
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId != nullptr) *threadId = thread->Id();
    HANDLE handle = platform::RegisterKernelObject(thread);
    if (handle == nullptr) thread->ReleaseHandleRef();
    return handle;
}

DWORD ResumeThread(HANDLE handle) {
    auto* thread = platform::KernelObjectAs<platform::ThreadObject>(handle);
    if (thread == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0xFFFFFFFFu;
    }
    return thread->Resume();
}

BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
    auto* thread = platform::KernelObjectAs<platform::ThreadObject>(handle);
    if (thread == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (exitCode == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *exitCode = thread->ExitCode();
    return TRUE;
}

DWORD GetCurrentThreadId() {
    // Linux thread ids are unique across processes while the thread lives, as the handset's are.
    thread_local DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
    return id;
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

HANDLE GetCurrentThread() { return platform::kCurrentThreadPseudoHandle; }

int GetThreadPriority(HANDLE thread) {
    std::atomic<int>* priority = platform::PriorityOf(thread);
    if (priority == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    return priority->load();
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
    std::atomic<int>* level = platform::PriorityOf(thread);
    if (level == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (priority < THREAD_PRIORITY_TIME_CRITICAL || priority > THREAD_PRIORITY_IDLE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    level->store(priority);
    return TRUE;
}
