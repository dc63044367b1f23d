// The dialer's one exception type, carrying an HRESULT-style code, and the codes it uses.
#pragma once

#include <string>

#include "platform/base/Types.h"

// The software's own failure: a required object or argument is missing, or stored data
// is malformed.
constexpr HRESULT E_ORM_FAIL = static_cast<HRESULT>(0x84000001u);

// Holds its code and, where the thrower can say more, a sentence naming what was wrong
// and where (for logs and tests; callers decide by the code). Thrown and caught by value.
struct COrmException {
    HRESULT code;
    std::string message;
};

[[noreturn]] void ThrowOrm(HRESULT code);
[[noreturn]] void ThrowOrm(HRESULT code, std::string message);
// The same with the sentence in UTF-16 (kept as UTF-8).
[[noreturn]] void ThrowOrm(HRESULT code, const std::u16string& message);

// The code of the platform's last error: (error & 0xFFFF) | 0x80070000, or the error
// itself when it is 0 or below as a signed value.
HRESULT HResultFromLastError();
