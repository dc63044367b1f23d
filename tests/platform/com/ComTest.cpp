// Starting the component model per thread, making objects through registered class
// factories, and QueryInterface of ComObject.
#include <gtest/gtest.h>

#include <thread>

#include "platform/com/Com.h"
#include "platform/com/ComObject.h"

namespace {

constexpr CLSID kTestClass = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr IID kCounterIid = {0x44444444, 0x5555, 0x6666, {8, 7, 6, 5, 4, 3, 2, 1}};

class ICounter : public IDispatch {
public:
    static constexpr const IID& kIid = kCounterIid;
    virtual int Next() = 0;

protected:
    ~ICounter() = default;
};

int livingCounters = 0;

class Counter final : public platform::com::ComObject<ICounter> {
public:
    Counter() { ++livingCounters; }
    ~Counter() override { --livingCounters; }
    int Next() override { return ++value_; }

private:
    int value_ = 0;
};

class CounterFactory final : public platform::com::ComObject<IClassFactory> {
public:
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        lastOuter = outer;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        auto* counter = new Counter;
        HRESULT result = counter->QueryInterface(iid, out);
        counter->Release();
        return result;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
    IUnknown* lastOuter = nullptr;
};

class ComTest : public ::testing::Test {
protected:
    void SetUp() override {
        factory_ = new CounterFactory;
        platform::com::RegisterClassFactory(kTestClass, factory_);
    }
    void TearDown() override {
        platform::com::UnregisterClassFactory(kTestClass);
        factory_->Release();
    }
    CounterFactory* factory_ = nullptr;
};

TEST_F(ComTest, ThreadsStartTheModelBeforeMakingObjects) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_ALL, kCounterIid, &out), CO_E_NOTINITIALIZED);
    EXPECT_EQ(out, nullptr);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), RPC_E_CHANGED_MODE);
    EXPECT_EQ(CoInitializeEx(reinterpret_cast<void*>(8), 0), E_INVALIDARG);
    // Another thread has its own state.
    HRESULT other = S_OK;
    std::thread([&] { other = CoCreateInstance(kTestClass, nullptr, CLSCTX_ALL, kCounterIid, &out); }).join();
    EXPECT_EQ(other, CO_E_NOTINITIALIZED);
    CoUninitialize();
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, kCounterIid, &out), S_OK);
    static_cast<ICounter*>(out)->Release();
    CoUninitialize();
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_ALL, kCounterIid, &out), CO_E_NOTINITIALIZED);
}

TEST_F(ComTest, ObjectsComeFromTheRegisteredFactory) {
    ASSERT_EQ(CoInitializeEx(nullptr, 0), S_OK);
    platform::com::ComPtr<ICounter> counter;
    ASSERT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_ALL, kCounterIid, counter.ReceiveVoid()), S_OK);
    EXPECT_EQ(counter->Next(), 1);
    EXPECT_EQ(livingCounters, 1);

    void* out = nullptr;
    const CLSID unknownClass = {0x99, 0, 0, {}};
    EXPECT_EQ(CoCreateInstance(unknownClass, nullptr, CLSCTX_ALL, kCounterIid, &out), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_LOCAL_SERVER, kCounterIid, &out), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(kTestClass, counter.Get(), CLSCTX_ALL, kCounterIid, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory_->lastOuter, counter.Get());
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_ALL, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(livingCounters, 1);  // the refused one is gone again
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_ALL, kCounterIid, nullptr), E_POINTER);

    EXPECT_TRUE(platform::com::UnregisterClassFactory(kTestClass));
    EXPECT_FALSE(platform::com::UnregisterClassFactory(kTestClass));
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_ALL, kCounterIid, &out), REGDB_E_CLASSNOTREG);
    platform::com::RegisterClassFactory(kTestClass, factory_);
    counter.Reset();
    EXPECT_EQ(livingCounters, 0);
    CoUninitialize();
}

TEST_F(ComTest, QueryInterfaceAnswersTheInterfaceItsBasesAndNothingElse) {
    auto counter = platform::com::ComPtr<ICounter>::Adopt(new Counter);
    for (const IID& iid : {IID_IUnknown, IID_IDispatch, kCounterIid}) {
        void* out = nullptr;
        ASSERT_EQ(counter->QueryInterface(iid, &out), S_OK);
        EXPECT_EQ(out, counter.Get());
        counter->Release();
    }
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(counter->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(counter->QueryInterface(kCounterIid, nullptr), E_POINTER);
    EXPECT_EQ(counter->AddRef(), 2u);
    EXPECT_EQ(counter->Release(), 1u);

    // No late binding: no type information, no names, nothing to invoke.
    UINT count = 5;
    EXPECT_EQ(counter->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(counter->GetTypeInfo(0, 0, &info), DISP_E_BADINDEX);
    OLECHAR name[] = u"Next";
    LPOLESTR names[] = {name};
    DISPID id = 7;
    EXPECT_EQ(counter->GetIDsOfNames(IID_IUnknown, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    EXPECT_EQ(counter->Invoke(1, IID_IUnknown, 0, 0, nullptr, nullptr, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
}

}  // namespace
