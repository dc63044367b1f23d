// Posting and sending: to a window of the calling thread, of another thread of this
// process, or of another process; and the sent work that a thread serves while it pumps or
// waits for an answer of its own.
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/base/WideString.h"
#include "platform/sync/Thread.h"
#include "platform/user/Message.h"
#include "platform/user/MessageChannel.h"
#include "platform/user/MessageDelivery.h"
#include "platform/user/MessageWire.h"
#include "platform/user/Window.h"
#include "platform/user/WindowState.h"
#include "platform/user/WindowTable.h"

namespace platform::user {

namespace {

// What a waiting sender learns from the thread that ran its work.
struct SendOutcome {
    bool done = false;
    bool delivered = false;
    LRESULT result = 0;
};

bool WindowExistsLocally(HWND window) {
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    return FindLocked(system, window) != nullptr;
}

// The work of a message sent to another thread. Pointer payloads that the receiver reads are
// copied, so that a sender that gives up waiting leaves nothing dangling behind.
std::function<LRESULT()> MessageWork(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA && lParam != 0) {
        const auto* source = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto* bytes = static_cast<const std::uint8_t*>(source->lpData);
        auto payload = std::make_shared<std::vector<std::uint8_t>>();
        if (bytes != nullptr) payload->assign(bytes, bytes + source->cbData);
        ULONG_PTR tag = source->dwData;
        return [=] {
            COPYDATASTRUCT copy{tag, static_cast<DWORD>(payload->size()), payload->empty() ? nullptr : payload->data()};
            return CallProcedure(window, message, wParam, reinterpret_cast<LPARAM>(&copy));
        };
    }
    if (message == WM_SETTEXT && lParam != 0) {
        auto text = std::make_shared<std::u16string>(reinterpret_cast<LPCWSTR>(lParam));
        return [=] { return CallProcedure(window, message, wParam, reinterpret_cast<LPARAM>(text->c_str())); };
    }
    return [=] { return CallProcedure(window, message, wParam, lParam); };
}

// Messages whose procedure writes into the sender's memory must be waited for to the end.
bool MustWaitToTheEnd(UINT message, LPARAM lParam) {
    return message != WM_COPYDATA && message != WM_SETTEXT && wire::MessageCarriesPointers(message, lParam);
}

bool SendCore(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs, LRESULT* result) {
    *result = 0;
    if (window == nullptr || window == DesktopHandle()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (!IsOwnProcessHandle(window)) return channel::SendToProcess(window, message, wParam, lParam, timeoutMs, result);
    if (MustWaitToTheEnd(message, lParam)) timeoutMs = INFINITE;
    return RunOnWindowThread(window, MessageWork(window, message, wParam, lParam), timeoutMs, result);
}

}  // namespace

long long SteadyNowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int RemainingMs(bool hasDeadline, long long deadlineMs) {
    if (!hasDeadline) return -1;
    long long left = deadlineMs - SteadyNowMs();
    if (left <= 0) return 0;
    return left > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(left);
}

void RunSentTasks(MessageQueue& queue) {
    WindowSystem& system = System();
    for (;;) {
        std::shared_ptr<SentTask> task;
        {
            std::lock_guard<std::mutex> guard(system.mutex);
            if (queue.sent.empty()) return;
            task = queue.sent.front();
            queue.sent.pop_front();
        }
        LRESULT result = 0;
        bool delivered = task->run(result);
        task->finish(result, delivered);
    }
}

bool RunOnWindowThread(HWND window, std::function<LRESULT()> work, DWORD timeoutMs, LRESULT* result) {
    WindowSystem& system = System();
    DWORD owner = 0;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindOrFailLocked(system, window);
        if (!record) return false;
        owner = record->threadId;
    }
    if (owner == GetCurrentThreadId()) {
        *result = work();
        return true;
    }

    auto sender = CurrentQueue();
    auto outcome = std::make_shared<SendOutcome>();
    auto task = std::make_shared<SentTask>();
    task->run = [window, work](LRESULT& value) {
        if (!WindowExistsLocally(window)) return false;
        value = work();
        return true;
    };
    task->finish = [outcome, sender](LRESULT value, bool delivered) {
        {
            std::lock_guard<std::mutex> guard(System().mutex);
            outcome->done = true;
            outcome->delivered = delivered;
            outcome->result = value;
        }
        sender->Wake();
    };
    if (!QueueTaskForWindow(window, task)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    bool hasDeadline = timeoutMs != INFINITE;
    long long deadline = SteadyNowMs() + (hasDeadline ? timeoutMs : 0);
    for (;;) {
        RunSentTasks(*sender);
        {
            std::lock_guard<std::mutex> guard(system.mutex);
            if (outcome->done) break;
        }
        int remaining = RemainingMs(hasDeadline, deadline);
        if (hasDeadline && remaining == 0) {
            SetLastError(ERROR_TIMEOUT);
            return false;
        }
        sender->Wait(remaining);
    }
    if (!outcome->delivered) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    *result = outcome->result;
    return true;
}

}  // namespace platform::user

using namespace platform::user;

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (wire::MessageCarriesPointers(message, lParam)) {
        SetLastError(ERROR_MESSAGE_SYNC_ONLY);
        return FALSE;
    }
    if (window == nullptr) {
        CurrentQueue();  // a thread that posts to itself has a queue from then on
        return PostThreadMessageW(GetCurrentThreadId(), message, wParam, lParam);
    }
    if (IsOwnProcessHandle(window)) {
        if (PostToLocalWindow(window, message, wParam, lParam)) return TRUE;
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (window == DesktopHandle()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return channel::PostToProcess(window, message, wParam, lParam) ? TRUE : FALSE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    if (wire::MessageCarriesPointers(message, lParam)) {
        SetLastError(ERROR_MESSAGE_SYNC_ONLY);
        return FALSE;
    }
    WindowSystem& system = System();
    std::shared_ptr<MessageQueue> queue;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        queue = QueueOfThreadLocked(system, threadId);
        if (!queue || !queue->alive) {
            SetLastError(ERROR_INVALID_THREAD_ID);
            return FALSE;
        }
        MSG posted{};
        posted.message = message;
        posted.wParam = wParam;
        posted.lParam = lParam;
        queue->PostLocked(posted);
    }
    queue->Wake();
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    auto queue = CurrentQueue();
    {
        std::lock_guard<std::mutex> guard(System().mutex);
        queue->quitPending = true;
        queue->quitCode = exitCode;
    }
    queue->Wake();
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    SendCore(window, message, wParam, lParam, INFINITE, &result);
    return result;
}

LRESULT SendMessageTimeoutW(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT, UINT timeout,
                            DWORD_PTR* result) {
    LRESULT value = 0;
    bool sent = SendCore(window, message, wParam, lParam, timeout, &value);
    if (result != nullptr) *result = sent ? static_cast<DWORD_PTR>(value) : 0;
    return sent ? 1 : 0;
}
