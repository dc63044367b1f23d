// Critical sections: locks within one process that the owning thread may enter again
// (each Enter needs its Leave). The record needs no memory besides itself.
#pragma once

#include "platform/base/Types.h"

struct CRITICAL_SECTION {
    LONG LockCount;        // 0 free, 1 held, 2 held with threads waiting
    DWORD OwnerThread;     // id of the holding thread, 0 when free
    DWORD RecursionCount;  // the owner's nested entries
    DWORD dwContentions;   // how often a thread had to wait
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
// TRUE when the section is now held by the caller (also when it held it already).
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
// A Leave by a thread that does not hold the section is ignored.
void LeaveCriticalSection(LPCRITICAL_SECTION section);
