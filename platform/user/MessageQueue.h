// A thread's message queue: posted messages, work sent from other threads and processes,
// the quit request, timers, and the thread's active, focus and capture windows. Its fields
// are guarded by the window system's lock; waking and waiting are not.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/base/Types.h"
#include "platform/sync/WaitableObject.h"
#include "platform/user/MessageTypes.h"
#include "platform/user/WindowTypes.h"

namespace platform::user {

// Work that must run on the queue's thread: a message sent from another thread or process,
// or an activation change asked for elsewhere.
struct SentTask {
    // Runs on the receiving thread; false when its window was gone.
    std::function<bool(LRESULT& result)> run;
    // Called exactly once, on whichever thread ran (or dropped) the task.
    std::function<void(LRESULT result, bool delivered)> finish;
};

struct PostedMessage {
    MSG message{};
    std::uint64_t sequence = 0;
};

struct TimerRecord {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC procedure = nullptr;
    DWORD lastTick = 0;  // set or last delivered
};

// Raised whenever something arrives, so that a wait on kernel objects can also end for
// input (MsgWaitForMultipleObjects).
class QueueSignal : public WaitableObject {
public:
    bool IsSignaledLocked() const override { return raised_; }
    void AcquireLocked() override { raised_ = false; }
    void Raise();
    void Lower();

private:
    bool raised_ = false;
};

class MessageQueue {
public:
    explicit MessageQueue(DWORD threadId);
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    DWORD ThreadId() const { return threadId_; }

    // Under the window system's lock.
    void PostLocked(const MSG& message);
    void PostFrontLocked(const MSG& message);

    // Without the lock: wakes the thread's wait.
    void Wake();
    // Waits until woken, until `extraFd` becomes readable or until `timeoutMs` passes (-1:
    // no limit). True when `extraFd` is readable.
    bool Wait(int timeoutMs, int extraFd = -1);
    QueueSignal* Signal() { return signal_; }

    std::deque<PostedMessage> posted;
    std::deque<std::shared_ptr<SentTask>> sent;
    std::vector<TimerRecord> timers;
    std::uint64_t nextSequence = 1;
    std::uint64_t seenSequence = 0;  // posted messages up to here were seen by a retrieval
    UINT_PTR nextTimerId = 1;
    bool quitPending = false;
    int quitCode = 0;
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
    bool alive = true;

private:
    DWORD threadId_;
    int wakeFd_ = -1;
    QueueSignal* signal_ = nullptr;
};

}  // namespace platform::user
