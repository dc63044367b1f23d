// The phone-state watches and the notification options given back at exit.
#include "game/flow/devices/PhoneStateWatcher.h"

#include "platform/registry/Registry.h"

namespace {

// The game only keeps the watches; what they tell changes nothing.
void IgnoreStateChange(HREGNOTIFY, DWORD, const BYTE*, UINT) {}

// Bluetooth's count is watched for any connection.
constexpr DWORD kBluetoothMask = 0xFFFFFFFF;

}  // namespace

void SetupPhoneStateWatcher(PhoneStateWatcher& record) {
    for (auto& name : record.eventKeyNames) name.clear();
    record.eventKeyOptions.fill(0);
    record.eventKeyCount = 0;
    record.watchCount = 0;
    record.watchHandles.fill(nullptr);
    const PhoneStateWatch table[kPhoneStateWatches] = {
        {HKEY_LOCAL_MACHINE, u"System\\State\\Phone", u"Status", REG_CT_ANYCHANGE, 0x10000, IgnoreStateChange},
        {HKEY_CURRENT_USER, u"System\\State\\Messages\\SMS\\Unread", u"Count", REG_CT_GREATER, 0xFFFFFF,
         IgnoreStateChange},
        {HKEY_CURRENT_USER, u"System\\State\\Messages\\MMS\\Unread", u"Count", REG_CT_GREATER, 0xFFFFFF,
         IgnoreStateChange},
        {HKEY_LOCAL_MACHINE, u"System\\State\\Battery", u"Main", REG_CT_ANYCHANGE, 0xFFFF, IgnoreStateChange},
        {HKEY_LOCAL_MACHINE, u"System\\State\\Connections\\Bluetooth", u"Count", REG_CT_GREATER, kBluetoothMask,
         IgnoreStateChange},
        {HKEY_LOCAL_MACHINE, u"System\\State\\Hardware", u"WiFi", REG_CT_GREATER, 16, IgnoreStateChange},
        {HKEY_LOCAL_MACHINE, u"Drivers\\BuiltIn\\Accelerometer", u"current_accel_x", REG_CT_ANYCHANGE, 0xFFFFFF,
         IgnoreStateChange},
        {HKEY_LOCAL_MACHINE, u"Drivers\\BuiltIn\\Accelerometer", u"current_accel_y", REG_CT_ANYCHANGE, 0xFFFFFF,
         IgnoreStateChange},
        {HKEY_LOCAL_MACHINE, u"Drivers\\BuiltIn\\Accelerometer", u"current_accel_z", REG_CT_ANYCHANGE, 0xFFFFFF,
         IgnoreStateChange},
    };
    for (int i = 0; i < kPhoneStateWatches; ++i) record.watches[i] = table[i];
}

void RegisterPhoneStateWatches(PhoneStateWatcher& record) {
    for (const PhoneStateWatch& watch : record.watches) {
        if (record.watchCount >= kPhoneStateWatches) break;
        NOTIFICATIONCONDITION condition{watch.comparison, watch.mask, {}};
        condition.TargetValue.dw = 0;
        HREGNOTIFY handle = nullptr;
        // A watch that cannot be registered is left out.
        if (SUCCEEDED(RegistryNotifyCallback(watch.root, watch.subKey, watch.valueName, watch.callback, 0, &condition,
                                             &handle)))
            record.watchHandles[record.watchCount++] = handle;
    }
}

void CloseWatches(PhoneStateWatcher& record) {
    for (DWORD i = 0; i < record.watchCount && i < kPhoneStateWatches; ++i) {
        if (record.watchHandles[i] != nullptr) RegistryCloseNotification(record.watchHandles[i]);
        record.watchHandles[i] = nullptr;
    }
    record.watchCount = 0;
}

void RestoreNotificationOptions(PhoneStateWatcher& record) {
    HKEY notifications = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, u"ControlPanel\\Notifications", 0, KEY_ALL_ACCESS, &notifications) ==
        ERROR_SUCCESS) {
        DWORD written = 0;
        for (int i = 0; i < kMaxEventKeys; ++i) {
            if (record.eventKeyNames[i].empty()) continue;
            HKEY eventKey = nullptr;
            if (RegOpenKeyExW(notifications, record.eventKeyNames[i].c_str(), 0, KEY_ALL_ACCESS, &eventKey) !=
                ERROR_SUCCESS)
                continue;
            const DWORD options = record.eventKeyOptions[i];
            if (RegSetValueExW(eventKey, u"Options", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&options),
                               sizeof options) == ERROR_SUCCESS) {
                record.eventKeyOptions[i] = 0;
                record.eventKeyNames[i].clear();
                ++written;
            }
            RegCloseKey(eventKey);
        }
        record.eventKeyCount = record.eventKeyCount > written ? record.eventKeyCount - written : 0;
        RegCloseKey(notifications);
    }
    CloseWatches(record);
}

void TeardownPhoneStateWatcher(PhoneStateWatcher& record) {
    CloseWatches(record);
    RestoreNotificationOptions(record);
    for (auto& name : record.eventKeyNames) name.clear();
}
