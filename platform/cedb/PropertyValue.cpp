// Validation and copying of property values handed in by callers.
#include "platform/cedb/PropertyValue.h"

#include <cstring>

#include "platform/base/Errors.h"
#include "platform/base/WideString.h"

namespace platform::cedb {

bool IsRecordValueType(WORD type) {
    switch (type) {
        case CEVT_I2:
        case CEVT_UI2:
        case CEVT_I4:
        case CEVT_UI4:
        case CEVT_BOOL:
        case CEVT_AUTO_I4:
        case CEVT_FILETIME:
        case CEVT_R8:
        case CEVT_LPWSTR:
        case CEVT_BLOB:
            return true;
        default:
            return false;
    }
}

std::uint32_t FixedValueSize(WORD type) {
    switch (type) {
        case CEVT_I2:
        case CEVT_UI2:
            return 2;
        case CEVT_I4:
        case CEVT_UI4:
        case CEVT_BOOL:
        case CEVT_AUTO_I4:
            return 4;
        case CEVT_FILETIME:
        case CEVT_R8:
            return 8;
        default:
            return 0;
    }
}

std::uint64_t PropertyValue::DataSize() const {
    switch (Type()) {
        case CEVT_LPWSTR:
            return static_cast<std::uint64_t>(text.size()) * 2;
        case CEVT_BLOB:
            return bytes.size();
        default:
            return FixedValueSize(Type());
    }
}

bool PropertyFromPropVal(const CEPROPVAL& source, PropertyValue& value, DWORD& error) {
    value = PropertyValue{};
    value.id = source.propid;
    error = ERROR_INVALID_PARAMETER;
    switch (value.Type()) {
        case CEVT_I2:
            value.scalar = static_cast<std::uint16_t>(source.val.iVal);
            return true;
        case CEVT_UI2:
            value.scalar = source.val.uiVal;
            return true;
        case CEVT_I4:
            value.scalar = static_cast<std::uint32_t>(source.val.lVal);
            return true;
        case CEVT_UI4:
        case CEVT_AUTO_I4:
            value.scalar = source.val.ulVal;
            return true;
        case CEVT_BOOL:
            value.scalar = static_cast<std::uint32_t>(source.val.boolVal);
            return true;
        case CEVT_FILETIME:
            value.scalar = (static_cast<std::uint64_t>(source.val.filetime.dwHighDateTime) << 32) |
                           source.val.filetime.dwLowDateTime;
            return true;
        case CEVT_R8: {
            std::uint64_t bits = 0;
            std::memcpy(&bits, &source.val.dblVal, sizeof bits);
            value.scalar = bits;
            return true;
        }
        case CEVT_LPWSTR: {
            if (!source.val.lpwstr) return false;
            // One character more than fits tells an over-long string without reading past it.
            constexpr size_t kMaxChars = CEDB_MAXPROPDATASIZE / 2 - 1;
            size_t length = wcsnlen(source.val.lpwstr, kMaxChars + 1);
            if (length > kMaxChars) return false;
            value.text.assign(source.val.lpwstr, length);
            return true;
        }
        case CEVT_BLOB:
            if (source.val.blob.dwCount > CEDB_MAXPROPDATASIZE) return false;
            if (source.val.blob.dwCount > 0 && !source.val.blob.lpb) return false;
            value.bytes.assign(source.val.blob.lpb, source.val.blob.lpb + source.val.blob.dwCount);
            return true;
        default:
            return false;
    }
}

}  // namespace platform::cedb
