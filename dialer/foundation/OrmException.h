// The dialer's one exception type, carrying an HRESULT-style code, and the codes it uses.
#pragma once

#include "platform/base/Types.h"

// The software's own failure: a required object or argument is missing, or stored data
// is malformed.
constexpr HRESULT E_ORM_FAIL = static_cast<HRESULT>(0x84000001u);

// Holds exactly its code; thrown and caught by value.
struct COrmException {
    HRESULT code;
};

[[noreturn]] void ThrowOrm(HRESULT code);

// The code of the platform's last error: (error & 0xFFFF) | 0x80070000, or the error
// itself when it is 0 or below as a signed value.
HRESULT HResultFromLastError();
