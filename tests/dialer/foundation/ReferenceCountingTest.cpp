// Reference counting, the exception type, COM-style QueryInterface and the service locator.
#include <gtest/gtest.h>

#include "dialer/foundation/InterfaceIds.h"
#include "dialer/foundation/OrmException.h"
#include "dialer/foundation/RefCounted.h"
#include "dialer/foundation/Services.h"
#include "dialer/foundation/SharedRef.h"
#include "dialer/foundation/Unknown.h"
#include "platform/base/Errors.h"

namespace {

int g_destroyed = 0;

class CCounted : public CRefCounted {
public:
    ~CCounted() override { ++g_destroyed; }
};

class ITestInterface : public IUnknown {
public:
    static constexpr IID kIid = IID_IDialogLayer;
    virtual HRESULT Ping() = 0;
};

class CTestObject : public CUnknownImpl<ITestInterface> {
public:
    ~CTestObject() override { ++g_destroyed; }
    HRESULT Ping() override { return S_OK; }
};

TEST(OrmException, CarriesItsCodeToTheHandler) {
    try {
        ThrowOrm(E_ORM_FAIL);
        FAIL() << "nothing was thrown";
    } catch (COrmException exception) {
        EXPECT_EQ(exception.code, static_cast<HRESULT>(0x84000001u));
    }
}

TEST(OrmException, CodeFromLastError) {
    SetLastError(5);
    EXPECT_EQ(HResultFromLastError(), static_cast<HRESULT>(0x80070005u));
    SetLastError(0);
    EXPECT_EQ(HResultFromLastError(), 0);
    SetLastError(0x12345);
    EXPECT_EQ(HResultFromLastError(), static_cast<HRESULT>(0x80072345u));
}

TEST(ReleaseRef, FromTwoKeepsTheObjectAndFromOneDestroysIt) {
    g_destroyed = 0;
    CCounted* object = new CCounted();
    object->AddRef();
    object->AddRef();
    CCounted* holder = object;
    EXPECT_EQ(ReleaseRef(&holder), 1);
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_EQ(object->GetRefCount(), 1);
    EXPECT_EQ(holder, object) << "the holder word is left as it was";
    EXPECT_EQ(ReleaseRef(&holder), 0);
    EXPECT_EQ(g_destroyed, 1);

    CCounted* empty = nullptr;
    EXPECT_EQ(ReleaseRef(&empty), 0);
}

TEST(AssignRef, IntrusiveHolderAddsNewReleasesOldAndIgnoresTheSameObject) {
    g_destroyed = 0;
    CRefPtr<CCounted> first(new CCounted());
    CRefPtr<CCounted> second(new CCounted());
    CCounted* holder = nullptr;
    AssignRef(&holder, first.Get());
    EXPECT_EQ(first->GetRefCount(), 2);
    AssignRef(&holder, first.Get());
    EXPECT_EQ(first->GetRefCount(), 2);
    AssignRef(&holder, second.Get());
    EXPECT_EQ(first->GetRefCount(), 1);
    EXPECT_EQ(second->GetRefCount(), 2);
    ReleaseRef(&holder);
    first.Reset();
    second.Reset();
    EXPECT_EQ(g_destroyed, 2);
}

TEST(SharedRef, LastUseDestroysTheObjectAndSelfAssignmentCountsNothing) {
    int destroyed = 0;
    CSharedRef<int> handle = CSharedRef<int>::Make(new int(7), [&destroyed](int* value) {
        ++destroyed;
        delete value;
    });
    AssignRef(&handle, handle);
    EXPECT_EQ(handle.Counter()->UseCount(), 1);
    {
        CSharedRef<int> copy;
        AssignRef(&copy, handle);
        EXPECT_EQ(handle.Counter()->UseCount(), 2);
        EXPECT_EQ(*copy, 7);
    }
    EXPECT_EQ(handle.Counter()->UseCount(), 1);
    EXPECT_EQ(destroyed, 0);
    handle.Reset();
    EXPECT_EQ(destroyed, 1);
}

TEST(QueryInterface, AnswersItsOwnIdentifiersOnly) {
    g_destroyed = 0;
    CTestObject* object = new CTestObject();
    object->AddRef();
    EXPECT_EQ(object->QueryInterface(IID_IDialogLayer, nullptr), E_INVALIDARG);
    EXPECT_EQ(object->GetRefCount(), 1);

    void* untouched = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(object->QueryInterface(IID_IDialogManager, &untouched), E_NOINTERFACE);
    EXPECT_EQ(untouched, reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(object->GetRefCount(), 1);

    void* found = nullptr;
    EXPECT_EQ(object->QueryInterface(IID_IUnknown, &found), S_OK);
    EXPECT_EQ(found, static_cast<ITestInterface*>(object));
    EXPECT_EQ(object->QueryInterface(IID_IDialogLayer, &found), S_OK);
    EXPECT_EQ(object->GetRefCount(), 3);

    EXPECT_EQ(object->Release(), 2u);
    EXPECT_EQ(object->Release(), 1u);
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(g_destroyed, 1);
}

class CTestRepository : public CLayoutRepositoryService {
public:
    CLayoutSet* GetDocument(LPCWSTR name) override {
        lastName = name;
        return reinterpret_cast<CLayoutSet*>(0x5678);
    }
    std::u16string lastName;
};

class CTestFactory : public CObjectFactoryService {
public:
    IUnknown* CreateObject(LPCWSTR) override {
        auto* object = new CTestObject();
        object->AddRef();
        return object;
    }
};

TEST(ServiceLocator, InstallingTheSameServiceTwiceKeepsItsCount) {
    CRefPtr<CTestRepository> repository(new CTestRepository());
    CLayoutRepositoryService* holder = repository.Get();
    SetLayoutRepository(&holder);
    EXPECT_EQ(repository->GetRefCount(), 2);
    SetLayoutRepository(&holder);
    EXPECT_EQ(repository->GetRefCount(), 2);

    EXPECT_EQ(GetLayoutDocument(u"Main"), reinterpret_cast<CLayoutSet*>(0x5678));
    EXPECT_EQ(repository->lastName, u"Main");
    EXPECT_EQ(repository->GetRefCount(), 2) << "the getter's own reference is given back";

    CLayoutRepositoryService* empty = nullptr;
    SetLayoutRepository(&empty);
    EXPECT_EQ(repository->GetRefCount(), 1);
    EXPECT_EQ(GetLayoutDocument(u"Main"), nullptr);
}

TEST(ServiceLocator, GettersOfEmptyServicesGiveNull) {
    EXPECT_EQ(GetResourcePack(u"skin"), nullptr);
    EXPECT_EQ(CreateLayoutObject(u"Orm.LSP.Rect"), nullptr);
    EXPECT_FALSE(GetIconLoadService());

    CRefPtr<CTestFactory> factory(new CTestFactory());
    CObjectFactoryService* holder = factory.Get();
    SetObjectFactory(&holder);
    CInterfacePtr<IUnknown> object = CInterfacePtr<IUnknown>::Adopt(CreateLayoutObject(u"Orm.LSP.Rect"));
    ASSERT_TRUE(object);
    holder = nullptr;
    SetObjectFactory(&holder);
    EXPECT_EQ(factory->GetRefCount(), 1);
}

}  // namespace
