// The helper's side of the new-contact hand-over: the dialer leaves a phone number under
// HKEY_LOCAL_MACHINE "\SOFTWARE\Halvorn\Dialer\NewContact" in a value named by the key k
// ("%08X"), and the helper takes it.
#pragma once

#include <string>

#include "platform/base/Types.h"

inline constexpr const char16_t* kNewContactKeyPath = u"\\SOFTWARE\\Halvorn\\Dialer\\NewContact";

// Reads the value of hand-over key k and deletes it whenever it was there, whatever it held and
// whatever happens to the new contact afterwards, so that no hand-over is left behind. The
// number, or an empty text when the value is missing or not a REG_SZ.
std::u16string TakeNewContactNumber(DWORD handOverKey);
