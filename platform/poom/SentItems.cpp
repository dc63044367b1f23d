// Writing and reading the record of beamed items.
#include "platform/poom/SentItems.h"

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/base/LocalMemory.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/poom/PimSession.h"

namespace platform::poom {

namespace {

constexpr const char16_t* kSentItemsDatabase = u"Infrared Sent Items";
constexpr CEPROPID kSentType = MAKEPROPID(1, CEVT_UI4);
constexpr CEPROPID kSentOid = MAKEPROPID(2, CEVT_UI4);
constexpr CEPROPID kSentSummary = MAKEPROPID(3, CEVT_LPWSTR);
constexpr CEPROPID kSentAt = MAKEPROPID(4, CEVT_FILETIME);
constexpr DWORD kOpenExisting = 3;

void ReadRecord(const CEPROPVAL* values, WORD count, SentItem& item) {
    for (WORD i = 0; i < count; ++i) {
        if ((values[i].wFlags & CEDB_PROPNOTFOUND) != 0) continue;
        switch (values[i].propid) {
            case kSentType: item.itemType = static_cast<int>(values[i].val.ulVal); break;
            case kSentOid: item.oid = values[i].val.ulVal; break;
            case kSentSummary: item.summary = values[i].val.lpwstr; break;
            case kSentAt: item.sentAt = values[i].val.filetime; break;
            default: break;
        }
    }
}

}  // namespace

bool RecordSentItems(CEGUID& volume, const std::vector<SentItem>& items) {
    HANDLE database = OpenOrCreateDatabase(volume, kSentItemsDatabase);
    if (database == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    for (const SentItem& item : items) {
        std::u16string summary = item.summary;
        CEPROPVAL values[4] = {};
        values[0].propid = kSentType;
        values[0].val.ulVal = static_cast<ULONG>(item.itemType);
        values[1].propid = kSentOid;
        values[1].val.ulVal = item.oid;
        values[2].propid = kSentSummary;
        values[2].val.lpwstr = summary.data();
        values[3].propid = kSentAt;
        values[3].val.filetime = item.sentAt;
        if (CeWriteRecordProps(database, 0, 4, values) == 0) {
            written = false;
            break;
        }
    }
    DWORD error = GetLastError();
    CloseHandle(database);
    SetLastError(error);
    return written;
}

bool ReadSentItems(std::vector<SentItem>& items) {
    items.clear();
    CEGUID volume{};
    if (!CeMountDBVolEx(&volume, u"pim.vol", nullptr, kOpenExisting)) return false;
    CEOID oid = 0;
    HANDLE database = CeOpenDatabaseInSession(nullptr, &volume, &oid, kSentItemsDatabase, nullptr, 0, nullptr);
    bool read = true;
    if (database != INVALID_HANDLE_VALUE) {
        CEPROPID ids[] = {kSentType, kSentOid, kSentSummary, kSentAt};
        LPBYTE buffer = nullptr;
        DWORD bytes = 0;
        for (CEOID at = CeSeekDatabaseEx(database, CEDB_SEEK_BEGINNING, 0, 0, nullptr); at != 0;
             at = CeSeekDatabaseEx(database, CEDB_SEEK_CURRENT, 1, 0, nullptr)) {
            WORD count = 4;
            if (CeReadRecordPropsEx(database, CEDB_ALLOWREALLOC, &count, ids, &buffer, &bytes, nullptr) == 0) {
                read = false;
                break;
            }
            SentItem item;
            ReadRecord(reinterpret_cast<const CEPROPVAL*>(buffer), count, item);
            items.push_back(std::move(item));
        }
        LocalFree(buffer);
        CloseHandle(database);
    }
    CeUnmountDBVol(&volume);
    return read;
}

}  // namespace platform::poom
