// The settings wrapper: defaults written back or not, values left alone that are not
// missing, and the flush of changed keys on close.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "dialer/foundation/RegistryKey.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr LPCWSTR kKeyPath = u"\\SOFTWARE\\Halvorn\\Dialer\\Test";

struct StoredValue {
    LONG status = ERROR_SUCCESS;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

StoredValue Read(LPCWSTR name) {
    StoredValue value;
    HKEY key = nullptr;
    value.status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_ALL_ACCESS, &key);
    if (value.status != ERROR_SUCCESS) return value;
    DWORD size = 0;
    value.status = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (value.status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.status = RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size);
    }
    RegCloseKey(key);
    return value;
}

void Store(LPCWSTR name, DWORD type, const std::vector<BYTE>& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size())), ERROR_SUCCESS);
    RegCloseKey(key);
}

std::vector<BYTE> Utf16(std::u16string_view text, bool terminator) {
    std::vector<BYTE> bytes;
    for (WCHAR c : text) bytes.insert(bytes.end(), {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8)});
    if (terminator) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

class RegistryKeyTest : public testing::Test {
protected:
    handset_test::TempHandsetRoot root;
};

TEST_F(RegistryKeyTest, DwordDefaultsAreWrittenBackExceptTheMarker) {
    RegistryKey key(HKEY_LOCAL_MACHINE, kKeyPath, TRUE);
    EXPECT_EQ(key.GetDword(u"Marker", 0xDEF0), 0xDEF0u);
    EXPECT_EQ(Read(u"Marker").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.GetDword(u"Seven", 7), 7u);
    const StoredValue seven = Read(u"Seven");
    EXPECT_EQ(seven.type, REG_DWORD);
    EXPECT_EQ(seven.bytes, (std::vector<BYTE>{7, 0, 0, 0}));
    EXPECT_EQ(key.GetDword(u"Seven", 9), 7u);

    DWORD out = 5;
    EXPECT_FALSE(key.QueryDword(u"Absent", &out));
    EXPECT_EQ(out, 5u);
    EXPECT_EQ(Read(u"Absent").status, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(key.QueryDword(u"Seven", &out));
    EXPECT_EQ(out, 7u);
}

TEST_F(RegistryKeyTest, DwordReadsOtherTypesWithoutOverwritingThem) {
    Store(u"OneChar", REG_SZ, Utf16(u"A", true));   // exactly 4 bytes
    Store(u"Short", REG_BINARY, {0x34, 0x12});      // fewer than 4
    Store(u"Text", REG_SZ, Utf16(u"Hello", true));  // more than 4
    RegistryKey key(HKEY_LOCAL_MACHINE, kKeyPath, FALSE);
    EXPECT_EQ(key.GetDword(u"OneChar", 3), 0x41u);
    EXPECT_EQ(Read(u"OneChar").type, REG_SZ);
    EXPECT_EQ(key.GetDword(u"Short", 3), 0x1234u);
    EXPECT_EQ(key.GetDword(u"Text", 3), 3u);
    const StoredValue text = Read(u"Text");
    EXPECT_EQ(text.type, REG_SZ) << "a value that exists is not replaced by the default";
    EXPECT_EQ(text.bytes, Utf16(u"Hello", true));
}

TEST_F(RegistryKeyTest, StringDefaultsAndOtherTypes) {
    RegistryKey key(HKEY_LOCAL_MACHINE, kKeyPath, TRUE);
    EXPECT_EQ(key.GetString(u"Name", u"abc"), u"abc");
    const StoredValue name = Read(u"Name");
    EXPECT_EQ(name.type, REG_SZ);
    EXPECT_EQ(name.bytes.size(), 8u);
    EXPECT_EQ(key.GetString(u"Name", u"other"), u"abc");

    EXPECT_EQ(key.GetString(u"Nothing", nullptr), u"");
    EXPECT_EQ(Read(u"Nothing").status, ERROR_FILE_NOT_FOUND);

    ASSERT_TRUE(key.SetDword(u"Number", 12));
    EXPECT_EQ(key.GetString(u"Number", u"fallback"), u"fallback");
    EXPECT_EQ(Read(u"Number").type, REG_DWORD);
    EXPECT_EQ(key.GetString(nullptr, u"x"), u"");
}

TEST_F(RegistryKeyTest, StringsStoredWithoutTerminatorEndAtTheirLastCharacter) {
    Store(u"Even", REG_SZ, Utf16(u"abc", false));
    std::vector<BYTE> odd = Utf16(u"xy", false);
    odd.push_back('z');  // a stray byte: half a character
    Store(u"Odd", REG_SZ, odd);
    Store(u"Inner", REG_SZ, Utf16(std::u16string(u"ab\0cd", 5), true));
    RegistryKey key(HKEY_LOCAL_MACHINE, kKeyPath, FALSE);
    EXPECT_EQ(key.GetString(u"Even", u"d"), u"abc");
    EXPECT_EQ(key.GetString(u"Odd", u"d"), std::u16string(u"xy") + static_cast<WCHAR>(u'z'));
    EXPECT_EQ(key.GetString(u"Inner", u"d"), u"ab");
}

TEST_F(RegistryKeyTest, RefusedWritesLeaveTheKeyClean) {
    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, kKeyPath, TRUE));
    EXPECT_TRUE(key.IsDirty()) << "a new key counts as changed";
    EXPECT_EQ(key.GetDisposition(), REG_CREATED_NEW_KEY);
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, kKeyPath, TRUE));
    EXPECT_EQ(key.GetDisposition(), REG_OPENED_EXISTING_KEY);
    EXPECT_FALSE(key.IsDirty());
    EXPECT_FALSE(key.SetString(u"Name", nullptr));
    EXPECT_FALSE(key.SetString(nullptr, u"value"));
    EXPECT_FALSE(key.SetDword(nullptr, 1));
    EXPECT_FALSE(key.IsDirty());
    EXPECT_EQ(key.GetDword(u"Written", 4), 4u);
    EXPECT_FALSE(key.IsDirty()) << "a number written back does not count as a change";
    EXPECT_TRUE(key.SetDword(u"Changed", 1));
    EXPECT_TRUE(key.IsDirty());
    EXPECT_TRUE(key.Close());
    EXPECT_EQ(key.GetHandle(), nullptr);
    EXPECT_EQ(key.GetDisposition(), 0u);
}

TEST_F(RegistryKeyTest, AKeyThatCannotBeOpenedAnswersDefaults) {
    RegistryKey key;
    EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Missing", FALSE));
    EXPECT_EQ(key.GetHandle(), nullptr);
    EXPECT_EQ(key.GetDword(u"Value", 3), 3u);
    EXPECT_EQ(key.GetString(u"Text", u"t"), u"t");
    HKEY probe = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Missing", 0, KEY_ALL_ACCESS, &probe), ERROR_SUCCESS);
}

// What the registry file holds on disk: a flush copies the latest writes into it.
std::vector<char> DatabaseBytes(const std::string& root) {
    std::ifstream in(root + "/registry.db", std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_F(RegistryKeyTest, ChangedKeysAreFlushedOnClose) {
    HKEY settle = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\SOFTWARE", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &settle, nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(RegFlushKey(settle), ERROR_SUCCESS);
    RegCloseKey(settle);
    std::vector<char> before = DatabaseBytes(root.Path());

    {
        RegistryKey unflushed(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\NoFlush", TRUE, FALSE);
        EXPECT_TRUE(unflushed.SetDword(u"Value", 1));
    }
    EXPECT_EQ(DatabaseBytes(root.Path()), before) << "a key opened without flush-on-close is never flushed";
    {
        RegistryKey unchanged(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\NoFlush", TRUE, TRUE);
        EXPECT_EQ(unchanged.GetDword(u"Value", 0), 1u);
    }
    EXPECT_EQ(DatabaseBytes(root.Path()), before) << "an unchanged key is not flushed";
    { RegistryKey created(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Created", TRUE, TRUE); }
    EXPECT_NE(DatabaseBytes(root.Path()), before) << "a newly created key is flushed although nothing was written";
}

struct RecordingPrompt : IAddNumberPrompt {
    void ShowAddNumberPrompt(LPCWSTR number) override { shown.push_back(number); }
    std::vector<std::u16string> shown;
};

TEST_F(RegistryKeyTest, AddNumberPromptFollowsTheSetting) {
    HKEY phone = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"ControlPanel\\Phone", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &phone, nullptr),
              ERROR_SUCCESS);
    RecordingPrompt prompt;
    PromptAddNumberIfEnabled(prompt, u"5551234");
    EXPECT_TRUE(prompt.shown.empty());
    DWORD type = REG_NONE;
    DWORD value = 9;
    DWORD size = sizeof value;
    ASSERT_EQ(RegQueryValueExW(phone, u"AddNumber", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(value, 0u);

    value = 1;
    ASSERT_EQ(RegSetValueExW(phone, u"AddNumber", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
    PromptAddNumberIfEnabled(prompt, u"5551234");
    EXPECT_EQ(prompt.shown, std::vector<std::u16string>{u"5551234"});
    RegCloseKey(phone);
}

}  // namespace
