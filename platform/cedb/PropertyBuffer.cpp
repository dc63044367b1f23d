// Laying out read properties: the array first, then each string (terminated) and blob at
// an 8-byte boundary, so that the block is one allocation that holds everything it points to.
#include "platform/cedb/PropertyBuffer.h"

#include <cstring>

#include "platform/base/Errors.h"
#include "platform/base/LocalMemory.h"

namespace platform::cedb {

namespace {

std::uint64_t AlignUp(std::uint64_t value) { return (value + 7) & ~static_cast<std::uint64_t>(7); }

// Bytes a value takes after the array.
std::uint64_t TrailingBytes(const PropertyValue* value) {
    if (!value) return 0;
    if (value->Type() == CEVT_LPWSTR) return AlignUp((static_cast<std::uint64_t>(value->text.size()) + 1) * 2);
    if (value->Type() == CEVT_BLOB) return AlignUp(value->bytes.size());
    return 0;
}

CEPROPVAL MakePropVal(const RequestedProperty& property, BYTE* data) {
    CEPROPVAL out;
    std::memset(&out, 0, sizeof out);
    out.propid = property.id;
    const PropertyValue* value = property.value;
    if (!value) {
        out.wFlags = CEDB_PROPNOTFOUND;
        return out;
    }
    switch (value->Type()) {
        case CEVT_I2:
            out.val.iVal = static_cast<SHORT>(static_cast<std::uint16_t>(value->scalar));
            break;
        case CEVT_UI2:
            out.val.uiVal = static_cast<USHORT>(value->scalar);
            break;
        case CEVT_I4:
            out.val.lVal = static_cast<LONG>(static_cast<std::uint32_t>(value->scalar));
            break;
        case CEVT_BOOL:
            out.val.boolVal = static_cast<BOOL>(static_cast<std::uint32_t>(value->scalar));
            break;
        case CEVT_FILETIME:
            out.val.filetime.dwLowDateTime = static_cast<DWORD>(value->scalar);
            out.val.filetime.dwHighDateTime = static_cast<DWORD>(value->scalar >> 32);
            break;
        case CEVT_R8:
            std::memcpy(&out.val.dblVal, &value->scalar, sizeof out.val.dblVal);
            break;
        case CEVT_LPWSTR: {
            std::size_t bytes = (value->text.size() + 1) * 2;
            if (!value->text.empty()) std::memcpy(data, value->text.data(), value->text.size() * 2);
            std::memset(data + value->text.size() * 2, 0, 2);
            out.val.lpwstr = reinterpret_cast<LPWSTR>(data);
            out.wLenData = static_cast<WORD>(bytes);
            break;
        }
        case CEVT_BLOB:
            if (!value->bytes.empty()) std::memcpy(data, value->bytes.data(), value->bytes.size());
            out.val.blob.dwCount = static_cast<DWORD>(value->bytes.size());
            out.val.blob.lpb = value->bytes.empty() ? nullptr : data;
            out.wLenData = static_cast<WORD>(value->bytes.size());
            break;
        case CEVT_STREAM:
            out.val.ulVal = value->scalar > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<ULONG>(value->scalar);
            break;
        default:  // UI4, AUTO_I4
            out.val.ulVal = static_cast<ULONG>(value->scalar);
            break;
    }
    return out;
}

}  // namespace

bool FillPropertyBuffer(const std::vector<RequestedProperty>& properties, DWORD flags, LPBYTE* buffer, LPDWORD size,
                        DWORD& error) {
    std::uint64_t needed = static_cast<std::uint64_t>(properties.size()) * sizeof(CEPROPVAL);
    for (const RequestedProperty& property : properties) needed += TrailingBytes(property.value);
    if (needed > 0xFFFFFFFFu) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    BYTE* target = *buffer;
    if (!target || *size < needed) {
        if (!(flags & CEDB_ALLOWREALLOC)) {
            *size = static_cast<DWORD>(needed);
            error = ERROR_INSUFFICIENT_BUFFER;
            return false;
        }
        HLOCAL grown = target ? LocalReAlloc(target, static_cast<SIZE_T>(needed), LMEM_MOVEABLE)
                              : LocalAlloc(LMEM_FIXED, static_cast<SIZE_T>(needed));
        if (!grown) {
            error = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        target = static_cast<BYTE*>(grown);
        *buffer = target;
        *size = static_cast<DWORD>(needed);
    }
    BYTE* data = target + properties.size() * sizeof(CEPROPVAL);
    for (std::size_t i = 0; i < properties.size(); ++i) {
        CEPROPVAL value = MakePropVal(properties[i], data);
        std::memcpy(target + i * sizeof(CEPROPVAL), &value, sizeof value);
        data += TrailingBytes(properties[i].value);
    }
    return true;
}

}  // namespace platform::cedb
