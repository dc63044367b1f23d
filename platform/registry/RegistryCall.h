// What the Reg* calls share: resolving a handle and a subkey to a path, copying names and
// data out to the caller's buffers, and keeping C++ exceptions inside the registry.
#pragma once

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/Types.h"
#include "platform/registry/KeyStore.h"

namespace platform::registry {

// Runs the body of a Reg* call; running out of memory becomes ERROR_OUTOFMEMORY.
template <typename Call>
LONG Guarded(Call call) {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

// The folded path of the names below base; ERROR_INVALID_PARAMETER when it would lie
// deeper than kMaxKeyDepth.
LONG PathBelow(const KeyRow& base, const std::vector<std::u16string>& names, std::u16string& path);

// Copies a name into a caller's character buffer: the name and a terminator when *chars
// (the buffer's size) leaves room, setting *chars to the name's length; otherwise
// ERROR_MORE_DATA with the needed size (terminator included) in *chars.
LONG CopyNameOut(const std::u16string& name, LPWSTR buffer, LPDWORD chars);

// Copies value data into a caller's buffer of *bytes bytes: with no buffer only the size is
// given; a buffer too small gives ERROR_MORE_DATA with the needed size and is left as it was.
LONG CopyDataOut(const std::vector<std::uint8_t>& data, LPBYTE buffer, LPDWORD bytes);

// Narrows a count for a DWORD out-argument, saturating.
DWORD ToDword(std::uint64_t value);

}  // namespace platform::registry
