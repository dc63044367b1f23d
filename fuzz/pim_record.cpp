// Fuzzes the dialer's reading of PIM records: the bytes become a contact's stored record in
// "Contacts Database", which CPimDatabase reads (the contact properties by list, and whole)
// and every typed reader then takes apart.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "dialer/data/PimDatabase.h"
#include "platform/base/HandsetRoot.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/cedb/StoredRecordAccess.h"

namespace {

struct Target {
    CPimDatabase database;
    CEOID record = 0;
};

// One volume per fuzzing process, in a temporary handset root removed at exit.
Target& Setup() {
    static Target* target = [] {
        static std::string root = (std::filesystem::temp_directory_path() / "pim-record-fuzz-XXXXXX").string();
        if (!mkdtemp(root.data())) std::abort();
        std::atexit([] { std::filesystem::remove_all(root); });
        platform::SetHandsetRoot(root);
        CEGUID volume{};
        CEDBASEINFOEX info{};
        info.wVersion = CEDBASEINFOEX_VERSION;
        info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
        std::u16string(u"Contacts Database").copy(info.szDbaseName, 17);
        info.wNumSortOrder = 1;
        info.rgSortSpecs[0] = {SORTORDERSPECEX_VERSION, 1, 0, 0, {CEPROPID_ITEMID, 0, 0}, {0, 0, 0}};
        if (!CeMountDBVol(&volume, u"pim.vol", 4) || !CeCreateDatabaseEx2(&volume, &info)) std::abort();
        auto* made = new Target;
        if (!made->database.Open(u"pim.vol", u"Contacts Database", true) ||
            !made->database.ReopenSorted(CEPROPID_ITEMID, false))
            std::abort();
        made->record = CeWriteRecordProps(made->database.GetHandle(), 0, 0, nullptr);
        if (made->record == 0) std::abort();
        return made;
    }();
    return *target;
}

// The contact properties in the order the contacts store reads them.
CEPROPID kContactProperties[] = {0x10000066, 0x0080001F, 0x0082001F, 0x0083001F, 0x0084001F, 0x0086001F,
                                 0x00F80013, 0x0096001F, 0x0097001F, 0x0099001F, 0x0098001F, 0x009A001F,
                                 0x009D001F, 0x009E001F, 0x00A1001F, 0x009F001F, 0x0090001F, 0x0091001F,
                                 0x0092001F, 0x00D1001F, 0x00D2001F, 0x00D3001F, 0x01020013};

void ReadEveryProperty(const DbRecord& record) {
    for (DWORD i = 0; i < record.count; ++i) {
        WORD number = PROP_ID(record.props[i].propid);
        FindRecordProp(record, number, PROP_TYPE(record.props[i].propid));
        GetRecordString(record, number, u"default");
        GetRecordFileTime(record, number);
        CEBLOB blob = GetRecordBlob(record, number);
        volatile BYTE last = blob.dwCount > 0 ? blob.lpb[blob.dwCount - 1] : 0;
        (void)last;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Target& t = Setup();
    if (!platform::cedb::testing::WriteStoredRecord(t.database.GetHandle(), t.record, data, size)) std::abort();
    DbRecord record;
    if (t.database.SeekToOid(t.record) && t.database.ReadCurrent(&record, kContactProperties, 23))
        ReadEveryProperty(record);
    if (t.database.SeekByItemId(1) && t.database.ReadCurrent(&record, nullptr, 0)) ReadEveryProperty(record);
    return 0;
}
