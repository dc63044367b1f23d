// An item's values: reading them by id and by type, changing them, and writing the changes
// into the item's record.
#include "platform/poom/PimItem.h"

#include <algorithm>
#include <cstring>

#include "platform/base/Errors.h"
#include "platform/base/WideString.h"
#include "platform/cedb/PropertyBuffer.h"
#include "platform/poom/ItemFields.h"
#include "platform/poom/Poom.h"

namespace platform::poom {

namespace {

void Forget(std::vector<CEPROPID>& ids, CEPROPID id) { ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end()); }

void Note(std::vector<CEPROPID>& ids, CEPROPID id) {
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
}

cedb::PropertyValue Scalar(CEPROPID id, std::uint64_t scalar) {
    cedb::PropertyValue value;
    value.id = id;
    value.scalar = scalar;
    return value;
}

}  // namespace

CEPROPVAL ToPropVal(cedb::PropertyValue& value) {
    CEPROPVAL out;
    std::memset(&out, 0, sizeof out);
    out.propid = value.id;
    switch (value.Type()) {
        case CEVT_I2: out.val.iVal = static_cast<SHORT>(static_cast<std::uint16_t>(value.scalar)); break;
        case CEVT_UI2: out.val.uiVal = static_cast<USHORT>(value.scalar); break;
        case CEVT_I4: out.val.lVal = static_cast<LONG>(static_cast<std::uint32_t>(value.scalar)); break;
        case CEVT_UI4:
        case CEVT_AUTO_I4: out.val.ulVal = static_cast<ULONG>(value.scalar); break;
        case CEVT_BOOL: out.val.boolVal = static_cast<BOOL>(static_cast<std::uint32_t>(value.scalar)); break;
        case CEVT_FILETIME:
            out.val.filetime.dwLowDateTime = static_cast<DWORD>(value.scalar);
            out.val.filetime.dwHighDateTime = static_cast<DWORD>(value.scalar >> 32);
            break;
        case CEVT_R8: std::memcpy(&out.val.dblVal, &value.scalar, sizeof out.val.dblVal); break;
        case CEVT_LPWSTR: out.val.lpwstr = value.text.data(); break;
        case CEVT_BLOB:
            out.val.blob.dwCount = static_cast<DWORD>(value.bytes.size());
            out.val.blob.lpb = value.bytes.data();
            break;
        default: break;
    }
    return out;
}

PimItemState::PimItemState(std::shared_ptr<PimSession> session, int itemType)
    : session_(std::move(session)), itemType_(itemType) {}

void PimItemState::Load(StoredItem stored) {
    record_ = stored.record;
    itemId_ = stored.itemId;
    values_ = std::move(stored.values);
    changed_.clear();
    removed_.clear();
}

CEOID PimItemState::Oid() const { return record_ != 0 ? MakeItemOid(itemType_, itemId_) : 0; }

const cedb::PropertyValue* PimItemState::Find(CEPROPID id) const { return FindValue(values_, id); }

void PimItemState::MarkChanged(CEPROPID id) {
    Forget(removed_, id);
    Note(changed_, id);
}

void PimItemState::Set(cedb::PropertyValue value) {
    CEPROPID id = value.id;
    auto found = std::find_if(values_.begin(), values_.end(), [id](const auto& v) { return v.id == id; });
    if (found != values_.end())
        *found = std::move(value);
    else
        values_.push_back(std::move(value));
    MarkChanged(id);
}

void PimItemState::Remove(CEPROPID id) {
    auto found = std::find_if(values_.begin(), values_.end(), [id](const auto& v) { return v.id == id; });
    if (found == values_.end()) return;
    values_.erase(found);
    Forget(changed_, id);
    Note(removed_, id);
}

HRESULT PimItemState::GetProps(const CEPROPID* ids, ULONG flags, WORD* count, CEPROPVAL** values, ULONG* bytes,
                               HANDLE heap) const {
    if (count == nullptr || values == nullptr || bytes == nullptr) return E_POINTER;
    if (heap != nullptr || (flags & ~CEDB_ALLOWREALLOC) != 0) return E_INVALIDARG;
    cedb::PropertyValue itemId = Scalar(CEPROPID_ITEMID, itemId_);
    std::vector<cedb::RequestedProperty> requested;
    auto lookUp = [&](CEPROPID id) -> const cedb::PropertyValue* {
        if (id == CEPROPID_ITEMID) return record_ != 0 ? &itemId : nullptr;
        return Find(id);
    };
    if (ids == nullptr) {
        if (record_ != 0) requested.push_back({CEPROPID_ITEMID, &itemId});
        for (const cedb::PropertyValue& value : values_) requested.push_back({value.id, &value});
        if (requested.size() > 0xFFFF) return E_INVALIDARG;
    } else {
        for (WORD i = 0; i < *count; ++i) requested.push_back({ids[i], lookUp(ids[i])});
    }
    DWORD error = 0;
    auto** buffer = reinterpret_cast<LPBYTE*>(values);
    if (!cedb::FillPropertyBuffer(requested, flags, buffer, bytes, error)) return HRESULT_FROM_WIN32(error);
    *count = static_cast<WORD>(requested.size());
    return S_OK;
}

HRESULT PimItemState::SetProps(ULONG flags, WORD count, const CEPROPVAL* values) {
    if (flags != 0) return E_INVALIDARG;
    if (values == nullptr && count != 0) return E_POINTER;
    // Every value is checked before any is taken, so that a bad one changes nothing.
    std::vector<cedb::PropertyValue> taken(count);
    std::vector<bool> removal(count, false);
    for (WORD i = 0; i < count; ++i) {
        if (values[i].propid == CEPROPID_ITEMID) return E_INVALIDARG;
        if ((values[i].wFlags & CEDB_PROPDELETE) != 0) {
            removal[i] = true;
            taken[i].id = values[i].propid;
            continue;
        }
        DWORD error = 0;
        if (!cedb::PropertyFromPropVal(values[i], taken[i], error)) return HRESULT_FROM_WIN32(error);
    }
    for (WORD i = 0; i < count; ++i) {
        if (removal[i])
            Remove(taken[i].id);
        else
            Set(std::move(taken[i]));
    }
    return S_OK;
}

HRESULT PimItemState::Save() {
    if (!session_) return E_UNEXPECTED;
    if (record_ != 0 && !HasChanges()) return S_OK;
    std::vector<CEPROPVAL> written;
    if (record_ == 0) {
        for (cedb::PropertyValue& value : values_) written.push_back(ToPropVal(value));
    } else {
        for (CEPROPID id : changed_) {
            auto found = std::find_if(values_.begin(), values_.end(), [id](const auto& v) { return v.id == id; });
            if (found != values_.end()) written.push_back(ToPropVal(*found));
        }
        for (CEPROPID id : removed_) {
            CEPROPVAL removal;
            std::memset(&removal, 0, sizeof removal);
            removal.propid = id;
            removal.wFlags = CEDB_PROPDELETE;
            written.push_back(removal);
        }
    }
    HRESULT result = session_->Write(itemType_, record_, itemId_, written);
    if (FAILED(result)) return result;
    changed_.clear();
    removed_.clear();
    return S_OK;
}

HRESULT PimItemState::Delete() {
    if (!session_) return E_UNEXPECTED;
    if (record_ == 0) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    HRESULT result = session_->Remove(itemType_, record_);
    if (FAILED(result)) return result;
    record_ = 0;
    itemId_ = 0;
    changed_.clear();
    removed_.clear();
    for (const cedb::PropertyValue& value : values_) changed_.push_back(value.id);
    return S_OK;
}

HRESULT PimItemState::GetText(CEPROPID id, BSTR* value) const {
    if (value == nullptr) return E_POINTER;
    const cedb::PropertyValue* found = Find(id);
    *value = SysAllocString(found != nullptr ? found->text.c_str() : u"");
    return *value != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT PimItemState::PutText(CEPROPID id, BSTR value) {
    UINT length = value != nullptr ? static_cast<UINT>(wcslen(value)) : 0;
    if (length == 0) {
        Remove(id);
        return S_OK;
    }
    if ((static_cast<std::uint64_t>(length) + 1) * sizeof(WCHAR) > CEDB_MAXPROPDATASIZE) return E_INVALIDARG;
    cedb::PropertyValue text;
    text.id = id;
    text.text.assign(value, length);
    Set(std::move(text));
    return S_OK;
}

HRESULT PimItemState::GetDate(CEPROPID id, DATE* value) const {
    if (value == nullptr) return E_POINTER;
    *value = 0;
    const cedb::PropertyValue* found = Find(id);
    if (found == nullptr) return S_OK;
    FILETIME fileTime{static_cast<DWORD>(found->scalar), static_cast<DWORD>(found->scalar >> 32)};
    return FileTimeToDate(fileTime, *value) ? S_OK : HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
}

HRESULT PimItemState::PutDate(CEPROPID id, DATE value) {
    if (value == 0) {
        Remove(id);
        return S_OK;
    }
    FILETIME fileTime{};
    if (!DateToFileTime(value, fileTime)) return E_INVALIDARG;
    Set(Scalar(id, (static_cast<std::uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime));
    return S_OK;
}

HRESULT PimItemState::GetSigned(CEPROPID id, LONG* value) const {
    if (value == nullptr) return E_POINTER;
    const cedb::PropertyValue* found = Find(id);
    *value = found != nullptr ? static_cast<LONG>(static_cast<std::uint32_t>(found->scalar)) : 0;
    return S_OK;
}

HRESULT PimItemState::PutSigned(CEPROPID id, LONG value) {
    Set(Scalar(id, static_cast<std::uint32_t>(value)));
    return S_OK;
}

HRESULT PimItemState::GetUnsigned(CEPROPID id, ULONG* value) const {
    if (value == nullptr) return E_POINTER;
    const cedb::PropertyValue* found = Find(id);
    *value = found != nullptr ? static_cast<ULONG>(found->scalar) : 0;
    return S_OK;
}

HRESULT PimItemState::PutUnsigned(CEPROPID id, ULONG value) {
    Set(Scalar(id, value));
    return S_OK;
}

HRESULT PimItemState::GetFlag(CEPROPID id, VARIANT_BOOL* value) const {
    if (value == nullptr) return E_POINTER;
    const cedb::PropertyValue* found = Find(id);
    *value = found != nullptr && static_cast<std::uint32_t>(found->scalar) != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT PimItemState::PutFlag(CEPROPID id, VARIANT_BOOL value) {
    Set(Scalar(id, value != VARIANT_FALSE ? 1u : 0u));
    return S_OK;
}

}  // namespace platform::poom
