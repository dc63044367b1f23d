// Registry-change watches: the message a queue gets, the conditions of the callbacks, the
// DWORD reader and closing.
#include <gtest/gtest.h>

#include <vector>

#include "platform/registry/Registry.h"
#include "platform/shell/RegistryNotify.h"
#include "platform/user/MsgQueue.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr const WCHAR* kKey = u"System\\State\\Test";

void SetDword(const WCHAR* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

std::vector<DWORD> Words(const BYTE* bytes, DWORD size) {
    std::vector<DWORD> words;
    for (DWORD i = 0; i + 4 <= size; i += 4)
        words.push_back(bytes[i] | (bytes[i + 1] << 8) | (bytes[i + 2] << 16) | (static_cast<DWORD>(bytes[i + 3]) << 24));
    return words;
}

class RegistryNotifyTest : public ::testing::Test {
protected:
    handset_test::TempHandsetRoot root_;
};

TEST_F(RegistryNotifyTest, AQueueGetsEachChangeWithItsUserValue) {
    SetDword(u"Mode", 1);
    const MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 0, 4112, TRUE};
    HANDLE queue = CreateMsgQueue(u"NotifyQueue", &options);
    HREGNOTIFY notify = nullptr;
    ASSERT_EQ(RegistryNotifyMsgQueue(HKEY_LOCAL_MACHINE, kKey, u"Mode", u"NotifyQueue", 7, nullptr, &notify), S_OK);
    BYTE buffer[64];
    DWORD read = 0;
    platform::shell::PollRegistryNotifications();
    EXPECT_FALSE(ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, nullptr)) << "nothing changed yet";

    SetDword(u"Other", 5);
    platform::shell::PollRegistryNotifications();
    EXPECT_FALSE(ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, nullptr)) << "another value of the key";

    SetDword(u"Mode", 2);
    SetDword(u"Mode", 2);
    platform::shell::PollRegistryNotifications();
    ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, nullptr));
    ASSERT_EQ(read, 16u);
    const std::vector<DWORD> words = Words(buffer, read);
    EXPECT_EQ(words[0], static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(notify)));
    EXPECT_EQ(words[1], 7u);
    EXPECT_EQ(words[2], 4u);
    EXPECT_EQ(words[3], 2u);
    EXPECT_FALSE(ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, nullptr)) << "one message per change";

    EXPECT_EQ(RegistryCloseNotification(notify), S_OK);
    SetDword(u"Mode", 3);
    platform::shell::PollRegistryNotifications();
    EXPECT_FALSE(ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, nullptr)) << "closed";
    const int failedBefore = platform::shell::FailedNotificationCloses();
    EXPECT_EQ(RegistryCloseNotification(notify), E_INVALIDARG);
    EXPECT_EQ(platform::shell::FailedNotificationCloses(), failedBefore + 1);
    CloseMsgQueue(queue);
}

std::vector<DWORD> heard;
void Heard(HREGNOTIFY, DWORD userData, const BYTE* data, UINT size) {
    heard.push_back(size == 4 ? userData * 1000 + (data[0] | (data[1] << 8)) : userData * 1000 + 999);
}

TEST_F(RegistryNotifyTest, CallbacksFollowTheirConditionsOnTheMaskedValue) {
    struct Case {
        REG_COMPARISONTYPE comparison;
        DWORD mask;
        DWORD target;
    };
    // Values written in turn: 0x10001, 0x10002, 0x00002, 5, 0x30005, then deleted.
    const Case cases[] = {
        {REG_CT_ANYCHANGE, 0x10000, 0},  // 1: told whenever bit 16 changes, and at the deletion
        {REG_CT_GREATER, 0xFFFF, 2},     // 2: told for 5 (0x30005 masks to 5 again: no change)
        {REG_CT_EQUAL, 0xFF, 2},         // 3: told for 0x10002 only (0x00002 masks the same)
        {REG_CT_LESS_OR_EQUAL, 0xFFFFFFFF, 2},  // 4: told for 0x00002
    };
    std::vector<HREGNOTIFY> handles;
    SetDword(u"Flags", 0);
    for (DWORD i = 0; i < 4; ++i) {
        NOTIFICATIONCONDITION condition{cases[i].comparison, cases[i].mask, {}};
        condition.TargetValue.dw = cases[i].target;
        HREGNOTIFY handle = nullptr;
        ASSERT_EQ(RegistryNotifyCallback(HKEY_LOCAL_MACHINE, kKey, u"Flags", Heard, i + 1, &condition, &handle), S_OK);
        handles.push_back(handle);
    }
    heard.clear();
    for (DWORD value : {0x10001u, 0x10002u, 0x00002u, 5u, 0x30005u}) {
        SetDword(u"Flags", value);
        platform::shell::PollRegistryNotifications();
    }
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key);
    RegDeleteValueW(key, u"Flags");
    RegCloseKey(key);
    platform::shell::PollRegistryNotifications();
    EXPECT_EQ(heard, (std::vector<DWORD>{1001, 3002, 1002, 4002, 2005, 1005, 1999}));
    for (HREGNOTIFY handle : handles) EXPECT_EQ(RegistryCloseNotification(handle), S_OK);
    EXPECT_EQ(platform::shell::OpenRegistryNotifications(), 0);

    HREGNOTIFY handle = nullptr;
    NOTIFICATIONCONDITION bad{static_cast<REG_COMPARISONTYPE>(10), 0, {}};
    EXPECT_EQ(RegistryNotifyCallback(HKEY_LOCAL_MACHINE, kKey, u"Flags", Heard, 0, &bad, &handle), E_INVALIDARG);
    EXPECT_EQ(RegistryNotifyCallback(HKEY_LOCAL_MACHINE, kKey, u"Flags", nullptr, 0, nullptr, &handle), E_INVALIDARG);
    EXPECT_EQ(RegistryNotifyMsgQueue(HKEY_LOCAL_MACHINE, kKey, u"Flags", nullptr, 0, nullptr, &handle), E_INVALIDARG);
}

TEST_F(RegistryNotifyTest, GetDwordReadsOnlyFourByteNumbers) {
    DWORD value = 77;
    EXPECT_EQ(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKey, u"Missing", &value), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    SetDword(u"Number", 42);
    EXPECT_EQ(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKey, u"Number", &value), S_OK);
    EXPECT_EQ(value, 42u);
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key);
    RegSetValueExW(key, u"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(u"42"), 6);
    RegCloseKey(key);
    EXPECT_TRUE(FAILED(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKey, u"Text", &value)));
    EXPECT_EQ(value, 42u);
    EXPECT_EQ(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKey, nullptr, &value), E_INVALIDARG);
}

}  // namespace
