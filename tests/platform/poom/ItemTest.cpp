// Items: saving into and reading back from the databases the dialer reads, changes and
// removals, properties by id, deletion, and the appointment's times.
#include "platform/base/Errors.h"
#include "platform/base/LocalMemory.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/base/Handle.h"
#include "tests/platform/poom/PoomTestSupport.h"

namespace poom_test {
namespace {

using namespace platform::poom;

// A record of "Contacts Database" read without the object model, as the dialer reads it.
struct RawContact {
    bool found = false;
    std::u16string mobile;
    std::u16string first;
    bool hasLast = false;
};

RawContact ReadRawContact(DWORD itemId) {
    RawContact raw;
    CEGUID volume{};
    if (!CeMountDBVolEx(&volume, u"pim.vol", nullptr, 3)) return raw;
    CEOID oid = 0;
    HANDLE database = CeOpenDatabaseInSession(nullptr, &volume, &oid, u"Contacts Database", nullptr, 0, nullptr);
    for (CEOID at = CeSeekDatabaseEx(database, CEDB_SEEK_BEGINNING, 0, 0, nullptr); at != 0;
         at = CeSeekDatabaseEx(database, CEDB_SEEK_CURRENT, 1, 0, nullptr)) {
        CEPROPID ids[] = {CEPROPID_ITEMID, 0x0096001F, 0x0082001F, 0x0084001F};
        WORD count = 4;
        LPBYTE buffer = nullptr;
        DWORD bytes = 0;
        if (CeReadRecordPropsEx(database, CEDB_ALLOWREALLOC, &count, ids, &buffer, &bytes, nullptr) == 0) break;
        auto* values = reinterpret_cast<CEPROPVAL*>(buffer);
        if (values[0].val.ulVal == itemId) {
            raw.found = true;
            if (!(values[1].wFlags & CEDB_PROPNOTFOUND)) raw.mobile = values[1].val.lpwstr;
            if (!(values[2].wFlags & CEDB_PROPNOTFOUND)) raw.first = values[2].val.lpwstr;
            raw.hasLast = !(values[3].wFlags & CEDB_PROPNOTFOUND);
        }
        LocalFree(buffer);
    }
    CloseHandle(database);
    CeUnmountDBVol(&volume);
    return raw;
}

using ItemTest = PoomTest;

TEST_F(ItemTest, ASavedContactIsARecordOfTheContactsDatabase) {
    ComPtr<IContact> contact = NewContact();
    CEOID oid = 1;
    ASSERT_EQ(contact->get_Oid(&oid), S_OK);
    EXPECT_EQ(oid, 0u);  // not saved yet
    ASSERT_EQ(contact->put_FirstName(Text(u"Anna")), S_OK);
    ASSERT_EQ(contact->put_LastName(Text(u"Berg")), S_OK);
    ASSERT_EQ(contact->put_MobileTelephoneNumber(Text(u"+49 170 1234567")), S_OK);
    ASSERT_EQ(contact->Save(), S_OK);
    ASSERT_EQ(contact->get_Oid(&oid), S_OK);
    EXPECT_EQ(ItemTypeOfOid(oid), olContactItem);
    ASSERT_NE(ItemIdOfOid(oid), 0u);

    RawContact raw = ReadRawContact(ItemIdOfOid(oid));
    ASSERT_TRUE(raw.found);
    EXPECT_EQ(raw.mobile, u"+49 170 1234567");
    EXPECT_EQ(raw.first, u"Anna");

    ComPtr<IContact> again = As<IContact>(ItemOf(oid).Get());
    ASSERT_TRUE(again);
    BSTR text = nullptr;
    ASSERT_EQ(again->get_LastName(&text), S_OK);
    EXPECT_EQ(Take(text), u"Berg");
    ASSERT_EQ(again->get_Email1Address(&text), S_OK);
    EXPECT_EQ(Take(text), u"");  // absent fields read empty
    // The dialer's ids come with bit 31 set, which is the contact's type.
    EXPECT_TRUE(ItemOf(0x80000000u | ItemIdOfOid(oid)));
}

TEST_F(ItemTest, ChangesAndRemovalsReachTheRecordOnSave) {
    ComPtr<IContact> contact = SavedContact(u"Anna", u"Berg", u"111");
    CEOID oid = 0;
    contact->get_Oid(&oid);
    ASSERT_EQ(contact->put_MobileTelephoneNumber(Text(u"222")), S_OK);
    ASSERT_EQ(contact->put_LastName(Text(u"")), S_OK);
    EXPECT_EQ(ReadRawContact(ItemIdOfOid(oid)).mobile, u"111");  // nothing before the save
    ASSERT_EQ(contact->Save(), S_OK);
    RawContact raw = ReadRawContact(ItemIdOfOid(oid));
    EXPECT_EQ(raw.mobile, u"222");
    EXPECT_FALSE(raw.hasLast);
    CEOID sameOid = 0;
    contact->get_Oid(&sameOid);
    EXPECT_EQ(sameOid, oid);

    ASSERT_EQ(contact->Delete(), S_OK);
    EXPECT_FALSE(ReadRawContact(ItemIdOfOid(oid)).found);
    ComPtr<IDispatch> gone;
    EXPECT_EQ(app_->GetItemFromOid(oid, gone.Receive()), HRESULT_FROM_WIN32(ERROR_NOT_FOUND));
    // A deleted item keeps its fields and saves as a new record.
    ASSERT_EQ(contact->Save(), S_OK);
    CEOID newOid = 0;
    contact->get_Oid(&newOid);
    EXPECT_NE(newOid, oid);
    EXPECT_EQ(ReadRawContact(ItemIdOfOid(newOid)).mobile, u"222");
}

TEST_F(ItemTest, PropertiesByIdAreCheckedBeforeAnyIsTaken) {
    ComPtr<IContact> contact = NewContact();
    ComPtr<IItem> item = As<IItem>(contact.Get());
    ASSERT_TRUE(item);
    char16_t number[] = u"555";
    CEPROPVAL values[2] = {};
    values[0].propid = kContactMobileTelephoneNumber;
    values[0].val.lpwstr = number;
    values[1].propid = MAKEPROPID(0x300, CEVT_STREAM);  // streams are not item values
    EXPECT_EQ(item->SetProps(0, 2, values), HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER));
    values[1] = values[0];
    values[1].propid = CEPROPID_ITEMID;
    EXPECT_EQ(item->SetProps(0, 2, values), E_INVALIDARG);
    EXPECT_EQ(item->SetProps(1, 1, values), E_INVALIDARG);
    BSTR text = nullptr;
    contact->get_MobileTelephoneNumber(&text);
    EXPECT_EQ(Take(text), u"");

    ASSERT_EQ(item->SetProps(0, 1, values), S_OK);
    ASSERT_EQ(item->Save(), S_OK);
    CEPROPID wanted[] = {kContactMobileTelephoneNumber, kContactFirstName, CEPROPID_ITEMID};
    WORD count = 3;
    CEPROPVAL* read = nullptr;
    ULONG bytes = 0;
    ASSERT_EQ(item->GetProps(wanted, CEDB_ALLOWREALLOC, &count, &read, &bytes, nullptr), S_OK);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(std::u16string(read[0].val.lpwstr), u"555");
    EXPECT_TRUE(read[1].wFlags & CEDB_PROPNOTFOUND);
    CEOID oid = 0;
    item->get_Oid(&oid);
    EXPECT_EQ(read[2].val.ulVal, ItemIdOfOid(oid));
    LocalFree(read);

    CEPROPVAL removal{};
    removal.propid = kContactMobileTelephoneNumber;
    removal.wFlags = CEDB_PROPDELETE;
    ASSERT_EQ(item->SetProps(0, 1, &removal), S_OK);
    ASSERT_EQ(item->Save(), S_OK);
    EXPECT_EQ(ReadRawContact(ItemIdOfOid(oid)).mobile, u"");
}

TEST_F(ItemTest, AnAppointmentEndsItsDurationAfterItsStart) {
    ComPtr<IDispatch> created;
    ASSERT_EQ(app_->CreateItem(olAppointmentItem, created.Receive()), S_OK);
    ComPtr<IAppointment> appointment = As<IAppointment>(created.Get());
    ASSERT_TRUE(appointment);
    ASSERT_EQ(appointment->put_Start(40178.5), S_OK);  // 2009-12-31 12:00
    ASSERT_EQ(appointment->put_Duration(720), S_OK);
    EXPECT_EQ(appointment->put_Duration(-1), E_INVALIDARG);
    EXPECT_EQ(appointment->put_Start(-700000.0), E_INVALIDARG);  // before any FILETIME
    DATE end = 0;
    ASSERT_EQ(appointment->get_End(&end), S_OK);
    EXPECT_DOUBLE_EQ(end, 40179.0);
    ASSERT_EQ(appointment->Save(), S_OK);
    CEOID oid = 0;
    appointment->get_Oid(&oid);
    EXPECT_EQ(ItemTypeOfOid(oid), olAppointmentItem);
    ComPtr<IAppointment> again = As<IAppointment>(ItemOf(oid).Get());
    ASSERT_TRUE(again);
    DATE start = 0;
    LONG minutes = 0;
    again->get_Start(&start);
    again->get_Duration(&minutes);
    EXPECT_DOUBLE_EQ(start, 40178.5);
    EXPECT_EQ(minutes, 720);
}

TEST_F(ItemTest, CallsNeedALogonAndAKnownType) {
    ComPtr<IDispatch> item;
    EXPECT_EQ(app_->CreateItem(4, item.Receive()), E_INVALIDARG);
    EXPECT_EQ(app_->GetItemFromOid(5, item.Receive()), E_INVALIDARG);  // no type bits
    EXPECT_EQ(app_->GetItemFromOid(0x80000000u, item.Receive()), E_INVALIDARG);
    ComPtr<IContact> contact = SavedContact(u"Kept", nullptr, nullptr);
    ASSERT_EQ(app_->Logoff(), S_OK);
    EXPECT_EQ(app_->CreateItem(olContactItem, item.Receive()), E_UNEXPECTED);
    EXPECT_EQ(app_->Logoff(), E_UNEXPECTED);
    // Items handed out before keep working.
    EXPECT_EQ(contact->put_LastName(Text(u"Still")), S_OK);
    EXPECT_EQ(contact->Save(), S_OK);
}

}  // namespace
}  // namespace poom_test
