// Registry-change watches: each keeps the value it last saw and the key's change counter,
// and is looked at from the message pumps.
#include "platform/shell/RegistryNotify.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/registry/Registry.h"
#include "platform/user/Message.h"
#include "platform/user/MsgQueue.h"

namespace {

struct SeenValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;

    bool operator==(const SeenValue& other) const {
        return exists == other.exists && type == other.type && bytes == other.bytes;
    }
};

struct Watch {
    HKEY root = nullptr;
    std::u16string subKey;
    std::u16string valueName;
    REG_COMPARISONTYPE comparison = REG_CT_ANYCHANGE;
    DWORD mask = 0xFFFFFFFF;
    DWORD targetNumber = 0;
    std::u16string targetText;
    REGISTRYNOTIFYCALLBACK callback = nullptr;
    HANDLE queue = nullptr;  // a write end
    DWORD userData = 0;
    ULONGLONG counter = 0;
    SeenValue seen;
};

std::recursive_mutex watchesLock;
std::map<ULONG_PTR, Watch>& Watches() {
    static auto* watches = new std::map<ULONG_PTR, Watch>;
    return *watches;
}
ULONG_PTR nextHandle = 0x5200;
int failedCloses = 0;
DWORD lastPollTick = 0;
bool polledOnce = false;

SeenValue ReadValue(const Watch& watch) {
    SeenValue value;
    HKEY key = nullptr;
    const LPCWSTR subKey = watch.subKey.empty() ? nullptr : watch.subKey.c_str();
    if (RegOpenKeyExW(watch.root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return value;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, watch.valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        if (RegQueryValueExW(key, watch.valueName.c_str(), nullptr, &type, value.bytes.data(), &size) ==
            ERROR_SUCCESS) {
            value.bytes.resize(size);
            value.exists = true;
            value.type = type;
        } else {
            value.bytes.clear();
        }
    }
    RegCloseKey(key);
    return value;
}

bool IsNumber(const SeenValue& value) { return value.exists && value.type == REG_DWORD && value.bytes.size() == 4; }

DWORD Number(const SeenValue& value) {
    DWORD number = 0;
    std::memcpy(&number, value.bytes.data(), 4);
    return number;
}

std::u16string Folded(const SeenValue& value) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value.bytes.size(); i += 2) {
        auto c = static_cast<char16_t>(value.bytes[i] | (value.bytes[i + 1] << 8));
        if (c == 0) break;
        text += c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    }
    return text;
}

std::u16string Folded(std::u16string text) {
    for (auto& c : text)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return text;
}

// What the condition sees of a value: a masked number, else the raw value.
SeenValue Masked(const Watch& watch, SeenValue value) {
    if (IsNumber(value)) {
        const DWORD number = Number(value) & watch.mask;
        std::memcpy(value.bytes.data(), &number, 4);
    }
    return value;
}

bool Holds(const Watch& watch, const SeenValue& value) {
    if (watch.comparison == REG_CT_ANYCHANGE) return true;
    if (!value.exists) return false;
    if (IsNumber(value)) {
        const DWORD number = Number(value);
        switch (watch.comparison) {
            case REG_CT_EQUAL: return number == watch.targetNumber;
            case REG_CT_NOT_EQUAL: return number != watch.targetNumber;
            case REG_CT_GREATER: return number > watch.targetNumber;
            case REG_CT_GREATER_OR_EQUAL: return number >= watch.targetNumber;
            case REG_CT_LESS: return number < watch.targetNumber;
            case REG_CT_LESS_OR_EQUAL: return number <= watch.targetNumber;
            default: return false;
        }
    }
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return false;
    const std::u16string text = Folded(value);
    const std::u16string& target = watch.targetText;
    switch (watch.comparison) {
        case REG_CT_EQUAL: return text == target;
        case REG_CT_NOT_EQUAL: return text != target;
        case REG_CT_GREATER: return text > target;
        case REG_CT_GREATER_OR_EQUAL: return text >= target;
        case REG_CT_LESS: return text < target;
        case REG_CT_LESS_OR_EQUAL: return text <= target;
        case REG_CT_CONTAINS: return text.find(target) != std::u16string::npos;
        case REG_CT_STARTS_WITH: return text.compare(0, target.size(), target) == 0;
        case REG_CT_ENDS_WITH:
            return text.size() >= target.size() && text.compare(text.size() - target.size(), target.size(), target) == 0;
        default: return false;
    }
}

void PutWord(std::vector<BYTE>& out, DWORD word) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(word >> (8 * i)));
}

struct Delivery {
    ULONG_PTR handle;
    REGISTRYNOTIFYCALLBACK callback;
    HANDLE queue;
    DWORD userData;
    SeenValue value;
};

void Deliver(const Delivery& delivery) {
    const SeenValue& value = delivery.value;
    if (delivery.callback != nullptr) {
        delivery.callback(reinterpret_cast<HREGNOTIFY>(delivery.handle), delivery.userData,
                          value.bytes.empty() ? nullptr : value.bytes.data(), static_cast<UINT>(value.bytes.size()));
        return;
    }
    const DWORD room = kRegistryNotifyMessageBytes - kRegistryNotifyHeaderBytes;
    const auto size = static_cast<DWORD>(value.bytes.size() < room ? value.bytes.size() : room);
    std::vector<BYTE> message;
    message.reserve(kRegistryNotifyHeaderBytes + size);
    PutWord(message, static_cast<DWORD>(delivery.handle));
    PutWord(message, delivery.userData);
    PutWord(message, size);
    message.insert(message.end(), value.bytes.begin(), value.bytes.begin() + size);
    // A full queue or one the program no longer reads loses the news, as on the handset.
    platform::PostToMsgQueue(delivery.queue, message.data(), static_cast<DWORD>(message.size()));
}

void PollAll() {
    std::vector<Delivery> due;
    {
        std::lock_guard<std::recursive_mutex> guard(watchesLock);
        for (auto& [handle, watch] : Watches()) {
            const ULONGLONG counter =
                platform::registry::ChangeCounter(watch.root, watch.subKey.empty() ? nullptr : watch.subKey.c_str());
            if (counter == watch.counter) continue;
            watch.counter = counter;
            SeenValue now = ReadValue(watch);
            const bool changed = !(Masked(watch, now) == Masked(watch, watch.seen));
            watch.seen = now;
            if (!changed || !Holds(watch, Masked(watch, now))) continue;
            due.push_back(Delivery{handle, watch.callback, watch.queue, watch.userData, now});
        }
    }
    // Outside the lock: a callback may register or close watches.
    for (const Delivery& delivery : due) Deliver(delivery);
}

void PumpHook() {
    {
        std::lock_guard<std::recursive_mutex> guard(watchesLock);
        const DWORD now = GetTickCount();
        if (polledOnce && now - lastPollTick < kRegistryPollMs) return;
        polledOnce = true;
        lastPollTick = now;
    }
    PollAll();
}

HRESULT Register(HKEY root, LPCWSTR subKey, LPCWSTR valueName, const NOTIFICATIONCONDITION* condition, Watch watch,
                 HREGNOTIFY* notify) {
    if (root == nullptr || valueName == nullptr || notify == nullptr) return E_INVALIDARG;
    if (condition != nullptr && condition->ctComparisonType > REG_CT_ENDS_WITH) return E_INVALIDARG;
    watch.root = root;
    if (subKey != nullptr) watch.subKey = subKey;
    watch.valueName = valueName;
    if (condition != nullptr) {
        watch.comparison = condition->ctComparisonType;
        watch.mask = condition->dwMask;
        watch.targetNumber = condition->TargetValue.dw;
        const bool textual = condition->ctComparisonType >= REG_CT_CONTAINS;
        if (textual && condition->TargetValue.psz == nullptr) return E_INVALIDARG;
        if (textual) watch.targetText = Folded(std::u16string(condition->TargetValue.psz));
    }
    watch.counter = platform::registry::ChangeCounter(root, subKey);
    watch.seen = ReadValue(watch);
    std::lock_guard<std::recursive_mutex> guard(watchesLock);
    const ULONG_PTR handle = nextHandle++;
    Watches()[handle] = std::move(watch);
    *notify = reinterpret_cast<HREGNOTIFY>(handle);
    platform::AddMessagePumpHook(PumpHook);
    return S_OK;
}

}  // namespace

HRESULT RegistryNotifyMsgQueue(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPCWSTR queueName, DWORD userData,
                               const NOTIFICATIONCONDITION* condition, HREGNOTIFY* notify) {
    if (queueName == nullptr || queueName[0] == 0 || root == nullptr || valueName == nullptr || notify == nullptr)
        return E_INVALIDARG;
    MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 0, kRegistryNotifyMessageBytes, FALSE};
    HANDLE queue = CreateMsgQueue(queueName, &options);
    if (queue == nullptr) return E_INVALIDARG;
    Watch watch;
    watch.queue = queue;
    watch.userData = userData;
    const HRESULT result = Register(root, subKey, valueName, condition, std::move(watch), notify);
    if (FAILED(result)) CloseMsgQueue(queue);
    return result;
}

HRESULT RegistryNotifyCallback(HKEY root, LPCWSTR subKey, LPCWSTR valueName, REGISTRYNOTIFYCALLBACK callback,
                               DWORD userData, const NOTIFICATIONCONDITION* condition, HREGNOTIFY* notify) {
    if (callback == nullptr) return E_INVALIDARG;
    Watch watch;
    watch.callback = callback;
    watch.userData = userData;
    return Register(root, subKey, valueName, condition, std::move(watch), notify);
}

HRESULT RegistryGetDWORD(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD* data) {
    if (root == nullptr || valueName == nullptr || data == nullptr) return E_INVALIDARG;
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS) return HRESULT_FROM_WIN32(result);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    result = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (result == ERROR_SUCCESS && (type != REG_DWORD || size != sizeof value)) result = ERROR_INVALID_DATA;
    if (result != ERROR_SUCCESS) return HRESULT_FROM_WIN32(result);
    *data = value;
    return S_OK;
}

HRESULT RegistryCloseNotification(HREGNOTIFY notify) {
    HANDLE queue = nullptr;
    {
        std::lock_guard<std::recursive_mutex> guard(watchesLock);
        auto found = Watches().find(reinterpret_cast<ULONG_PTR>(notify));
        if (found == Watches().end()) {
            ++failedCloses;
            return E_INVALIDARG;
        }
        queue = found->second.queue;
        Watches().erase(found);
    }
    if (queue != nullptr) CloseMsgQueue(queue);
    return S_OK;
}

namespace platform::shell {

void PollRegistryNotifications() { PollAll(); }

int OpenRegistryNotifications() {
    std::lock_guard<std::recursive_mutex> guard(watchesLock);
    return static_cast<int>(Watches().size());
}

int FailedNotificationCloses() {
    std::lock_guard<std::recursive_mutex> guard(watchesLock);
    return failedCloses;
}

}  // namespace platform::shell
