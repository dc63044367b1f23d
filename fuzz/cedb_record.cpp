// Fuzzes the readers of stored records: the bytes become a record's stored form in a volume,
// then are read whole and by a list, sorted on, and written into.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/base/HandsetRoot.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/base/LocalMemory.h"
#include "platform/cedb/StoredRecordAccess.h"

namespace {

constexpr DWORD kOpenAlways = 4;

struct Target {
    HANDLE plain = nullptr;
    HANDLE sorted = nullptr;
    CEOID record = 0;
};

// One volume per fuzzing process, in a temporary handset root removed at exit.
Target& Setup() {
    static Target target = [] {
        static std::string root = (std::filesystem::temp_directory_path() / "cedb-fuzz-XXXXXX").string();
        if (!mkdtemp(root.data())) std::abort();
        std::atexit([] { std::filesystem::remove_all(root); });
        platform::SetHandsetRoot(root);
        static CEGUID volume{};
        CEDBASEINFOEX info{};
        info.wVersion = CEDBASEINFOEX_VERSION;
        info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
        std::u16string(u"fuzz.db").copy(info.szDbaseName, 7);
        info.wNumSortOrder = 1;
        SORTORDERSPECEX& order = info.rgSortSpecs[0];
        order = {SORTORDERSPECEX_VERSION,
                 2,
                 0,
                 0,
                 {MAKEPROPID(7, CEVT_LPWSTR), MAKEPROPID(4, CEVT_I4), 0},
                 {CEDB_SORT_CASEINSENSITIVE, CEDB_SORT_DESCENDING, 0}};
        CEOID oid = 0;
        Target made;
        if (!CeMountDBVol(&volume, u"fuzz.vol", kOpenAlways) || !CeCreateDatabaseEx2(&volume, &info)) std::abort();
        made.plain = CeOpenDatabaseEx2(&volume, &oid, u"fuzz.db", nullptr, 0, nullptr);
        made.sorted = CeOpenDatabaseEx2(&volume, &oid, nullptr, &order, 0, nullptr);
        made.record = CeWriteRecordProps(made.plain, 0, 0, nullptr);
        if (made.sorted == INVALID_HANDLE_VALUE || made.record == 0) std::abort();
        return made;
    }();
    return target;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Target& t = Setup();
    if (!platform::cedb::testing::WriteStoredRecord(t.plain, t.record, data, size)) std::abort();
    CeSeekDatabaseEx(t.plain, CEDB_SEEK_CEOID, t.record, 0, nullptr);
    CEPROPID listed[] = {MAKEPROPID(7, CEVT_LPWSTR), MAKEPROPID(9, CEVT_BLOB), CEPROPID_ITEMID};
    for (CEPROPID* ids : {static_cast<CEPROPID*>(nullptr), listed}) {
        WORD count = 3;
        LPBYTE buffer = nullptr;
        DWORD bytes = 0;
        if (CeReadRecordPropsEx(t.plain, CEDB_ALLOWREALLOC, &count, ids, &buffer, &bytes, nullptr) != 0) {
            auto* values = reinterpret_cast<CEPROPVAL*>(buffer);
            for (WORD i = 0; i < count; ++i)  // every string ends inside the block
                if (PROP_TYPE(values[i].propid) == CEVT_LPWSTR && !(values[i].wFlags & CEDB_PROPNOTFOUND) &&
                    reinterpret_cast<LPBYTE>(values[i].val.lpwstr) + values[i].wLenData > buffer + bytes)
                    std::abort();
        }
        LocalFree(buffer);
    }
    CeSeekDatabaseEx(t.sorted, CEDB_SEEK_BEGINNING, 0, 0, nullptr);
    CEPROPVAL value{MAKEPROPID(4, CEVT_I4), 0, 0, {}};
    CeWriteRecordProps(t.plain, t.record, 1, &value);
    return 0;
}
