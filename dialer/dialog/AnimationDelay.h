// The slow-down factor of every dialog animation: the DWORD "AnimationDelay" under
// HKEY_LOCAL_MACHINE "\SOFTWARE\Orm Software House\Shared" (missing or 0 counts as 1), read
// once per process.
#pragma once

#include "platform/base/Types.h"

DWORD GetAnimationDelay();
// Forgets the value read, so that the next animation reads it again (after a test changed
// the registry).
void ForgetAnimationDelay();
