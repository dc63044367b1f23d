// The helper's side of the new-contact hand-over: whatever the value held, once read it is
// gone.
#include <gtest/gtest.h>

#include "pimhelper/NewContactHandOver.h"
#include "platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

namespace {

class HandOverTest : public ::testing::Test {
protected:
    void Put(const char16_t* name, DWORD type, const void* data, DWORD bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kNewContactKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    bool Exists(const char16_t* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNewContactKeyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            return false;
        bool exists = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        RegCloseKey(key);
        return exists;
    }

    handset_test::TempHandsetRoot root_;
};

TEST_F(HandOverTest, TheNumberIsTakenOnceByItsKey) {
    EXPECT_EQ(TakeNewContactNumber(1), u"");  // no key at all
    const char16_t number[] = u"+49 170 5550100";
    Put(u"DEADBEEF", REG_SZ, number, sizeof number);
    Put(u"00000001", REG_SZ, u"other", 12);
    EXPECT_EQ(TakeNewContactNumber(0xDEADBEEF), u"+49 170 5550100");
    EXPECT_FALSE(Exists(u"DEADBEEF"));
    EXPECT_EQ(TakeNewContactNumber(0xDEADBEEF), u"");
    EXPECT_TRUE(Exists(u"00000001"));  // other requests stay
}

TEST_F(HandOverTest, AValueThatIsNoNumberIsStillTakenAway) {
    DWORD notText = 5;
    Put(u"0000000A", REG_DWORD, &notText, sizeof notText);
    EXPECT_EQ(TakeNewContactNumber(10), u"");
    EXPECT_FALSE(Exists(u"0000000A"));

    Put(u"0000000B", REG_SZ, u"", 2);
    EXPECT_EQ(TakeNewContactNumber(11), u"");
    EXPECT_FALSE(Exists(u"0000000B"));

    // Stored without its terminator: the text is its bytes.
    Put(u"0000000C", REG_SZ, u"12345", 10);
    EXPECT_EQ(TakeNewContactNumber(12), u"12345");
}

}  // namespace
