// Locked proxies: forwarding under the proxy's lock, E_FAIL after the owner detaches,
// identity answers and holder replacement.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "dialer/foundation/InterfaceIds.h"
#include "dialer/foundation/LockedProxy.h"
#include "dialer/foundation/OrmException.h"

namespace {

class ICounter : public IUnknown {
public:
    static constexpr IID kIid = IID_IItemCollection;
    virtual HRESULT Add(int amount, int* total) = 0;
    virtual HRESULT CallBack(ICounter* through) = 0;
};

class CCounterProxy : public CLockedProxy<ICounter> {
public:
    HRESULT Add(int amount, int* total) override { return Forward(&ICounter::Add, amount, total); }
    HRESULT CallBack(ICounter* through) override { return Forward(&ICounter::CallBack, through); }
};

// The real object: it owns its proxy and detaches it when it dies.
class CCounter : public CUnknownImpl<ICounter> {
public:
    CCounter() {
        if (!CreateLockedProxy(&m_proxy, this)) ThrowOrm(E_OUTOFMEMORY);
    }
    ~CCounter() override { CWeakLink::Detach(&m_proxy); }

    HRESULT Add(int amount, int* total) override {
        if (onAdd) onAdd();
        m_total += amount;
        if (total != nullptr) *total = m_total;
        return S_OK;
    }
    HRESULT CallBack(ICounter* through) override { return through->Add(1, nullptr); }

    CInterfacePtr<CCounterProxy> Proxy() const { return m_proxy; }
    std::function<void()> onAdd;

private:
    int m_total = 0;
    CInterfacePtr<CCounterProxy> m_proxy;
};

TEST(LockedProxy, ForwardsUntilTheOwnerIsGoneThenAnswersEFail) {
    auto* owner = new CCounter();
    owner->AddRef();
    CInterfacePtr<CCounterProxy> proxy = owner->Proxy();
    int total = 0;
    EXPECT_EQ(proxy->Add(5, &total), S_OK);
    EXPECT_EQ(total, 5);
    EXPECT_EQ(proxy->GetRefCount(), 2);

    owner->Release();
    EXPECT_EQ(proxy->GetRefCount(), 1) << "the proxy outlives its owner while held";
    total = 0;
    EXPECT_EQ(proxy->Add(5, &total), E_FAIL);
    EXPECT_EQ(total, 0);

    void* self = nullptr;
    EXPECT_EQ(proxy->QueryInterface(IID_IItemCollection, &self), S_OK);
    EXPECT_EQ(self, static_cast<ICounter*>(proxy.Get())) << "a proxy answers with itself, never its target";
    EXPECT_EQ(proxy->GetRefCount(), 2);
    static_cast<ICounter*>(self)->Release();
}

TEST(LockedProxy, CreatingIntoAFullHolderReleasesTheOldProxyOnce) {
    CInterfacePtr<CCounterProxy> holder;
    ASSERT_TRUE(CreateLockedProxy(&holder, nullptr));
    CInterfacePtr<CCounterProxy> old = holder;
    EXPECT_EQ(old->GetRefCount(), 2);
    ASSERT_TRUE(CreateLockedProxy(&holder, nullptr));
    EXPECT_NE(holder.Get(), old.Get());
    EXPECT_EQ(old->GetRefCount(), 1);
    EXPECT_EQ(holder->GetRefCount(), 1);
    EXPECT_EQ(holder->Add(1, nullptr), E_FAIL);
}

TEST(LockedProxy, TargetMayCallBackIntoItsProxyOnTheSameThread) {
    CInterfacePtr<CCounter> owner(new CCounter());
    CInterfacePtr<CCounterProxy> proxy = owner->Proxy();
    EXPECT_EQ(proxy->CallBack(proxy.Get()), S_OK);
    int total = 0;
    proxy->Add(0, &total);
    EXPECT_EQ(total, 1);
}

TEST(LockedProxy, DetachWaitsForACallUnderWay) {
    auto* owner = new CCounter();
    owner->AddRef();
    CInterfacePtr<CCounterProxy> proxy = owner->Proxy();
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> callFinished{false};
    owner->onAdd = [&] {
        entered.set_value();
        released.wait();
        callFinished = true;
    };
    std::thread caller([&] { proxy->Add(1, nullptr); });
    entered.get_future().wait();

    std::atomic<bool> detached{false};
    std::thread destroyer([&] {
        owner->Release();  // its destructor detaches the proxy
        detached = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(detached) << "the detach must wait for the call in progress";
    release.set_value();
    caller.join();
    destroyer.join();
    EXPECT_TRUE(callFinished);
    EXPECT_EQ(proxy->Add(1, nullptr), E_FAIL);
}

}  // namespace
