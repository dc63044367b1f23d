// The shared set-up of the property-database tests.
#include "tests/platform/cedb/CedbFixture.h"

#include <cstring>
#include <string>  // before WideString.h, whose wide overloads confuse <string>

#include "platform/base/WideString.h"

namespace cedb_test {

std::vector<PostedNotification>& Posted() {
    static std::vector<PostedNotification> posted;
    return posted;
}

BOOL RecordingPoster(HWND window, UINT message, WPARAM, LPARAM lParam) {
    Posted().push_back({window, message, reinterpret_cast<CENOTIFICATION*>(lParam)});
    return TRUE;
}

void FreePosted() {
    for (const PostedNotification& posted : Posted()) EXPECT_TRUE(CeFreeNotification(nullptr, posted.notification));
    Posted().clear();
}

CEPROPVAL Int(WORD number, LONG value) {
    CEPROPVAL v{};
    v.propid = MAKEPROPID(number, CEVT_I4);
    v.val.lVal = value;
    return v;
}

CEPROPVAL UInt(WORD number, ULONG value) {
    CEPROPVAL v{};
    v.propid = MAKEPROPID(number, CEVT_UI4);
    v.val.ulVal = value;
    return v;
}

CEPROPVAL Text(WORD number, const char16_t* value) {
    CEPROPVAL v{};
    v.propid = MAKEPROPID(number, CEVT_LPWSTR);
    v.val.lpwstr = const_cast<LPWSTR>(value);
    return v;
}

CEPROPVAL Blob(WORD number, BYTE* data, DWORD count) {
    CEPROPVAL v{};
    v.propid = MAKEPROPID(number, CEVT_BLOB);
    v.val.blob.dwCount = count;
    v.val.blob.lpb = data;
    return v;
}

CEPROPVAL Delete(CEPROPID id) {
    CEPROPVAL v{};
    v.propid = id;
    v.wFlags = CEDB_PROPDELETE;
    return v;
}

SORTORDERSPECEX Order(CEPROPID id, DWORD flags) {
    SORTORDERSPECEX order{};
    order.wVersion = SORTORDERSPECEX_VERSION;
    order.wNumProps = 1;
    order.rgPropID[0] = id;
    order.rgdwFlags[0] = flags;
    return order;
}

SORTORDERSPECEX Order2(CEPROPID first, DWORD firstFlags, CEPROPID second, DWORD secondFlags) {
    SORTORDERSPECEX order = Order(first, firstFlags);
    order.wNumProps = 2;
    order.rgPropID[1] = second;
    order.rgdwFlags[1] = secondFlags;
    return order;
}

const CEPROPVAL* ReadBack::Find(CEPROPID id) const {
    for (const CEPROPVAL& value : values)
        if (value.propid == id) return &value;
    return nullptr;
}

void CedbTest::SetUp() {
    Posted().clear();
    platform::cedb::SetNotificationPoster(&RecordingPoster);
    ASSERT_TRUE(CeMountDBVolEx(&volume_, u"pim.vol", nullptr, OPEN_ALWAYS)) << GetLastError();
}

void CedbTest::TearDown() {
    FreePosted();
    CeUnmountDBVol(&volume_);
    platform::cedb::SetNotificationPoster(nullptr);
}

CEOID CedbTest::CreateDatabase(const char16_t* name, std::vector<SORTORDERSPECEX> orders) {
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | (orders.empty() ? 0 : CEDB_VALIDSORTSPEC);
    wcsncpy(info.szDbaseName, name, CEDB_MAXDBASENAMELEN - 1);
    info.dwDbaseType = 7;
    info.wNumSortOrder = static_cast<WORD>(orders.size());
    for (std::size_t i = 0; i < orders.size(); ++i) info.rgSortSpecs[i] = orders[i];
    CEOID oid = CeCreateDatabaseEx2(&volume_, &info);
    EXPECT_NE(oid, 0u) << GetLastError();
    return oid;
}

HANDLE CedbTest::Open(const char16_t* name, SORTORDERSPECEX* order, CENOTIFYREQUEST* request, DWORD flags) {
    CEOID oid = 0;
    HANDLE handle = CeOpenDatabaseInSession(nullptr, &volume_, &oid, name, order, flags, request);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE) << GetLastError();
    return handle;
}

CEOID CedbTest::Write(HANDLE database, CEOID oid, std::vector<CEPROPVAL> values) {
    CEOID written = CeWriteRecordProps(database, oid, static_cast<WORD>(values.size()), values.data());
    EXPECT_NE(written, 0u) << GetLastError();
    return written;
}

ReadBack CedbTest::ReadCurrent(HANDLE database) {
    ReadBack back;
    WORD count = 0;
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    back.oid = CeReadRecordPropsEx(database, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size, nullptr);
    if (back.oid == 0) return back;
    auto* values = reinterpret_cast<CEPROPVAL*>(buffer);
    for (WORD i = 0; i < count; ++i) {
        back.values.push_back(values[i]);
        back.texts.push_back(PROP_TYPE(values[i].propid) == CEVT_LPWSTR ? std::u16string(values[i].val.lpwstr)
                                                                        : std::u16string());
        // Pointers into the buffer do not outlive it.
        if (PROP_TYPE(values[i].propid) == CEVT_LPWSTR) back.values.back().val.lpwstr = nullptr;
        if (PROP_TYPE(values[i].propid) == CEVT_BLOB) back.values.back().val.blob.lpb = nullptr;
    }
    LocalFree(buffer);
    return back;
}

std::vector<CEOID> CedbTest::Walk(HANDLE database) {
    std::vector<CEOID> order;
    DWORD index = 0;
    for (CEOID oid = CeSeekDatabaseEx(database, CEDB_SEEK_BEGINNING, 0, 0, &index); oid != 0;
         oid = CeSeekDatabaseEx(database, CEDB_SEEK_CURRENT, 1, 0, &index)) {
        EXPECT_EQ(index, order.size());
        order.push_back(oid);
    }
    return order;
}

CENOTIFYREQUEST CedbTest::Request(HWND window, DWORD param) {
    CENOTIFYREQUEST request{};
    request.dwSize = sizeof request;
    request.hwnd = window;
    request.dwFlags = CEDB_EXNOTIFICATION;
    request.dwParam = param;
    return request;
}

}  // namespace cedb_test
