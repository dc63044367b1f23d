// Fuzz harness: the change journal of a volume (its journal and journal_readers tables), as
// other processes, or damage, may leave it under a listening process. The volume is mounted
// and a handle listens; then the input's rows go into both tables through a second
// connection, as another process writes them (any column of any type, sequence numbers out
// of order, readers of live, ended and impossible processes), and the listener polls. Then
// the input's count of records is written through another handle and the listener polls
// again: reading, trimming and notifying must survive every table, and a record written
// after the damage must still reach the listener. Allocation is most of each run: see
// FuzzAllocatorOptions.h.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzAllocatorOptions.h"
#include "fuzz/FuzzHandsetFile.h"
#include "platform/base/Handle.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/cedb/DbNotifications.h"

namespace {

constexpr DWORD kOpenExisting = 3;
constexpr DWORD kOpenAlways = 4;

void Check(bool holds) {
    if (!holds) std::abort();
}

// Hands out the input's bytes; zeros once it is used up.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Done() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint64_t Wide() {
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i) value |= static_cast<std::uint64_t>(Byte()) << (8 * i);
        return value;
    }
    std::string Bytes(std::size_t count) {
        std::string bytes;
        while (bytes.size() < count && !Done()) bytes.push_back(static_cast<char>(Byte()));
        return bytes;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Windows are never reached: the poster records each notification.
const HWND kListener = reinterpret_cast<HWND>(0x1010);
const HWND kWriter = reinterpret_cast<HWND>(0x1020);

struct Posted {
    HWND window;
    CENOTIFICATION* notification;
};

std::vector<Posted>& PostedList() {
    static std::vector<Posted>* posted = new std::vector<Posted>;
    return *posted;
}

BOOL Record(HWND window, UINT, WPARAM, LPARAM lParam) {
    PostedList().push_back({window, reinterpret_cast<CENOTIFICATION*>(lParam)});
    return TRUE;
}

// Polls once; gives how many notifications reached the listener about `object` (any when
// zero), and frees them all.
int Poll(CEOID object) {
    platform::cedb::PollChanges();
    int about = 0;
    for (const Posted& posted : PostedList()) {
        if (posted.window == kListener && (object == 0 || posted.notification->oid == object)) ++about;
        Check(CeFreeNotification(nullptr, posted.notification));
    }
    PostedList().clear();
    return about;
}

// A value of a kind the input picks: an integer of any size (small ones often, so that
// rows meet the real database and processes), text, a blob, a real or NULL.
void BindValue(sqlite3_stmt* statement, int index, Input& input, std::int64_t near) {
    switch (input.Byte() % 6) {
        case 0: sqlite3_bind_int64(statement, index, near + static_cast<std::int8_t>(input.Byte())); break;
        case 1: sqlite3_bind_int64(statement, index, static_cast<std::int64_t>(input.Wide())); break;
        case 2: {
            const std::string text = input.Bytes(input.Byte() % 16);
            sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            break;
        }
        case 3: {
            const std::string blob = input.Bytes(input.Byte() % 16);
            sqlite3_bind_blob(statement, index, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
            break;
        }
        case 4: sqlite3_bind_double(statement, index, static_cast<double>(static_cast<std::int64_t>(input.Wide())) / 7); break;
        default: sqlite3_bind_null(statement, index); break;
    }
}

struct Fixture {
    std::string path;
    sqlite3* other = nullptr;  // the connection of "another process"
    sqlite3_stmt* journalRow = nullptr;
    sqlite3_stmt* readerRow = nullptr;
    CEOID database = 0;
};

const Fixture& TheFixture() {
    static const Fixture fixture = [] {
        static const FuzzHandsetFile file("journal.vol");
        Fixture made;
        made.path = file.Path();
        platform::cedb::SetNotificationPoster(&Record);
        CEGUID volume{};
        Check(CeMountDBVol(&volume, u"journal.vol", kOpenAlways));
        CEDBASEINFOEX info{};
        info.wVersion = CEDBASEINFOEX_VERSION;
        info.dwFlags = CEDB_VALIDNAME;
        std::memcpy(info.szDbaseName, u"Fuzz", sizeof u"Fuzz");
        made.database = CeCreateDatabaseEx2(&volume, &info);
        Check(made.database != 0 && CeUnmountDBVol(&volume));
        Check(sqlite3_open_v2(made.path.c_str(), &made.other, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK);
        sqlite3_busy_timeout(made.other, 1000);
        // What this connection writes need not survive a power cut: it is not what is fuzzed.
        Check(sqlite3_exec(made.other, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr) == SQLITE_OK);
        Check(sqlite3_prepare_v2(made.other,
                                 "INSERT INTO journal(seq, db_oid, oid, type, pid, handle) VALUES(?, ?, ?, ?, ?, ?)", -1,
                                 &made.journalRow, nullptr) == SQLITE_OK);
        Check(sqlite3_prepare_v2(made.other, "INSERT OR IGNORE INTO journal_readers(reader, pid, seen) VALUES(?, ?, ?)",
                                 -1, &made.readerRow, nullptr) == SQLITE_OK);
        std::atexit([] {
            const Fixture& fixture = TheFixture();
            sqlite3_finalize(fixture.journalRow);
            sqlite3_finalize(fixture.readerRow);
            sqlite3_close(fixture.other);
        });
        return made;
    }();
    return fixture;
}

void Run(sqlite3_stmt* statement) {
    sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
}

// The input's rows, written in one transaction as another process would. Reader rows are
// only added: a process writes no other process's reader row.
void WriteRows(const Fixture& fixture, Input& input) {
    sqlite3_exec(fixture.other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    const int journalRows = input.Byte() % 24;
    for (int i = 0; i < journalRows; ++i) {
        BindValue(fixture.journalRow, 1, input, 1 + i);
        BindValue(fixture.journalRow, 2, input, static_cast<std::int64_t>(fixture.database));
        BindValue(fixture.journalRow, 3, input, 1);
        BindValue(fixture.journalRow, 4, input, 1);
        BindValue(fixture.journalRow, 5, input, getpid());
        BindValue(fixture.journalRow, 6, input, 0);
        Run(fixture.journalRow);
    }
    const int readerRows = input.Byte() % 6;
    for (int i = 0; i < readerRows; ++i) {
        BindValue(fixture.readerRow, 1, input, 1);
        BindValue(fixture.readerRow, 2, input, getpid());
        BindValue(fixture.readerRow, 3, input, 0);
        Run(fixture.readerRow);
    }
    sqlite3_exec(fixture.other, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Fixture& fixture = TheFixture();
    Input input(data, size);
    // Every input starts from an empty journal numbered from 1, so that its rows meet this
    // process's reader row and changes the same way every time.
    Check(sqlite3_exec(fixture.other,
                       "DELETE FROM journal; DELETE FROM journal_readers; DELETE FROM records;"
                       " DELETE FROM sqlite_sequence WHERE name IN ('journal', 'journal_readers')",
                       nullptr, nullptr, nullptr) == SQLITE_OK);

    CEGUID volume{};
    Check(CeMountDBVol(&volume, u"journal.vol", kOpenExisting));
    CENOTIFYREQUEST request{sizeof(CENOTIFYREQUEST), kListener, CEDB_EXNOTIFICATION, nullptr, 1};
    CENOTIFYREQUEST writerRequest{sizeof(CENOTIFYREQUEST), kWriter, CEDB_EXNOTIFICATION, nullptr, 2};
    CEOID oid = 0;
    HANDLE listener = CeOpenDatabaseEx2(&volume, &oid, u"Fuzz", nullptr, 0, &request);
    HANDLE writer = CeOpenDatabaseEx2(&volume, &oid, u"Fuzz", nullptr, 0, &writerRequest);
    Check(listener != INVALID_HANDLE_VALUE && writer != INVALID_HANDLE_VALUE);

    WriteRows(fixture, input);
    Poll(0);
    // Enough writes, at most, for this process to trim the journal once.
    const int writes = input.Byte() % 72;
    for (int i = 0; i < writes; ++i) {
        CEPROPVAL value{};
        value.propid = MAKEPROPID(1, CEVT_I4);
        value.val.lVal = i;
        const CEOID written = CeWriteRecordProps(writer, 0, 1, &value);
        if (written != 0 && (i + 1 == writes || i % 8 == 0)) Check(Poll(written) == 1);
    }
    Check(Poll(0) == 0);

    Check(CloseHandle(writer) && CloseHandle(listener));
    Check(CeUnmountDBVol(&volume));
    return 0;
}
