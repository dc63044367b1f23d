// The COM object of an item: its typed interface (IContact, IAppointment or ITask, with
// IDispatch) and IItem on one PimItemState, and the making of items by type.
#pragma once

#include <atomic>
#include <memory>

#include "platform/poom/ItemWindow.h"
#include "platform/poom/PimItem.h"
#include "platform/poom/Poom.h"

namespace platform::poom {

template <class TTyped>
class PimItemObject : public com::NoLateBinding<TTyped>, public IItem {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == TTyped::kIid) {
            *out = static_cast<TTyped*>(this);
        } else if (iid == IID_IItem) {
            *out = static_cast<IItem*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG Release() override {
        ULONG remaining = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (remaining == 0) delete this;
        return remaining;
    }

    // Operations that IItem and the typed interface share.
    HRESULT get_Oid(CEOID* oid) override {
        if (oid == nullptr) return E_POINTER;
        *oid = state_.Oid();
        return S_OK;
    }
    HRESULT Save() override { return state_.Save(); }
    HRESULT Delete() override { return state_.Delete(); }

    // IItem
    HRESULT GetProps(const CEPROPID* ids, ULONG flags, WORD* count, CEPROPVAL** values, ULONG* bytes,
                     HANDLE heap) override {
        return state_.GetProps(ids, flags, count, values, bytes, heap);
    }
    HRESULT SetProps(ULONG flags, WORD count, const CEPROPVAL* values) override {
        return state_.SetProps(flags, count, values);
    }
    HRESULT Display(HWND owner) override { return ShowItemWindow(state_, owner, false); }
    HRESULT Edit(HWND owner) override { return ShowItemWindow(state_, owner, true); }
    HRESULT get_ItemType(int* itemType) override {
        if (itemType == nullptr) return E_POINTER;
        *itemType = state_.ItemType();
        return S_OK;
    }

    // The typed interface's Display, without an owner.
    HRESULT Display() override { return ShowItemWindow(state_, nullptr, false); }

    PimItemState& State() { return state_; }

protected:
    PimItemObject(std::shared_ptr<PimSession> session, int itemType) : state_(std::move(session), itemType) {}
    virtual ~PimItemObject() = default;

    PimItemState state_;

private:
    std::atomic<ULONG> count_{1};
};

// A new item of the type (loaded from `stored` when given) as its interface `iid`.
// E_INVALIDARG for an unknown type.
HRESULT MakeItemObject(const std::shared_ptr<PimSession>& session, int itemType, StoredItem* stored, REFIID iid,
                       void** out);

}  // namespace platform::poom
