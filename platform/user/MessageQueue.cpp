// Waking a queue's thread: an eventfd that the thread polls (together with a socket while
// it waits for another process's answer), and the queue's signal for kernel-object waits.
#include "platform/user/MessageQueue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

namespace platform::user {

void QueueSignal::Raise() {
    auto lock = LockWaitState();
    raised_ = true;
    SignalLocked();
}

void QueueSignal::Lower() {
    auto lock = LockWaitState();
    raised_ = false;
}

MessageQueue::MessageQueue(DWORD threadId) : threadId_(threadId) {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    signal_ = new QueueSignal;
}

MessageQueue::~MessageQueue() {
    if (wakeFd_ >= 0) close(wakeFd_);
    signal_->ReleaseHandleRef();
}

void MessageQueue::PostLocked(const MSG& message) { posted.push_back({message, nextSequence++}); }

void MessageQueue::PostFrontLocked(const MSG& message) { posted.push_front({message, nextSequence++}); }

void MessageQueue::Wake() {
    if (wakeFd_ >= 0) {
        std::uint64_t one = 1;
        ssize_t written;
        do {
            written = write(wakeFd_, &one, sizeof(one));
        } while (written < 0 && errno == EINTR);
    }
    signal_->Raise();
}

bool MessageQueue::Wait(int timeoutMs, int extraFd) {
    // Without an eventfd (out of descriptors) the thread looks again every few milliseconds.
    if (wakeFd_ < 0 && (timeoutMs < 0 || timeoutMs > 10)) timeoutMs = 10;
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {extraFd, POLLIN, 0}};
    nfds_t count = extraFd >= 0 ? 2 : 1;
    int ready;
    do {
        ready = poll(fds, count, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready > 0 && (fds[0].revents & POLLIN)) {
        std::uint64_t drained;
        while (read(wakeFd_, &drained, sizeof(drained)) > 0) {
        }
    }
    return ready > 0 && count == 2 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

}  // namespace platform::user
