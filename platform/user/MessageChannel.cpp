// The socket side of cross-process window messages. Sockets live in the abstract Unix
// namespace ("handset-windows-<pid>"), so no file is left behind by a process that dies and
// a process that has ended cannot be reached by mistake. One connection carries one request
// and its answer. The listener reads every connection's request side by side, each with its
// own deadline, so that a peer that connects and then stalls holds up nobody else.
#include "platform/user/MessageChannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "platform/base/Errors.h"
#include "platform/user/MessageDelivery.h"
#include "platform/user/MessageWire.h"
#include "platform/user/Window.h"
#include "platform/user/WindowFocus.h"
#include "platform/user/WindowState.h"
#include "platform/user/WindowTable.h"

namespace platform::user::channel {

namespace {

// A peer whose request has not arrived whole this long after it connected is refused.
constexpr int kRequestReadTimeoutMs = 2000;
// Requests read at once; beyond that the one waiting longest is refused to make room, so a
// crowd of stalled peers cannot keep a new sender out.
constexpr std::size_t kMaxPendingRequests = 64;
// Posts and activation notices are answered by the listener at once.
constexpr int kQuickReplyTimeoutMs = 5000;

socklen_t AddressOf(DWORD processId, sockaddr_un& address) {
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    std::string name = "handset-windows-" + std::to_string(processId);
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = send(fd, data, size, MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads until `buffer` holds `wanted` bytes; false when the peer closes, fails or the
// deadline passes.
bool ReadUpTo(int fd, std::vector<std::uint8_t>& buffer, std::size_t wanted, long long deadline) {
    while (buffer.size() < wanted) {
        int remaining = RemainingMs(true, deadline);
        if (remaining == 0) return false;
        pollfd ready{fd, POLLIN, 0};
        int polled = poll(&ready, 1, remaining);
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) return false;
        std::uint8_t chunk[4096];
        std::size_t asked = std::min(sizeof(chunk), wanted - buffer.size());
        ssize_t got = recv(fd, chunk, asked, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        buffer.insert(buffer.end(), chunk, chunk + got);
    }
    return true;
}

void Answer(int fd, wire::ReplyStatus status, LRESULT result) {
    auto bytes = wire::EncodeReply({status, result});
    WriteAll(fd, bytes.data(), bytes.size());
    close(fd);
}

// Answers "delivered" before a post or notice reaches the window's thread (see
// ConfirmHandOver), without waiting: the window system's lock is held, and a reply this small
// always fits a connection that has carried nothing back yet. A sender that cannot be
// answered gets nothing handed over. The connection is closed in any case.
void AnswerOnHandOver(int fd, const std::function<void(const ConfirmHandOver&)>& handOver) {
    const auto bytes = wire::EncodeReply({wire::ReplyStatus::Delivered, 0});
    bool confirmed = false;
    handOver([&] {
        confirmed = true;
        return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT) ==
               static_cast<ssize_t>(bytes.size());
    });
    if (confirmed)
        close(fd);
    else
        Answer(fd, wire::ReplyStatus::NoWindow, 0);
}

HWND HandleOf(std::uint64_t value) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value)); }

void DeliverSend(int fd, std::shared_ptr<wire::Request> request) {
    HWND window = HandleOf(request->window);
    auto task = std::make_shared<SentTask>();
    task->run = [request, window](LRESULT& result) {
        if (!IsWindow(window)) return false;
        COPYDATASTRUCT copyData{};
        LPARAM lParam = static_cast<LPARAM>(request->lParam);
        if (request->hasCopyData) {
            copyData.dwData = static_cast<ULONG_PTR>(request->copyDataTag);
            copyData.cbData = static_cast<DWORD>(request->copyData.size());
            copyData.lpData = request->copyData.empty() ? nullptr : request->copyData.data();
            lParam = reinterpret_cast<LPARAM>(&copyData);
        }
        result = CallProcedure(window, request->message, static_cast<WPARAM>(request->wParam), lParam);
        return true;
    };
    task->finish = [fd](LRESULT result, bool delivered) {
        Answer(fd, delivered ? wire::ReplyStatus::Delivered : wire::ReplyStatus::NoWindow, result);
    };
    if (!QueueTaskForWindow(window, task)) Answer(fd, wire::ReplyStatus::NoWindow, 0);
}

void HandleRequest(int fd, std::shared_ptr<wire::Request> request) {
    HWND window = HandleOf(request->window);
    if (!IsOwnProcessHandle(window)) {
        Answer(fd, wire::ReplyStatus::NoWindow, 0);
        return;
    }
    UINT message = request->message;
    switch (request->kind) {
        case wire::RequestKind::Post:
            if (wire::MessageCarriesPointers(message, static_cast<LPARAM>(request->lParam))) {
                Answer(fd, wire::ReplyStatus::Refused, 0);
            } else {
                AnswerOnHandOver(fd, [&](const ConfirmHandOver& confirm) {
                    PostToLocalWindow(window, message, static_cast<WPARAM>(request->wParam),
                                      static_cast<LPARAM>(request->lParam), confirm);
                });
            }
            return;
        case wire::RequestKind::Send:
            if (message != WM_COPYDATA && wire::MessageCarriesPointers(message, static_cast<LPARAM>(request->lParam))) {
                Answer(fd, wire::ReplyStatus::Refused, 0);
                return;
            }
            DeliverSend(fd, request);
            return;
        case wire::RequestKind::Activate:
        case wire::RequestKind::Deactivate: {
            auto task = ActivationTask(window, request->kind == wire::RequestKind::Activate);
            AnswerOnHandOver(fd, [&](const ConfirmHandOver& confirm) { QueueTaskForWindow(window, task, confirm); });
            return;
        }
    }
    Answer(fd, wire::ReplyStatus::Refused, 0);
}

// A connection whose request is still arriving.
struct PendingRequest {
    int fd = -1;
    long long deadline = 0;
    std::vector<std::uint8_t> buffer;  // sized to what the frame is known to need
    std::size_t filled = 0;
};

enum class Progress { Waiting, Complete, Invalid, Closed };

// Reads what the peer has sent so far, without waiting; Complete fills `request`.
Progress ReadAvailable(PendingRequest& pending, wire::Request& request) {
    for (;;) {
        if (pending.filled < pending.buffer.size()) {
            ssize_t got = recv(pending.fd, pending.buffer.data() + pending.filled, pending.buffer.size() - pending.filled,
                               MSG_DONTWAIT);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return Progress::Waiting;
            if (got <= 0) return Progress::Closed;
            pending.filled += static_cast<std::size_t>(got);
            if (pending.filled < pending.buffer.size()) continue;
        }
        std::string error;
        std::size_t frameBytes = 0;
        switch (wire::DecodeRequest(pending.buffer.data(), pending.filled, request, frameBytes, error)) {
            case wire::DecodeStatus::Complete:
                return Progress::Complete;
            case wire::DecodeStatus::Invalid:
                return Progress::Invalid;
            case wire::DecodeStatus::NeedMore:
                // The decoder bounds a frame's size, copy data included.
                if (frameBytes <= pending.filled) return Progress::Invalid;
                pending.buffer.resize(frameBytes);
                break;
        }
    }
}

// Takes every connection that is waiting to be accepted; false when out of descriptors.
bool AcceptWaiting(int listenFd, std::vector<PendingRequest>& pending) {
    for (;;) {
        int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
        if (pending.size() >= kMaxPendingRequests) {
            auto oldest = std::min_element(pending.begin(), pending.end(), [](const auto& a, const auto& b) {
                return a.deadline < b.deadline;
            });
            Answer(oldest->fd, wire::ReplyStatus::Refused, 0);
            pending.erase(oldest);
        }
        PendingRequest added;
        added.fd = fd;
        added.deadline = SteadyNowMs() + kRequestReadTimeoutMs;
        added.buffer.resize(wire::kRequestHeaderBytes);
        pending.push_back(std::move(added));
    }
}

void ListenLoop(int listenFd) {
    std::vector<PendingRequest> pending;
    std::vector<pollfd> watched;
    for (;;) {
        // Peers out of time are refused; the nearest deadline bounds the wait.
        const long long now = SteadyNowMs();
        int timeout = -1;
        for (std::size_t i = pending.size(); i-- > 0;) {
            if (pending[i].deadline <= now) {
                Answer(pending[i].fd, wire::ReplyStatus::Refused, 0);
                pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            const int left = static_cast<int>(std::min<long long>(pending[i].deadline - now, kRequestReadTimeoutMs));
            timeout = timeout < 0 ? left : std::min(timeout, left);
        }
        watched.assign(1, pollfd{listenFd, POLLIN, 0});
        for (const PendingRequest& each : pending) watched.push_back(pollfd{each.fd, POLLIN, 0});
        if (poll(watched.data(), watched.size(), timeout) < 0) continue;  // EINTR; nothing else is expected
        // From the back, so that erasing keeps the earlier entries where `watched` has them.
        for (std::size_t i = pending.size(); i-- > 0;) {
            if (watched[i + 1].revents == 0) continue;
            auto request = std::make_shared<wire::Request>();
            const Progress progress = ReadAvailable(pending[i], *request);
            if (progress == Progress::Waiting) continue;
            const int fd = pending[i].fd;
            pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
            if (progress == Progress::Complete)
                HandleRequest(fd, request);
            else if (progress == Progress::Invalid)
                Answer(fd, wire::ReplyStatus::Refused, 0);
            else
                close(fd);
        }
        if ((watched[0].revents & POLLIN) != 0 && !AcceptWaiting(listenFd, pending)) {
            // Out of descriptors for a moment: the connections stay queued.
            poll(nullptr, 0, 10);
        }
    }
}

int Connect(DWORD processId) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_un address{};
    socklen_t length = AddressOf(processId, address);
    int connected;
    do {
        connected = connect(fd, reinterpret_cast<sockaddr*>(&address), length);
    } while (connected < 0 && errno == EINTR);
    if (connected < 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool WindowGone(HWND window) {
    window_table::PurgeIfEnded(ProcessOfHandle(window));
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

bool ApplyReply(const wire::Reply& reply, LRESULT* result) {
    switch (reply.status) {
        case wire::ReplyStatus::Delivered:
            if (result) *result = static_cast<LRESULT>(reply.result);
            return true;
        case wire::ReplyStatus::NoWindow:
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return false;
        case wire::ReplyStatus::Refused:
            break;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

// Posts and notices: the listener answers at once, so no messages are served meanwhile.
bool QuickExchange(HWND window, const wire::Request& request) {
    int fd = Connect(ProcessOfHandle(window));
    if (fd < 0) return WindowGone(window);
    std::vector<std::uint8_t> bytes = wire::EncodeRequest(request);
    std::vector<std::uint8_t> answer;
    bool exchanged = WriteAll(fd, bytes.data(), bytes.size()) &&
                     ReadUpTo(fd, answer, wire::kReplyBytes, SteadyNowMs() + kQuickReplyTimeoutMs);
    close(fd);
    if (!exchanged) return WindowGone(window);
    wire::Reply reply;
    std::string error;
    if (wire::DecodeReply(answer.data(), answer.size(), reply, error) != wire::DecodeStatus::Complete) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    return ApplyReply(reply, nullptr);
}

}  // namespace

void EnsureListening() {
    static std::once_flag started;
    std::call_once(started, [] {
        // Non-blocking, so that the listener takes every queued connection and then returns
        // to serving the ones it has.
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) return;
        sockaddr_un address{};
        socklen_t length = AddressOf(static_cast<DWORD>(getpid()), address);
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd, 64) != 0) {
            // Without a listener the windows work within the process; other processes'
            // messages to them fail as for a window that is gone.
            close(fd);
            return;
        }
        try {
            std::thread(ListenLoop, fd).detach();
        } catch (const std::system_error& failure) {
            std::fprintf(stderr,
                         "windows: the thread that takes other processes' messages cannot start (%s); this "
                         "process's windows are reached only from within it.\n",
                         failure.what());
            close(fd);
        }
    });
}

bool PostToProcess(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    wire::Request request;
    request.kind = wire::RequestKind::Post;
    request.window = reinterpret_cast<std::uintptr_t>(window);
    request.message = message;
    request.wParam = wParam;
    request.lParam = lParam;
    return QuickExchange(window, request);
}

bool NotifyActivation(HWND window, bool active) {
    wire::Request request;
    request.kind = active ? wire::RequestKind::Activate : wire::RequestKind::Deactivate;
    request.window = reinterpret_cast<std::uintptr_t>(window);
    return QuickExchange(window, request);
}

bool SendToProcess(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs, LRESULT* result) {
    wire::Request request;
    request.kind = wire::RequestKind::Send;
    request.window = reinterpret_cast<std::uintptr_t>(window);
    request.message = message;
    request.wParam = wParam;
    request.lParam = lParam;
    if (message == WM_COPYDATA) {
        const auto* copyData = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (copyData == nullptr || copyData->cbData > wire::kMaxCopyDataBytes ||
            (copyData->cbData > 0 && copyData->lpData == nullptr)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        request.lParam = 0;
        request.hasCopyData = true;
        request.copyDataTag = copyData->dwData;
        const auto* bytes = static_cast<const std::uint8_t*>(copyData->lpData);
        request.copyData.assign(bytes, bytes + copyData->cbData);
    } else if (wire::MessageCarriesPointers(message, lParam)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }

    int fd = Connect(ProcessOfHandle(window));
    if (fd < 0) return WindowGone(window);
    std::vector<std::uint8_t> bytes = wire::EncodeRequest(request);
    if (!WriteAll(fd, bytes.data(), bytes.size())) {
        close(fd);
        return WindowGone(window);
    }
    // While the other process works, this thread serves what is sent to it, so that two
    // processes sending to each other cannot deadlock.
    auto queue = CurrentQueue();
    bool hasDeadline = timeoutMs != INFINITE;
    long long deadline = SteadyNowMs() + (hasDeadline ? timeoutMs : 0);
    std::vector<std::uint8_t> answer;
    for (;;) {
        RunSentTasks(*queue);
        int remaining = RemainingMs(hasDeadline, deadline);
        if (hasDeadline && remaining == 0) {
            close(fd);
            SetLastError(ERROR_TIMEOUT);
            return false;
        }
        if (!queue->Wait(remaining, fd)) continue;
        std::uint8_t chunk[wire::kReplyBytes];
        ssize_t got = recv(fd, chunk, wire::kReplyBytes - answer.size(), MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
        if (got <= 0) {
            close(fd);
            return WindowGone(window);
        }
        answer.insert(answer.end(), chunk, chunk + got);
        if (answer.size() == wire::kReplyBytes) break;
    }
    close(fd);
    wire::Reply reply;
    std::string error;
    if (wire::DecodeReply(answer.data(), answer.size(), reply, error) != wire::DecodeStatus::Complete) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    return ApplyReply(reply, result);
}

}  // namespace platform::user::channel
