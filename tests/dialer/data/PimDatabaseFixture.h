// Shared set-up of the PIM volume layer's tests: a fresh handset root whose "pim.vol" holds a
// "Contacts Database" with three contacts and sort orders on the item id (both directions)
// and the given name, a database that records its notifications, and a message pump.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "dialer/data/PimDatabase.h"
#include "tests/support/TestSupport.h"

namespace pim_data_test {

constexpr CEPROPID kGivenName = 0x0082001F;
constexpr CEPROPID kFamilyName = 0x0084001F;
constexpr CEPROPID kBirthday = 0x00C00040;
constexpr CEPROPID kNote = 0x00500041;  // a blob

class RecordingDatabase : public CPimDatabase {
public:
    void OnRecordCreated(CEOID oid) override { created.push_back(oid); }
    void OnRecordDeleted(CEOID oid) override { deleted.push_back(oid); }
    void OnRecordChanged(CEOID oid) override { changed.push_back(oid); }

    std::vector<CEOID> created, deleted, changed;
};

// A handle of its own on "Contacts Database", as another writer would have.
class Writer {
public:
    Writer();
    ~Writer();
    CEOID Add(const char16_t* givenName);
    bool Rename(CEOID oid, const char16_t* givenName);
    bool Remove(CEOID oid);

private:
    CEGUID volume_{};
    HANDLE database_ = INVALID_HANDLE_VALUE;
};

class PimDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override;

    handset_test::TempHandsetRoot root_;
    std::vector<CEOID> records_;  // the three contacts in the order they were made (item ids 1, 2, 3)
};

// Pumps this thread's messages (which reads the change journals) until `done` or 5 s pass.
bool PumpUntil(const std::function<bool()>& done);
// Pumps for a while, for tests that check that nothing more arrives.
void PumpFor(int milliseconds);

}  // namespace pim_data_test
