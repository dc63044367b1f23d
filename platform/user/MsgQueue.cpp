// Message queues: a buffer of messages shared by its ends, and the table of names.
#include "platform/user/MsgQueue.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"

namespace {

struct QueueMessage {
    std::vector<BYTE> bytes;
    bool alert = false;
};

struct QueueBuffer {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<QueueMessage> messages;
    DWORD flags = 0;
    DWORD maxMessages = 0;
    DWORD maxMessageBytes = 0;
    int readers = 0;
    int writers = 0;
    std::u16string name;

    bool Broken(bool forReader) const {
        if ((flags & MSGQUEUE_ALLOW_BROKEN) != 0) return false;
        return forReader ? writers == 0 : readers == 0;
    }
    bool Full() const { return maxMessages != 0 && messages.size() >= maxMessages; }
};

std::mutex namesLock;
std::map<std::u16string, std::weak_ptr<QueueBuffer>>& Names() {
    static auto* names = new std::map<std::u16string, std::weak_ptr<QueueBuffer>>;
    return *names;
}

class QueueEnd : public platform::KernelObject {
public:
    QueueEnd(std::shared_ptr<QueueBuffer> buffer, bool reader) : buffer_(std::move(buffer)), reader_(reader) {
        std::lock_guard<std::mutex> guard(buffer_->lock);
        (reader_ ? buffer_->readers : buffer_->writers) += 1;
    }
    ~QueueEnd() override {
        {
            std::lock_guard<std::mutex> guard(buffer_->lock);
            (reader_ ? buffer_->readers : buffer_->writers) -= 1;
        }
        buffer_->changed.notify_all();
        if (!buffer_->name.empty()) {
            std::lock_guard<std::mutex> guard(namesLock);
            auto found = Names().find(buffer_->name);
            // Dropped with the last end: a later create starts a fresh queue.
            if (found != Names().end() && found->second.use_count() <= 1) Names().erase(found);
        }
    }

    QueueBuffer& Buffer() { return *buffer_; }
    const std::shared_ptr<QueueBuffer>& Shared() const { return buffer_; }
    bool Reader() const { return reader_; }

private:
    std::shared_ptr<QueueBuffer> buffer_;
    bool reader_;
};

template <typename Predicate>
bool WaitFor(QueueBuffer& buffer, std::unique_lock<std::mutex>& held, DWORD milliseconds, Predicate ready) {
    if (ready()) return true;
    if (milliseconds == 0) return false;
    if (milliseconds == INFINITE) {
        buffer.changed.wait(held, ready);
        return true;
    }
    return buffer.changed.wait_for(held, std::chrono::milliseconds(milliseconds), ready);
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL Put(QueueBuffer& buffer, const void* data, DWORD bytes, DWORD milliseconds, DWORD flags, bool fromSystem) {
    if (bytes > buffer.maxMessageBytes) return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (bytes != 0 && data == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    {
        std::unique_lock<std::mutex> held(buffer.lock);
        if (!fromSystem && buffer.Broken(false)) return Fail(ERROR_PIPE_NOT_CONNECTED);
        if (!WaitFor(buffer, held, fromSystem ? 0 : milliseconds, [&] { return !buffer.Full(); }))
            return Fail(ERROR_TIMEOUT);
        QueueMessage message;
        message.bytes.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + bytes);
        message.alert = (flags & MSGQUEUE_MSGALERT) != 0;
        if (message.alert) {
            // Alerts go before the ordinary messages but after earlier alerts.
            auto place = buffer.messages.begin();
            while (place != buffer.messages.end() && place->alert) ++place;
            buffer.messages.insert(place, std::move(message));
        } else {
            buffer.messages.push_back(std::move(message));
        }
    }
    buffer.changed.notify_all();
    return TRUE;
}

}  // namespace

HANDLE CreateMsgQueue(LPCWSTR name, const MSGQUEUEOPTIONS* options) {
    if (options == nullptr || options->dwSize != sizeof(MSGQUEUEOPTIONS) || options->cbMaxMessage == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::u16string key = name != nullptr ? std::u16string(name) : std::u16string();
    if (key.size() > MAX_PATH) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<QueueBuffer> buffer;
    bool existed = false;
    {
        std::lock_guard<std::mutex> guard(namesLock);
        if (!key.empty()) {
            auto found = Names().find(key);
            if (found != Names().end()) buffer = found->second.lock();
        }
        existed = buffer != nullptr;
        if (!existed) {
            buffer = std::make_shared<QueueBuffer>();
            buffer->flags = options->dwFlags;
            buffer->maxMessages = options->dwMaxMessages;
            buffer->maxMessageBytes = options->cbMaxMessage;
            buffer->name = key;
            if (!key.empty()) Names()[key] = buffer;
        }
    }
    HANDLE handle = platform::RegisterKernelObject(new QueueEnd(buffer, options->bReadAccess != FALSE));
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReadMsgQueue(HANDLE queue, LPVOID buffer, DWORD bufferBytes, LPDWORD bytesRead, DWORD milliseconds,
                  DWORD* flags) {
    platform::KernelObjectRef<QueueEnd> end(queue);
    if (!end) return Fail(ERROR_INVALID_HANDLE);
    if (!end->Reader()) return Fail(ERROR_ACCESS_DENIED);
    if (buffer == nullptr && bufferBytes != 0) return Fail(ERROR_INVALID_PARAMETER);
    QueueBuffer& shared = end->Buffer();
    std::unique_lock<std::mutex> held(shared.lock);
    if (shared.messages.empty() && shared.Broken(true)) return Fail(ERROR_PIPE_NOT_CONNECTED);
    if (!WaitFor(shared, held, milliseconds, [&] { return !shared.messages.empty(); })) return Fail(ERROR_TIMEOUT);
    QueueMessage& message = shared.messages.front();
    const auto size = static_cast<DWORD>(message.bytes.size());
    if (bytesRead != nullptr) *bytesRead = size;
    if (size > bufferBytes) return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (size != 0) std::copy(message.bytes.begin(), message.bytes.end(), static_cast<BYTE*>(buffer));
    if (flags != nullptr) *flags = message.alert ? MSGQUEUE_MSGALERT : 0;
    shared.messages.pop_front();
    held.unlock();
    shared.changed.notify_all();
    return TRUE;
}

BOOL WriteMsgQueue(HANDLE queue, LPCVOID data, DWORD bytes, DWORD milliseconds, DWORD flags) {
    platform::KernelObjectRef<QueueEnd> end(queue);
    if (!end) return Fail(ERROR_INVALID_HANDLE);
    if (end->Reader()) return Fail(ERROR_ACCESS_DENIED);
    return Put(end->Buffer(), data, bytes, milliseconds, flags, false);
}

BOOL CloseMsgQueue(HANDLE queue) {
    if (!platform::KernelObjectRef<QueueEnd>(queue)) return Fail(ERROR_INVALID_HANDLE);
    return CloseHandle(queue);
}

namespace platform {

BOOL PostToMsgQueue(HANDLE queue, const void* data, DWORD bytes) {
    KernelObjectRef<QueueEnd> end(queue);
    if (!end) return Fail(ERROR_INVALID_HANDLE);
    return Put(end->Buffer(), data, bytes, 0, 0, true);
}

HANDLE OpenMsgQueueWriter(HANDLE queue) {
    KernelObjectRef<QueueEnd> end(queue);
    if (!end) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return RegisterKernelObject(new QueueEnd(end->Shared(), false));
}

}  // namespace platform
