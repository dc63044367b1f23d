// Locked interface proxies: a small counted object that implements the same interface as
// a framework object, serialises every call under its own lock and forwards it to the
// object. It holds no reference on its target; the target detaches it when it dies, and
// later calls answer E_FAIL. A proxy of interface I derives from CLockedProxy<I> and
// implements each operation as `return Forward(&I::Operation, arguments...);`.
#pragma once

#include <new>
#include <utility>

#include "dialer/foundation/CriticalSection.h"
#include "dialer/foundation/Unknown.h"
#include "platform/base/Types.h"

template <class TInterface>
class CLockedProxy : public CUnknownImpl<TInterface> {
public:
    using Interface = TInterface;

    void SetTarget(TInterface* target) {
        CAutoLock lock(m_lock);
        m_target = target;
    }
    bool IsAttached() {
        CAutoLock lock(m_lock);
        return m_target != nullptr;
    }

protected:
    // Calls the target's operation with exactly the arguments received, under the lock for
    // the whole call (so a detach waits for a call under way); E_FAIL once detached.
    template <class... Params, class... Args>
    HRESULT Forward(HRESULT (TInterface::*operation)(Params...), Args&&... arguments) {
        return ForwardOr(E_FAIL, operation, std::forward<Args>(arguments)...);
    }
    // The same for an operation whose answer is not a result code: `detached` once detached.
    template <class Result, class... Params, class... Args>
    Result ForwardOr(Result detached, Result (TInterface::*operation)(Params...), Args&&... arguments) {
        CAutoLock lock(m_lock);
        if (m_target == nullptr) return detached;
        return (m_target->*operation)(std::forward<Args>(arguments)...);
    }

private:
    TInterface* m_target = nullptr;
    CCriticalSection m_lock;
};

// Makes a proxy of type TProxy attached to target and puts it into holder (which takes its
// one reference; what the holder held before is released). False, with the holder emptied,
// when the proxy cannot be allocated; the owner then throws E_OUTOFMEMORY.
template <class TProxy>
bool CreateLockedProxy(CInterfacePtr<TProxy>* holder, typename TProxy::Interface* target) {
    TProxy* proxy = new (std::nothrow) TProxy();
    if (proxy == nullptr) {
        holder->Reset();
        return false;
    }
    holder->Reset(proxy);
    proxy->SetTarget(target);
    return true;
}

class CWeakLink {
public:
    // Called by the owner's destructor: the proxy loses its target (waiting for a call
    // under way), then the owner's reference on it goes. Other holders keep it alive.
    template <class TProxy>
    static void Detach(CInterfacePtr<TProxy>* holder) {
        if (holder == nullptr || !*holder) return;
        (*holder)->SetTarget(nullptr);
        holder->Reset();
    }
};
