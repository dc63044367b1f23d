// Events: manual-reset and auto-reset, unnamed (this process) or named (shared by every
// process of the handset root; a second CreateEventW of a name opens the same event).
#pragma once

#include "platform/base/Types.h"

constexpr DWORD EVENT_PULSE = 1;
constexpr DWORD EVENT_RESET = 2;
constexpr DWORD EVENT_SET = 3;

constexpr DWORD SYNCHRONIZE = 0x00100000;
constexpr DWORD EVENT_MODIFY_STATE = 0x0002;
constexpr DWORD EVENT_ALL_ACCESS = 0x001F0003;

// A null or empty name makes an event of this process only. For a name that exists already
// the existing event is opened (its reset mode and state are kept) and the last error is
// ERROR_ALREADY_EXISTS; otherwise it is ERROR_SUCCESS. Names are compared exactly and hold
// at most MAX_PATH characters.
HANDLE CreateEventW(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCWSTR name);
// Opens an existing named event; null with ERROR_FILE_NOT_FOUND when there is none.
HANDLE OpenEventW(DWORD desiredAccess, BOOL inheritHandle, LPCWSTR name);

// EVENT_SET signals the event: a manual-reset event stays signalled and releases every wait;
// an auto-reset event releases exactly one wait, or stays signalled until one comes.
// EVENT_RESET clears it. EVENT_PULSE releases the waits present now (all of them for a
// manual-reset event, at most one for an auto-reset event) and leaves the event clear.
BOOL EventModify(HANDLE event, DWORD function);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
BOOL PulseEvent(HANDLE event);
