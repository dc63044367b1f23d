// Fuzz harness: the bytes are a whole pim.vol, as a process finds it. It is mounted, and each
// of the object model's databases is opened and its records read whole. A volume refused as
// damaged (ERROR_BADDB) must be left byte for byte as it was, and every string read must end
// inside the block it came in.
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzHandsetFile.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/base/LocalMemory.h"
#include "platform/cedb/CeDatabase.h"

namespace {

constexpr DWORD kOpenExisting = 3;

void Check(bool holds) {
    if (!holds) std::abort();
}

// Reads up to 32 records of the database whole; false when a call said the volume is damaged.
bool ReadRecords(CEGUID& volume, LPCWSTR name) {
    CEOID oid = 0;
    HANDLE database = CeOpenDatabaseEx2(&volume, &oid, name, nullptr, 0, nullptr);
    if (database == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_BADDB;
    bool sound = true;
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    if (!CeGetDatabaseInfoEx2(database, &info)) sound = GetLastError() != ERROR_BADDB;
    CEOID at = CeSeekDatabaseEx(database, CEDB_SEEK_BEGINNING, 0, 0, nullptr);
    for (int read = 0; at != 0 && read < 32; ++read) {
        WORD count = 0;
        LPBYTE buffer = nullptr;
        DWORD bytes = 0;
        if (CeReadRecordPropsEx(database, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &bytes, nullptr) != 0) {
            const auto* values = reinterpret_cast<const CEPROPVAL*>(buffer);
            for (WORD i = 0; i < count; ++i)
                if (PROP_TYPE(values[i].propid) == CEVT_LPWSTR && !(values[i].wFlags & CEDB_PROPNOTFOUND))
                    Check(reinterpret_cast<LPBYTE>(values[i].val.lpwstr) + values[i].wLenData <= buffer + bytes);
        } else if (GetLastError() == ERROR_BADDB) {
            sound = false;
        }
        LocalFree(buffer);
        at = CeSeekDatabaseEx(database, CEDB_SEEK_CURRENT, 1, 0, nullptr);
        if (at == 0 && GetLastError() == ERROR_BADDB) sound = false;
    }
    CloseHandle(database);
    return sound;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzHandsetFile file("pim.vol");
    file.Write(data, size);

    CEGUID volume{};
    bool sound = true;
    if (CeMountDBVol(&volume, u"pim.vol", kOpenExisting)) {
        for (LPCWSTR name : {u"Contacts Database", u"Appointments Database", u"Tasks Database"})
            sound = ReadRecords(volume, name) && sound;
        // The last unmount closes the file, folding its log in.
        Check(CeUnmountDBVol(&volume));
    } else {
        sound = GetLastError() != ERROR_BADDB;
    }
    if (!sound) Check(file.Holds(data, size));
    return 0;
}
