// Item collections and the locked proxies of the dialog objects: finding from the last
// item, index errors, and proxies that answer E_FAIL (FALSE for Invalidate) once their object
// is gone.
#include <gtest/gtest.h>

#include "dialer/dialog/DialogProxies.h"
#include "dialer/dialog/ItemCollection.h"
#include "tests/dialer/dialog/DialogTestSupport.h"

namespace {

ItemDescription Named(LPCWSTR name, LONG id) {
    ItemDescription description;
    description.name = name;
    description.id = id;
    return description;
}

TEST(ItemCollection, FindsFromTheLastItemAndChecksIndexes) {
    CInterfacePtr<CItemCollection> items = CItemCollection::Make();
    for (const ItemDescription& d : {Named(u"a", 1), Named(u"b", 2), Named(u"a", 3)})
        EXPECT_EQ(items->AddItem(&d), S_OK);
    LONG index = -1;
    EXPECT_EQ(items->FindByName(u"a", &index), S_OK);
    EXPECT_EQ(index, 2) << "the last of two with one name";
    EXPECT_EQ(items->FindByName(u"A", &index), S_FALSE) << "names compare exactly";
    EXPECT_EQ(items->FindByName(nullptr, &index), E_FAIL);
    EXPECT_EQ(items->FindById(2, &index), S_OK);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(items->FindByIdAndSubId(2, 0, &index), S_FALSE);
    EXPECT_EQ(items->FindByNameAndSubId(u"b", -1, &index), S_OK);

    const ItemDescription inserted = Named(u"c", 4);
    EXPECT_EQ(items->InsertItem(4, &inserted), E_INVALIDARG);
    EXPECT_EQ(items->InsertItem(3, &inserted), S_OK) << "at the end";
    EXPECT_EQ(items->RemoveItem(-1), E_INVALIDARG);
    EXPECT_EQ(items->RemoveItem(4), E_INVALIDARG);
    EXPECT_EQ(items->RemoveItem(0), S_OK);
    LONG count = 0;
    items->GetCount(&count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(items->GetCount(nullptr), S_OK);
    POINT offset{};
    EXPECT_EQ(items->GetOffset(3, &offset), E_INVALIDARG);
    EXPECT_EQ(items->GetOffset(0, nullptr), E_INVALIDARG);
    ILayoutElement* element = nullptr;
    EXPECT_EQ(items->GetElement(0, &element), S_OK);
    EXPECT_EQ(element, nullptr);
}

TEST(ItemCollection, ItsProxyForwardsAndAnswersEFailOnceDetached) {
    CInterfacePtr<CItemCollection> items = CItemCollection::Make();
    CInterfacePtr<CItemCollectionProxy> proxy;
    ASSERT_TRUE(CreateLockedProxy(&proxy, static_cast<IItemCollection*>(items.Get())));
    const ItemDescription item = Named(u"row", 7);
    EXPECT_EQ(proxy->AddItem(&item), S_OK);
    LONG index = -1;
    EXPECT_EQ(proxy->FindById(7, &index), S_OK);
    CInterfacePtr<CItemCollectionProxy> kept = proxy;
    CWeakLink::Detach(&proxy);
    EXPECT_EQ(kept->FindById(7, &index), E_FAIL);
    EXPECT_EQ(kept->AddItem(&item), E_FAIL);
    void* self = nullptr;
    EXPECT_EQ(kept->QueryInterface(IID_IItemCollection, &self), S_OK);
    EXPECT_EQ(self, static_cast<IItemCollection*>(kept.Get()));
    kept->Release();
}

TEST(DialogProxies, ADetachedManagerProxyRefusesEveryCall) {
    CInterfacePtr<CDialogManagerProxy> proxy;
    ASSERT_TRUE(CreateLockedProxy(&proxy, nullptr));
    EXPECT_EQ(proxy->Invalidate(TRUE), FALSE);
    EXPECT_EQ(proxy->CloseTopDialog(), E_FAIL);
    SIZE size{};
    EXPECT_EQ(proxy->GetSize(&size), E_FAIL);
    EXPECT_EQ(proxy->OpenDialog(u"x", 0, nullptr), E_FAIL);
}

}  // namespace
