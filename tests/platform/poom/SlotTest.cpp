// The operations that callers reach by slot sit in the slots they count.
#include "platform/poom/PimStore.h"
#include "tests/platform/poom/PoomTestSupport.h"

namespace poom_test {
namespace {

TEST(PoomSlots, OperationsSitWhereCallersCountThem) {
    EXPECT_EQ(SlotOf(&IDispatch::Invoke), 6u);
    EXPECT_EQ(SlotOf(&IPOutlookApp::Logon), 7u);
    EXPECT_EQ(SlotOf(&IPOutlookApp::Logoff), 8u);
    EXPECT_EQ(SlotOf(&IPOutlookApp::GetDefaultFolder), 10u);
    EXPECT_EQ(SlotOf(&IPOutlookApp::CreateItem), 11u);
    EXPECT_EQ(SlotOf(&IPOutlookApp::GetItemFromOid), 12u);
    EXPECT_EQ(SlotOf(&IItem::SetProps), 4u);
    HRESULT (IItem::*display)(HWND) = &IItem::Display;
    EXPECT_EQ(SlotOf(display), 7u);
    EXPECT_EQ(SlotOf(&IItem::Edit), 8u);
    EXPECT_EQ(SlotOf(&IAppointment::put_Start), 29u);
    EXPECT_EQ(SlotOf(&IAppointment::put_Duration), 30u);
    EXPECT_EQ(SlotOf(&IContact::get_FileAs), 8u);
    EXPECT_EQ(SlotOf(&IContact::put_DefaultNumber), 107u);
    EXPECT_EQ(SlotOf(&IContact::Delete), 108u);
    EXPECT_EQ(SlotOf(&IFolder::AddItemToInfraredFolder), 10u);
    EXPECT_EQ(SlotOf(&IFolder::SendToInfrared), 11u);
}

TEST(PoomSlots, ObjectIdsCarryTheItemTypeInTheTopBits) {
    EXPECT_EQ(platform::poom::MakeItemOid(olContactItem, 5), 0x80000005u);
    EXPECT_EQ(platform::poom::MakeItemOid(olAppointmentItem, 5), 0x40000005u);
    EXPECT_EQ(platform::poom::MakeItemOid(olTaskItem, 5), 0xC0000005u);
    EXPECT_EQ(platform::poom::ItemTypeOfOid(0x80000007u), olContactItem);
    EXPECT_EQ(platform::poom::ItemIdOfOid(0xC0000007u), 7u);
}

}  // namespace
}  // namespace poom_test
