// PhoneStateWatcher: while the game runs it keeps watches on the handset's state values
// (phone status, unread messages, battery, Bluetooth, Wi-Fi, the accelerometer's axes), and a
// list of notification event keys whose "Options" value goes back at exit.
#pragma once

#include <array>
#include <string>

#include "platform/base/Types.h"
#include "platform/shell/RegistryNotify.h"

constexpr int kMaxEventKeys = 100;
constexpr int kPhoneStateWatches = 9;

struct PhoneStateWatch {
    HKEY root = nullptr;
    const WCHAR* subKey = nullptr;
    const WCHAR* valueName = nullptr;
    REG_COMPARISONTYPE comparison = REG_CT_ANYCHANGE;
    DWORD mask = 0;
    REGISTRYNOTIFYCALLBACK callback = nullptr;
};

struct PhoneStateWatcher {
    std::array<std::u16string, kMaxEventKeys> eventKeyNames;  // empty: a free entry
    std::array<DWORD, kMaxEventKeys> eventKeyOptions{};
    DWORD eventKeyCount = 0;
    DWORD watchCount = 0;
    std::array<HREGNOTIFY, kPhoneStateWatches> watchHandles{};
    std::array<PhoneStateWatch, kPhoneStateWatches> watches{};
};

// Clears the event-key list and the counters and fills the watch table.
void SetupPhoneStateWatcher(PhoneStateWatcher& record);
// Registers a callback watch for each row; the handles that succeeded are kept in order.
void RegisterPhoneStateWatches(PhoneStateWatcher& record);
// Closes every registered watch once and forgets it, so that a later call closes nothing.
void CloseWatches(PhoneStateWatcher& record);
// Writes each recorded key's "Options" under HKEY_CURRENT_USER "ControlPanel\Notifications"
// and forgets the entries written (an entry whose write failed stays); then closes the watches.
void RestoreNotificationOptions(PhoneStateWatcher& record);
// CloseWatches, RestoreNotificationOptions, then every remaining name is dropped.
void TeardownPhoneStateWatcher(PhoneStateWatcher& record);
