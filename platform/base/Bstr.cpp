// OLE automation strings: one heap block holding an 8-byte header (the 32-bit byte length
// in its last four bytes, so that the text stays 8-byte aligned), the text and a zero.
#include "platform/base/Bstr.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kHeaderBytes = 8;

unsigned char* BlockOf(BSTR text) { return reinterpret_cast<unsigned char*>(text) - kHeaderBytes; }

UINT StoredByteLength(BSTR text) {
    DWORD bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<unsigned char*>(text) - sizeof(DWORD), sizeof bytes);
    return bytes;
}

std::size_t TextLength(LPCOLESTR text) {
    std::size_t length = 0;
    while (text[length] != 0) ++length;
    return length;
}

BSTR Allocate(LPCOLESTR text, ULONGLONG length) {
    // The byte count must fit the 32-bit prefix; the block size is computed in 64 bits.
    const ULONGLONG bytes = length * sizeof(OLECHAR);
    if (bytes > 0xFFFFFFFFull - kHeaderBytes - sizeof(OLECHAR)) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(kHeaderBytes + bytes + sizeof(OLECHAR)));
    if (block == nullptr) return nullptr;
    const DWORD stored = static_cast<DWORD>(bytes);
    std::memset(block, 0, kHeaderBytes);
    std::memcpy(block + kHeaderBytes - sizeof(DWORD), &stored, sizeof stored);
    auto* result = reinterpret_cast<BSTR>(block + kHeaderBytes);
    if (text != nullptr)
        std::memcpy(result, text, bytes);
    else
        std::memset(result, 0, bytes);
    result[length] = 0;
    return result;
}

}  // namespace

BSTR SysAllocString(LPCOLESTR text) {
    if (text == nullptr) return nullptr;
    return Allocate(text, TextLength(text));
}

BSTR SysAllocStringLen(LPCOLESTR text, UINT length) { return Allocate(text, length); }

INT SysReAllocString(BSTR* target, LPCOLESTR text) {
    if (target == nullptr) return FALSE;
    // Copy first: text may point into the string being replaced.
    BSTR copy = nullptr;
    if (text != nullptr) {
        copy = SysAllocString(text);
        if (copy == nullptr) return FALSE;
    }
    SysFreeString(*target);
    *target = copy;
    return TRUE;
}

void SysFreeString(BSTR text) {
    if (text != nullptr) std::free(BlockOf(text));
}

UINT SysStringLen(BSTR text) { return text == nullptr ? 0 : StoredByteLength(text) / sizeof(OLECHAR); }

UINT SysStringByteLen(BSTR text) { return text == nullptr ? 0 : StoredByteLength(text); }
