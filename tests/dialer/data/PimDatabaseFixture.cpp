// The PIM volume layer's test set-up.
#include "tests/dialer/data/PimDatabaseFixture.h"

#include <chrono>
#include <string>
#include <thread>

#include "platform/base/Handle.h"
#include "platform/base/WideString.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/user/Window.h"

namespace pim_data_test {

namespace {

constexpr DWORD kOpenAlways = 4;

SORTORDERSPECEX Order(CEPROPID id, DWORD flags) {
    SORTORDERSPECEX order{};
    order.wVersion = SORTORDERSPECEX_VERSION;
    order.wNumProps = 1;
    order.rgPropID[0] = id;
    order.rgdwFlags[0] = flags;
    return order;
}

}  // namespace

Writer::Writer() {
    CeMountDBVolEx(&volume_, u"pim.vol", nullptr, kOpenAlways);
    CEOID oid = 0;
    database_ = CeOpenDatabaseInSession(nullptr, &volume_, &oid, u"Contacts Database", nullptr, 0, nullptr);
}

Writer::~Writer() {
    CloseHandle(database_);
    CeUnmountDBVol(&volume_);
}

CEOID Writer::Add(const char16_t* givenName) {
    std::u16string name = givenName;
    CEPROPVAL value{};
    value.propid = kGivenName;
    value.val.lpwstr = name.data();
    return CeWriteRecordProps(database_, 0, 1, &value);
}

bool Writer::Rename(CEOID oid, const char16_t* givenName) {
    std::u16string name = givenName;
    CEPROPVAL value{};
    value.propid = kGivenName;
    value.val.lpwstr = name.data();
    return CeWriteRecordProps(database_, oid, 1, &value) == oid;
}

bool Writer::Remove(CEOID oid) { return CeDeleteRecord(database_, oid) != FALSE; }

void PimDatabaseTest::SetUp() {
    CEGUID volume{};
    ASSERT_TRUE(CeMountDBVolEx(&volume, u"pim.vol", nullptr, kOpenAlways));
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
    wcscpy(info.szDbaseName, u"Contacts Database");
    info.wNumSortOrder = 3;
    info.rgSortSpecs[0] = Order(kGivenName, CEDB_SORT_CASEINSENSITIVE);
    info.rgSortSpecs[1] = Order(CEPROPID_ITEMID, CEDB_SORT_DESCENDING);
    info.rgSortSpecs[2] = Order(CEPROPID_ITEMID, 0);
    ASSERT_NE(CeCreateDatabaseEx2(&volume, &info), 0u);
    CEOID oid = 0;
    HANDLE database = CeOpenDatabaseInSession(nullptr, &volume, &oid, u"Contacts Database", nullptr, 0, nullptr);
    ASSERT_NE(database, INVALID_HANDLE_VALUE);
    BYTE note[] = {1, 2, 3};
    for (const char16_t* name : {u"Cleo", u"Anna", u"Berit"}) {
        std::u16string given = name;
        CEPROPVAL values[3] = {};
        values[0].propid = kGivenName;
        values[0].val.lpwstr = given.data();
        values[1].propid = kBirthday;
        values[1].val.filetime = FILETIME{0x11111111, 0x01C00000};
        values[2].propid = kNote;
        values[2].val.blob = CEBLOB{3, note};
        records_.push_back(CeWriteRecordProps(database, 0, 3, values));
        ASSERT_NE(records_.back(), 0u);
    }
    CloseHandle(database);
    // The databases under test hold the only mount from here on.
    ASSERT_TRUE(CeUnmountDBVol(&volume));
}

bool PumpUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void PumpFor(int milliseconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    PumpUntil([&] { return std::chrono::steady_clock::now() > until; });
}

}  // namespace pim_data_test
