// The stand-in "pimstore.dll" by ordinal: copying contacts (whole, or as a SIM entry) and
// choosing the type of a new item.
#include "platform/base/Errors.h"
#include "platform/base/Library.h"
#include "platform/poom/PimStore.h"
#include "platform/user/Window.h"
#include "tests/platform/poom/PoomTestSupport.h"

namespace poom_test {
namespace {

using namespace platform::poom;

class PimStoreTest : public PoomTest {
protected:
    void SetUp() override {
        PoomTest::SetUp();
        library_ = LoadLibraryW(u"pimstore.dll");
        ASSERT_NE(library_, nullptr);
        copy_ = reinterpret_cast<CopyContactFunction>(GetProcAddress(library_, MAKEINTRESOURCEA(117)));
        pick_ = reinterpret_cast<PickNewItemFunction>(GetProcAddress(library_, MAKEINTRESOURCEA(18)));
        ASSERT_NE(copy_, nullptr);
        ASSERT_NE(pick_, nullptr);
    }
    void TearDown() override {
        FreeLibrary(library_);
        PoomTest::TearDown();
    }

    std::u16string Field(IContact* contact, HRESULT (IContact::*getter)(BSTR*)) {
        BSTR text = nullptr;
        (contact->*getter)(&text);
        return Take(text);
    }

    HMODULE library_ = nullptr;
    CopyContactFunction copy_ = nullptr;
    PickNewItemFunction pick_ = nullptr;
};

TEST_F(PimStoreTest, CopiesAreNewContactsWholeOrAsASimEntry) {
    ComPtr<IContact> anna = SavedContact(u"Anna", u"Berg", u"111");
    ASSERT_EQ(anna->put_HomeTelephoneNumber(Text(u"222")), S_OK);
    ASSERT_EQ(anna->put_DefaultNumber(kContactHomeTelephoneNumber), S_OK);
    ASSERT_EQ(anna->put_CompanyName(Text(u"Acme")), S_OK);
    ASSERT_EQ(anna->Save(), S_OK);

    ComPtr<IContact> whole;
    ASSERT_EQ(copy_(anna.Get(), kCopyToContacts, whole.Receive()), S_OK);
    CEOID annaOid = 0, copyOid = 0;
    anna->get_Oid(&annaOid);
    whole->get_Oid(&copyOid);
    EXPECT_NE(copyOid, annaOid);
    ComPtr<IContact> stored = As<IContact>(ItemOf(copyOid).Get());
    ASSERT_TRUE(stored);
    EXPECT_EQ(Field(stored.Get(), &IContact::get_CompanyName), u"Acme");
    EXPECT_EQ(Field(stored.Get(), &IContact::get_MobileTelephoneNumber), u"111");

    ComPtr<IContact> sim;
    ASSERT_EQ(copy_(anna.Get(), kCopyToSim, sim.Receive()), S_OK);
    EXPECT_EQ(Field(sim.Get(), &IContact::get_FirstName), u"Anna");
    EXPECT_EQ(Field(sim.Get(), &IContact::get_MobileTelephoneNumber), u"222");  // the default number
    EXPECT_EQ(Field(sim.Get(), &IContact::get_CompanyName), u"");
    EXPECT_EQ(Field(sim.Get(), &IContact::get_HomeTelephoneNumber), u"");

    ComPtr<IContact> noNumber = SavedContact(u"Nobody", nullptr, nullptr);
    EXPECT_EQ(copy_(noNumber.Get(), kCopyToSim, nullptr), HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
    EXPECT_EQ(copy_(anna.Get(), 2, nullptr), E_INVALIDARG);
    EXPECT_EQ(copy_(nullptr, kCopyToContacts, nullptr), E_POINTER);
    int count = 0;
    ComPtr<IFolder> contacts;
    ComPtr<IPOutlookItemCollection> items;
    app_->GetDefaultFolder(olFolderContacts, contacts.Receive());
    contacts->get_Items(items.Receive());
    items->get_Count(&count);
    EXPECT_EQ(count, 4);  // Anna, her two copies, Nobody
}

TEST_F(PimStoreTest, TheUserPicksTheTypeOfANewItem) {
    ComPtr<IDispatch> item;
    ASSERT_EQ(pick_(app_.Get(), nullptr, 4, item.Receive()), S_OK);  // one type: nobody is asked
    EXPECT_TRUE(As<ITask>(item.Get()));
    EXPECT_EQ(pick_(app_.Get(), nullptr, 0, item.Receive()), E_INVALIDARG);
    EXPECT_EQ(pick_(app_.Get(), nullptr, 8, item.Receive()), E_INVALIDARG);

    IPOutlookApp* app = app_.Get();
    IDispatch* picked = nullptr;
    WindowCall choosing([&] { return pick_(app, nullptr, 7, &picked); });
    HWND chooser = WaitForDialog(u"New");
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(WindowText(ChildWithId(chooser, kNewItemChoiceBaseId + olAppointmentItem)), u"Appointment");
    PostMessageW(chooser, WM_COMMAND, kNewItemChoiceBaseId + olAppointmentItem, 0);
    ASSERT_EQ(choosing.Join(), S_OK);
    ComPtr<IDispatch> appointment = ComPtr<IDispatch>::Adopt(picked);
    EXPECT_TRUE(As<IAppointment>(appointment.Get()));

    picked = nullptr;
    WindowCall cancelling([&] { return pick_(app, nullptr, 3, &picked); });
    chooser = WaitForDialog(u"New");
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(ChildWithId(chooser, kNewItemChoiceBaseId + olTaskItem), nullptr);  // not offered
    PostMessageW(chooser, WM_COMMAND, kNewItemChoiceBaseId + olTaskItem, 0);      // ignored
    PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(cancelling.Join(), S_FALSE);
    EXPECT_EQ(picked, nullptr);
}

}  // namespace
}  // namespace poom_test
