// The shell's registry-change notifications: a watch on one value of one key, told either
// into a named message queue or to a callback, when the value changes and meets a condition.
// The registry does not announce changes itself; the watches look at the change counters of
// their keys from this process's message pumps (at most every kRegistryPollMs of the
// platform clock), so a change made by any process reaches them at the watcher's next pump.
#pragma once

#include "platform/base/Types.h"

using HREGNOTIFY = void*;

enum REG_COMPARISONTYPE : DWORD {
    REG_CT_ANYCHANGE = 0,
    REG_CT_EQUAL = 1,
    REG_CT_NOT_EQUAL = 2,
    REG_CT_GREATER = 3,
    REG_CT_GREATER_OR_EQUAL = 4,
    REG_CT_LESS = 5,
    REG_CT_LESS_OR_EQUAL = 6,
    REG_CT_CONTAINS = 7,
    REG_CT_STARTS_WITH = 8,
    REG_CT_ENDS_WITH = 9,
};

// A DWORD value is masked with dwMask, then compared with TargetValue.dw (unsigned); a string
// value is compared with TargetValue.psz without case (the mask is not used). REG_CT_ANYCHANGE
// tells every change of the (masked) value, its deletion included; the others tell a change
// after which the comparison holds.
struct NOTIFICATIONCONDITION {
    REG_COMPARISONTYPE ctComparisonType;
    DWORD dwMask;
    union {
        LPCWSTR psz;
        DWORD dw;
    } TargetValue;
};

// Gets the watch, the user value and the new value's bytes (none when it was deleted).
using REGISTRYNOTIFYCALLBACK = void (*)(HREGNOTIFY notify, DWORD userData, const BYTE* data, UINT dataBytes);

// The message a queue gets, in 32-bit little-endian words: the watch's handle (its low 32
// bits), the user value, the data's size in bytes, then the data. At most
// kRegistryNotifyMessageBytes in all: longer values are cut.
constexpr DWORD kRegistryNotifyHeaderBytes = 12;
constexpr DWORD kRegistryNotifyMessageBytes = 4112;
constexpr DWORD kRegistryPollMs = 20;

// A null condition is REG_CT_ANYCHANGE with every bit. E_INVALIDARG for a null root, value
// name, queue name, callback or out handle, or a comparison past REG_CT_ENDS_WITH. The queue
// is opened by name for writing (made when no program has made it yet).
HRESULT RegistryNotifyMsgQueue(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPCWSTR queueName, DWORD userData,
                               const NOTIFICATIONCONDITION* condition, HREGNOTIFY* notify);
HRESULT RegistryNotifyCallback(HKEY root, LPCWSTR subKey, LPCWSTR valueName, REGISTRYNOTIFYCALLBACK callback,
                               DWORD userData, const NOTIFICATIONCONDITION* condition, HREGNOTIFY* notify);
// E_INVALIDARG for a null argument; the registry's error (as an HRESULT) when the value is
// missing or not a 4-byte REG_DWORD.
HRESULT RegistryGetDWORD(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD* data);
// S_OK once; E_INVALIDARG for a watch that is not open (closed already, or never made).
HRESULT RegistryCloseNotification(HREGNOTIFY notify);

namespace platform::shell {

// Looks at every watch now, whatever the time since the last look (tests).
void PollRegistryNotifications();
// Watches open in this process.
int OpenRegistryNotifications();
// Closes of watches that were not open, since the start (tests look for double closes).
int FailedNotificationCloses();

}  // namespace platform::shell
