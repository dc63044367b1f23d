// The TV-out monitor's queue, notifications and message handling.
#include "game/flow/devices/TvOutMonitor.h"

#include <algorithm>
#include <vector>

#include "engine/core/memory/EngineLog.h"
#include "game/flow/devices/FramePacer.h"
#include "game/flow/devices/TvOutRate.h"
#include "platform/registry/Registry.h"
#include "platform/shell/RegistryNotify.h"
#include "platform/user/MsgQueue.h"

namespace {

constexpr const WCHAR* kPeripheralKey = u"Drivers\\BuiltIn\\PeripheralDet";
constexpr DWORD kQueueSize = 20;

// The queue and the two notifications, cleared at each start.
struct TvOutHandles {
    HANDLE queue = nullptr;
    HREGNOTIFY enabled = nullptr;
    HREGNOTIFY videoMode = nullptr;
};

TvOutHandles handles;
std::vector<BYTE> messageBuffer;
DWORD videoMode = 0;

DWORD Word(const BYTE* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

bool QueueValid() { return handles.queue != nullptr && handles.queue != INVALID_HANDLE_VALUE; }

}  // namespace

bool ApplyTvOutMessage(const BYTE* message, DWORD bytes) {
    constexpr DWORD kHeaderBytes = 12;
    if (message == nullptr || bytes < kHeaderBytes + 4) return false;
    const DWORD userValue = Word(message + 4);
    const DWORD dataBytes = Word(message + 8);
    if (dataBytes < 4 || dataBytes > bytes - kHeaderBytes) return false;
    const DWORD value = Word(message + kHeaderBytes);
    if (userValue == kTvOutEnabledUserValue)
        SetTvOutEnabled(value != 0);
    else if (userValue == kTvOutVideoModeUserValue)
        videoMode = value;
    else
        return false;
    UpdateTvOutFrameRate(static_cast<int>(videoMode > 0x7FFFFFFF ? 0x7FFFFFFF : videoMode));
    return true;
}

bool StartTvOutMonitor() {
    handles = TvOutHandles{};
    messageBuffer.assign(kTvOutMessageBytes, 0);
    const MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 0, kTvOutMessageBytes, TRUE};
    handles.queue = CreateMsgQueue(kTvOutQueueName, &options);
    bool ok = QueueValid();
    ok = SUCCEEDED(RegistryNotifyMsgQueue(HKEY_LOCAL_MACHINE, kPeripheralKey, u"TVOutIsEnabled", kTvOutQueueName,
                                          kTvOutEnabledUserValue, nullptr, &handles.enabled)) &&
         ok;
    ok = SUCCEEDED(RegistryNotifyMsgQueue(HKEY_LOCAL_MACHINE, kPeripheralKey, u"VideoMode", kTvOutQueueName,
                                          kTvOutVideoModeUserValue, nullptr, &handles.videoMode)) &&
         ok;
    DWORD enabled = 0;
    ok = SUCCEEDED(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kPeripheralKey, u"TVOutIsEnabled", &enabled)) && ok;
    SetTvOutEnabled(enabled != 0);
    DWORD mode = 0;
    ok = SUCCEEDED(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kPeripheralKey, u"VideoMode", &mode)) && ok;
    videoMode = mode;
    UpdateTvOutFrameRate(static_cast<int>(videoMode > 0x7FFFFFFF ? 0x7FFFFFFF : videoMode));
    return ok;
}

void DrainTvOutQueue() {
    if (!QueueValid() || messageBuffer.size() < kTvOutMessageBytes) return;
    const DWORD rateBefore = GetTvOutFrameRate();
    DWORD read = 0;
    DWORD flags = 0;
    while (ReadMsgQueue(handles.queue, messageBuffer.data(), kTvOutMessageBytes, &read, 0, &flags)) {
        ApplyTvOutMessage(messageBuffer.data(), read);
        std::fill(messageBuffer.begin(), messageBuffer.end(), BYTE{0});
    }
    const DWORD rate = GetTvOutFrameRate();
    if (rate == rateBefore) return;
    if (rate == kNoFrameCap)
        LogWrite("TV-out off: no frame cap", "TvOut", 0);
    else
        LogWrite("TV-out on, video mode %u: %u frames a second", "TvOut", 0, static_cast<unsigned>(videoMode),
                 static_cast<unsigned>(rate));
}

bool StopTvOutMonitor() {
    bool ok = true;
    if (handles.enabled != nullptr) ok = SUCCEEDED(RegistryCloseNotification(handles.enabled)) && ok;
    if (handles.videoMode != nullptr) ok = SUCCEEDED(RegistryCloseNotification(handles.videoMode)) && ok;
    const bool queueClosed = QueueValid() && CloseMsgQueue(handles.queue) != FALSE;
    handles = TvOutHandles{};
    messageBuffer.clear();
    messageBuffer.shrink_to_fit();
    return ok && queueClosed;
}

DWORD TvOutVideoMode() { return videoMode; }
