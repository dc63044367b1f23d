// Shared set-up of the property-database tests: a fresh handset root with "pim.vol" mounted,
// a notification poster that records what it is handed, and short forms of the calls.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/cedb/DbNotifications.h"
#include "platform/base/LocalMemory.h"
#include "platform/fs/Files.h"
#include "tests/support/TestSupport.h"

namespace cedb_test {

struct PostedNotification {
    HWND window;
    UINT message;
    CENOTIFICATION* notification;
};

// Everything the poster was handed since the last Clear (the notifications stay allocated
// until the test frees them).
std::vector<PostedNotification>& Posted();
BOOL RecordingPoster(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Frees every recorded notification and forgets them.
void FreePosted();

inline HWND FakeWindow(std::uintptr_t n) { return reinterpret_cast<HWND>(0x1000 + n * 16); }

CEPROPVAL Int(WORD number, LONG value);
CEPROPVAL UInt(WORD number, ULONG value);
CEPROPVAL Text(WORD number, const char16_t* value);
CEPROPVAL Blob(WORD number, BYTE* data, DWORD count);
CEPROPVAL Delete(CEPROPID id);

SORTORDERSPECEX Order(CEPROPID id, DWORD flags = 0);
SORTORDERSPECEX Order2(CEPROPID first, DWORD firstFlags, CEPROPID second, DWORD secondFlags);

// A record read back: its object id and a copy of each property.
struct ReadBack {
    CEOID oid = 0;
    std::vector<CEPROPVAL> values;
    std::vector<std::u16string> texts;  // the string of each value (empty for others)
    const CEPROPVAL* Find(CEPROPID id) const;
};

class CedbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CEOID CreateDatabase(const char16_t* name, std::vector<SORTORDERSPECEX> orders = {});
    HANDLE Open(const char16_t* name, SORTORDERSPECEX* order = nullptr, CENOTIFYREQUEST* request = nullptr,
                DWORD flags = 0);
    CEOID Write(HANDLE database, CEOID oid, std::vector<CEPROPVAL> values);
    // Reads every property of the current record; an empty result (oid 0) on failure.
    ReadBack ReadCurrent(HANDLE database);
    // The object ids of the database in the handle's order, from the first record on.
    std::vector<CEOID> Walk(HANDLE database);
    CENOTIFYREQUEST Request(HWND window, DWORD param = 0);

    handset_test::TempHandsetRoot root_;
    CEGUID volume_{};
};

}  // namespace cedb_test
