// Registry values within one process: each type kept byte for byte, names without case,
// sizes and ERROR_MORE_DATA, and the arguments that are refused.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/registry/Registry.h"
#include "tests/platform/registry/RegistryTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace registry_test;

namespace {

class RegistryValues : public ::testing::Test {
protected:
    void SetUp() override { key_ = CreateKey(HKEY_CURRENT_USER, u"Software\\Orm Software House\\Shared"); }
    void TearDown() override { RegCloseKey(key_); }

    handset_test::TempHandsetRoot root_;
    HKEY key_ = nullptr;
};

TEST_F(RegistryValues, EachTypeKeepsItsBytes) {
    const DWORD number = 0xDEF0;
    const BYTE* numberBytes = reinterpret_cast<const BYTE*>(&number);
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"text with its terminator", REG_SZ, TextBytes(u"Z\u00f6e \U0001F600", true)},
        {"text without a terminator", REG_SZ, TextBytes(u"abc", false)},
        {"text of an odd byte count", REG_SZ, {'a', 0, 'b'}},
        {"empty text", REG_SZ, {}},
        {"expandable text", REG_EXPAND_SZ, TextBytes(u"%ROOT%\\x", true)},
        {"text list", REG_MULTI_SZ, TextBytes(std::u16string(u"one\0two\0\0", 9), false)},
        {"text list of an odd byte count", REG_MULTI_SZ, {'a', 0, 0, 0, 0}},
        {"number", REG_DWORD, std::vector<BYTE>(numberBytes, numberBytes + 4)},
        {"binary with zeros", REG_BINARY, {0, 1, 0, 255, 0}},
        {"no type", REG_NONE, {7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(SetBytes(key_, u"Value", c.type, c.bytes), ERROR_SUCCESS);
        DWORD type = 99, size = 0;
        ASSERT_EQ(RegQueryValueExW(key_, u"Value", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(size, c.bytes.size());
        const ReadValue read = GetBytes(key_, u"Value");
        EXPECT_EQ(read.result, ERROR_SUCCESS);
        EXPECT_EQ(read.bytes, c.bytes);
    }
    // A number read into a 4-byte buffer, whatever type it is stored under.
    ASSERT_EQ(SetBytes(key_, u"Four", REG_SZ, TextBytes(u"A", true)), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(key_, u"Four"), 0x41u);
}

TEST_F(RegistryValues, NamesAreComparedWithoutCase) {
    ASSERT_EQ(SetDword(key_, u"AddNumber", 1), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(key_, u"ADDNUMBER"), 1u);
    ASSERT_EQ(SetDword(key_, u"addnumber", 2), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(key_), std::vector<std::u16string>{u"AddNumber"});  // one value, its first name
    EXPECT_EQ(GetDword(key_, u"AddNumber"), 2u);
    ASSERT_EQ(SetDword(key_, u"\u00c4rger", 3), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(key_, u"\u00e4RGER"), 3u);
    // Null and "" both name the default value.
    ASSERT_EQ(SetDword(key_, nullptr, 4), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(key_, u""), 4u);

    EXPECT_EQ(RegDeleteValueW(key_, u"ADDNUMBER"), ERROR_SUCCESS);
    EXPECT_EQ(GetBytes(key_, u"AddNumber").result, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueW(key_, u"AddNumber"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ValueNames(key_), (std::vector<std::u16string>{u"", u"\u00c4rger"}));
}

TEST_F(RegistryValues, EnumerationIsSortedAndGivesData) {
    for (LPCWSTR name : {u"zeta", u"Alpha", u"_x", u"beta"}) ASSERT_EQ(SetDword(key_, name, name[0]), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(key_), (std::vector<std::u16string>{u"Alpha", u"beta", u"zeta", u"_x"}));

    WCHAR name[8];
    DWORD chars = 8, type = 0, value = 0, size = sizeof value;
    ASSERT_EQ(RegEnumValueW(key_, 2, name, &chars, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name, chars), u"zeta");
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(value, DWORD{u'z'});
    chars = 5;  // "Alpha" needs 6 with its terminator
    EXPECT_EQ(RegEnumValueW(key_, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(chars, 6u);
    BYTE small[2];
    chars = 8;
    size = 2;
    EXPECT_EQ(RegEnumValueW(key_, 0, name, &chars, nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    chars = 8;
    EXPECT_EQ(RegEnumValueW(key_, 4, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryValues, ShortBufferGivesNeededSizeAndStaysUntouched) {
    const std::vector<BYTE> text = TextBytes(u"Halvorn", true);
    ASSERT_EQ(SetBytes(key_, u"Name", REG_SZ, text), ERROR_SUCCESS);
    BYTE buffer[20];
    std::memset(buffer, 0xCC, sizeof buffer);
    DWORD size = 15, type = 0;
    EXPECT_EQ(RegQueryValueExW(key_, u"Name", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(type, REG_SZ);
    for (BYTE b : buffer) EXPECT_EQ(b, 0xCC);
    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExW(key_, u"Name", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(std::memcmp(buffer, text.data(), 16), 0);
    EXPECT_EQ(buffer[16], 0xCC);
    // Missing values give no size.
    size = 77;
    EXPECT_EQ(RegQueryValueExW(key_, u"Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(size, 77u);
}

TEST_F(RegistryValues, RefusedArguments) {
    const BYTE three[3] = {1, 2, 3};
    const std::u16string longName(256, u'v');
    DWORD size = 0;
    EXPECT_EQ(RegSetValueExW(key_, u"N", 0, REG_DWORD, three, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key_, u"N", 0, 5, three, 3), ERROR_INVALID_PARAMETER);  // no such type here
    EXPECT_EQ(RegSetValueExW(key_, u"N", 0, REG_BINARY, nullptr, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key_, longName.c_str(), 0, REG_BINARY, three, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key_, longName.substr(1).c_str(), 0, REG_BINARY, three, 3), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key_, u"Empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    EXPECT_EQ(GetBytes(key_, u"Empty").bytes.size(), 0u);
    BYTE data[4];
    EXPECT_EQ(RegQueryValueExW(key_, u"Empty", nullptr, nullptr, data, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(key_, longName.c_str(), nullptr, nullptr, nullptr, &size), ERROR_INVALID_PARAMETER);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"X", 0, nullptr, 0, 0, nullptr, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, nullptr, 0, nullptr, 0, 0, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"X", 0, 0, nullptr), ERROR_INVALID_PARAMETER);
    // Nothing of the refused calls was written.
    EXPECT_EQ(ValueNames(key_), (std::vector<std::u16string>{u"Empty", longName.substr(1)}));
}

}  // namespace
