// The item window: its fields as children, saving what they hold on IDOK, discarding on
// IDCANCEL, and the fields that Display leaves out.
#include "platform/poom/ItemWindow.h"
#include "platform/user/Window.h"
#include "tests/platform/poom/PoomTestSupport.h"

namespace poom_test {
namespace {

using namespace platform::poom;

using ItemWindowTest = PoomTest;

TEST_F(ItemWindowTest, EditShowsEveryFieldAndSavesTheChildrenOnOk) {
    ComPtr<IContact> contact = SavedContact(u"Anna", u"Berg", u"111");
    ComPtr<IItem> item = As<IItem>(contact.Get());
    WindowCall call([&] { return item->Edit(nullptr); });
    HWND dialog = WaitForDialog(u"Contact: Anna Berg");
    ASSERT_NE(dialog, nullptr);
    HWND mobile = ChildWithId(dialog, PROP_ID(kContactMobileTelephoneNumber));
    ASSERT_NE(mobile, nullptr);
    EXPECT_EQ(WindowText(mobile), u"111");
    HWND birthday = ChildWithId(dialog, PROP_ID(kContactBirthday));
    ASSERT_NE(birthday, nullptr);  // empty fields are there to be filled in
    EXPECT_EQ(WindowText(birthday), u"");

    SetWindowTextW(mobile, u"222");
    SetWindowTextW(ChildWithId(dialog, PROP_ID(kContactLastName)), u"");
    SetWindowTextW(birthday, u"1980-02-29");
    SetWindowTextW(ChildWithId(dialog, PROP_ID(kContactDefaultNumber)), u"not a number");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(call.Join(), S_OK);
    EXPECT_FALSE(IsWindow(dialog));

    CEOID oid = 0;
    contact->get_Oid(&oid);
    ComPtr<IContact> saved = As<IContact>(ItemOf(oid).Get());
    ASSERT_TRUE(saved);
    BSTR text = nullptr;
    saved->get_MobileTelephoneNumber(&text);
    EXPECT_EQ(Take(text), u"222");
    saved->get_LastName(&text);
    EXPECT_EQ(Take(text), u"");
    DATE born = 0;
    saved->get_Birthday(&born);
    SYSTEMTIME day{};
    ASSERT_TRUE(VariantTimeToSystemTime(born, &day));
    EXPECT_EQ(day.wYear, 1980);
    EXPECT_EQ(day.wMonth, 2);
    EXPECT_EQ(day.wDay, 29);
    ULONG defaultNumber = 7;
    saved->get_DefaultNumber(&defaultNumber);
    EXPECT_EQ(defaultNumber, 0u);  // a text that is no number leaves the field as it was
}

TEST_F(ItemWindowTest, CancelLeavesANewItemUnsavedAndDisplayShowsOnlyFilledFields) {
    ComPtr<IDispatch> created;
    ASSERT_EQ(app_->CreateItem(olTaskItem, created.Receive()), S_OK);
    ComPtr<ITask> task = As<ITask>(created.Get());
    ASSERT_EQ(task->put_Subject(Text(u"Call back")), S_OK);
    ComPtr<IItem> item = As<IItem>(task.Get());

    WindowCall cancelled([&] { return item->Display(nullptr); });
    HWND dialog = WaitForDialog(u"Task: Call back");
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(ChildWithId(dialog, PROP_ID(kItemSubject)), nullptr);
    EXPECT_EQ(ChildWithId(dialog, PROP_ID(kItemDueDate)), nullptr);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(cancelled.Join(), S_OK);
    CEOID oid = 1;
    task->get_Oid(&oid);
    EXPECT_EQ(oid, 0u);

    WindowCall kept([&] { return item->Display(nullptr); });
    dialog = WaitForDialog(u"Task: Call back");
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(kept.Join(), S_OK);
    task->get_Oid(&oid);
    EXPECT_EQ(ItemTypeOfOid(oid), olTaskItem);  // a new item is saved on OK even unchanged
}

}  // namespace
}  // namespace poom_test
