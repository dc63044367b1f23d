// The base that every PIM store begins with: one instance of the store class per process,
// reached through its instance pointer while it lives.
#pragma once

#include <atomic>

#include "dialer/foundation/OrmException.h"

template <class TStore>
class CSingleInstance {
public:
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // The store, or null when none exists.
    static TStore* Instance() {
        CSingleInstance* instance = s_instance.load(std::memory_order_acquire);
        return instance != nullptr ? static_cast<TStore*>(instance) : nullptr;
    }

protected:
    // A second instance throws COrmException E_ORM_FAIL.
    CSingleInstance() {
        CSingleInstance* expected = nullptr;
        if (!s_instance.compare_exchange_strong(expected, this, std::memory_order_acq_rel)) ThrowOrm(E_ORM_FAIL);
    }
    virtual ~CSingleInstance() {
        CSingleInstance* self = this;
        s_instance.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
    }

private:
    static inline std::atomic<CSingleInstance*> s_instance{nullptr};
};
