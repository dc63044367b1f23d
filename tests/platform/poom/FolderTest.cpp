// Folders: the item collections in item-id order, and the infrared outbox with its record
// of sent items.
#include "platform/poom/SentItems.h"
#include "tests/platform/poom/PoomTestSupport.h"

namespace poom_test {
namespace {

using namespace platform::poom;

using FolderTest = PoomTest;

TEST_F(FolderTest, CollectionsListTheSavedItemsOfTheirType) {
    ComPtr<IFolder> contacts;
    ASSERT_EQ(app_->GetDefaultFolder(olFolderContacts, contacts.Receive()), S_OK);
    int itemType = 0;
    ASSERT_EQ(contacts->get_DefaultItemType(&itemType), S_OK);
    EXPECT_EQ(itemType, olContactItem);
    ComPtr<IPOutlookItemCollection> items;
    ASSERT_EQ(contacts->get_Items(items.Receive()), S_OK);
    SavedContact(u"First", nullptr, nullptr);
    SavedContact(u"Second", nullptr, nullptr);
    SavedContact(u"Third", nullptr, nullptr);
    int count = 0;
    ASSERT_EQ(items->get_Count(&count), S_OK);
    EXPECT_EQ(count, 3);
    ComPtr<IDispatch> second;
    ASSERT_EQ(items->Item(2, second.Receive()), S_OK);
    BSTR text = nullptr;
    As<IContact>(second.Get())->get_FirstName(&text);
    EXPECT_EQ(Take(text), u"Second");
    EXPECT_EQ(items->Item(4, second.Receive()), E_INVALIDARG);
    EXPECT_EQ(items->Item(0, second.Receive()), E_INVALIDARG);

    ASSERT_EQ(items->Remove(1), S_OK);
    items->get_Count(&count);
    EXPECT_EQ(count, 2);
    ComPtr<IDispatch> added;
    ASSERT_EQ(items->Add(added.Receive()), S_OK);
    EXPECT_TRUE(As<IContact>(added.Get()));

    ComPtr<IFolder> tasks;
    ASSERT_EQ(app_->GetDefaultFolder(olFolderTasks, tasks.Receive()), S_OK);
    ComPtr<IPOutlookItemCollection> taskItems;
    tasks->get_Items(taskItems.Receive());
    taskItems->get_Count(&count);
    EXPECT_EQ(count, 0);
    ComPtr<IFolder> unknown;
    EXPECT_EQ(app_->GetDefaultFolder(11, unknown.Receive()), E_INVALIDARG);
}

TEST_F(FolderTest, TheInfraredFolderRecordsWhatItSends) {
    ComPtr<IContact> anna = SavedContact(u"Anna", u"Berg", nullptr);
    ComPtr<IContact> numberOnly = SavedContact(nullptr, nullptr, u"555 0100");
    ComPtr<IFolder> infrared;
    ASSERT_EQ(app_->GetDefaultFolder(olFolderInfrared, infrared.Receive()), S_OK);
    EXPECT_EQ(infrared->SendToInfrared(0, 0, 0), S_FALSE);  // nothing queued
    EXPECT_EQ(infrared->AddItemToInfraredFolder(olTaskItem, anna.Get()), E_INVALIDARG);
    ASSERT_EQ(infrared->AddItemToInfraredFolder(olContactItem, anna.Get()), S_OK);
    ASSERT_EQ(infrared->AddItemToInfraredFolder(olContactItem, numberOnly.Get()), S_OK);
    EXPECT_EQ(infrared->SendToInfrared(0, 1, 0), E_INVALIDARG);
    ASSERT_EQ(infrared->SendToInfrared(0, 0, 0), S_OK);
    EXPECT_EQ(infrared->SendToInfrared(0, 0, 0), S_FALSE);  // the queue was emptied

    std::vector<SentItem> sent;
    ASSERT_TRUE(ReadSentItems(sent));
    ASSERT_EQ(sent.size(), 2u);
    CEOID annaOid = 0;
    anna->get_Oid(&annaOid);
    EXPECT_EQ(sent[0].itemType, olContactItem);
    EXPECT_EQ(sent[0].oid, annaOid);
    EXPECT_EQ(sent[0].summary, u"Anna Berg");
    EXPECT_EQ(sent[1].summary, u"555 0100");
    EXPECT_NE(sent[1].sentAt.dwHighDateTime, 0u);

    ComPtr<IFolder> contacts;
    app_->GetDefaultFolder(olFolderContacts, contacts.Receive());
    EXPECT_EQ(contacts->AddItemToInfraredFolder(olContactItem, anna.Get()), E_NOTIMPL);
    ComPtr<IPOutlookItemCollection> none;
    EXPECT_EQ(infrared->get_Items(none.Receive()), E_NOTIMPL);
}

}  // namespace
}  // namespace poom_test
