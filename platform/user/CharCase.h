// Case mapping of text in place, as the handset's user library offers it.
#pragma once

#include "platform/base/Types.h"

// Lower-cases `length` characters of text in place (the handset's case table, as towlower)
// and returns the count; 0 for null text.
DWORD CharLowerBuffW(LPWSTR text, DWORD length);
