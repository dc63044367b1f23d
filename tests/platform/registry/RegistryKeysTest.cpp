// Registry keys within one process: creating and opening without case, the hives, paths,
// enumeration order, deleting subtrees, handles and the change counter.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/registry/Registry.h"
#include "tests/platform/registry/RegistryTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace registry_test;

namespace {

class RegistryKeys : public ::testing::Test {
protected:
    handset_test::TempHandsetRoot root_;
};

LONG Open(HKEY parent, LPCWSTR path, HKEY* key) { return RegOpenKeyExW(parent, path, 0, KEY_ALL_ACCESS, key); }

TEST_F(RegistryKeys, CreatesOnceAndOpensWithoutCase) {
    DWORD disposition = 0;
    HKEY dialer = CreateKey(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Halvorn\\Dialer", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    HKEY again = CreateKey(HKEY_LOCAL_MACHINE, u"software\\HALVORN\\dialer", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_NE(again, dialer);  // each open is a handle of its own

    HKEY opened = nullptr;
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"Software\\halvorn", &opened), ERROR_SUCCESS);
    EXPECT_EQ(SubKeyNames(opened), std::vector<std::u16string>{u"Dialer"});  // the case it was created with
    EXPECT_TRUE(std::filesystem::exists(root_.Path() + "/registry.db"));

    HKEY missing = reinterpret_cast<HKEY>(0x1);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"Software\\Halvorn\\Nothing", &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    // The hives are separate.
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Halvorn", &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open(HKEY_CLASSES_ROOT, u"Software", &missing), ERROR_FILE_NOT_FOUND);

    for (HKEY key : {dialer, again, opened}) EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryKeys, SubKeyPaths) {
    const std::u16string longest(255, u'n');
    std::u16string deepest;
    for (int level = 0; level < 512; ++level) deepest += level ? u"\\d" : u"d";
    struct Case {
        std::u16string path;
        LONG expected;
    } cases[] = {
        {u"\\Lead\\Ing", ERROR_SUCCESS},
        {u"Trail\\Ing\\", ERROR_SUCCESS},
        {u"Double\\\\Sep", ERROR_INVALID_PARAMETER},
        {u"\\\\Root", ERROR_INVALID_PARAMETER},
        {longest, ERROR_SUCCESS},
        {longest + u"n", ERROR_INVALID_PARAMETER},
        {deepest, ERROR_SUCCESS},
        {deepest + u"\\d", ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, c.path.c_str(), 0, nullptr, 0, 0, nullptr, &key, nullptr),
                  c.expected)
            << "path of " << c.path.size() << " characters";
        if (key) RegCloseKey(key);
    }
    HKEY key = nullptr;
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"Lead\\Ing", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"\\Trail\\Ing", &key), ERROR_SUCCESS);
    RegCloseKey(key);

    // A key opened below an open key, and a depth counted from the root.
    HKEY top = CreateKey(HKEY_CURRENT_USER, deepest.substr(0, 2 * 500 - 1).c_str());
    EXPECT_EQ(RegCreateKeyExW(top, u"a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l", 0, nullptr, 0, 0, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegCreateKeyExW(top, u"a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m", 0, nullptr, 0, 0, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(top);
}

TEST_F(RegistryKeys, EnumerationIsSortedByNameWithoutCase) {
    HKEY parent = CreateKey(HKEY_LOCAL_MACHINE, u"Sorted");
    for (LPCWSTR name : {u"gamma", u"_under", u"Beta", u"alpha2", u"ALPHA", u"\u00e9t\u00e9"})
        RegCloseKey(CreateKey(parent, name));
    const std::vector<std::u16string> expected = {u"ALPHA", u"alpha2", u"Beta", u"gamma", u"_under", u"\u00e9t\u00e9"};
    EXPECT_EQ(SubKeyNames(parent), expected);
    EXPECT_EQ(SubKeyNames(parent), expected);  // stable from one enumeration to the next

    WCHAR name[7];
    DWORD chars = 6;
    EXPECT_EQ(RegEnumKeyExW(parent, 1, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(chars, 7u);  // "alpha2" and its terminator
    FILETIME written{1, 1};
    EXPECT_EQ(RegEnumKeyExW(parent, 1, name, &chars, nullptr, nullptr, nullptr, &written), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name, chars), u"alpha2");
    EXPECT_EQ(written.dwLowDateTime | written.dwHighDateTime, 0u);
    EXPECT_EQ(RegEnumKeyExW(parent, 6, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(parent);
}

TEST_F(RegistryKeys, DeletingAKeyDeletesItsSubtreeOnly) {
    HKEY a = CreateKey(HKEY_LOCAL_MACHINE, u"Top\\A\\B\\C");
    ASSERT_EQ(SetDword(a, u"Deep", 1), ERROR_SUCCESS);
    for (LPCWSTR sibling : {u"Top\\AB", u"Top\\A_", u"Top\\A]", u"Top\\A[", u"Top\\Other\\A"}) {
        HKEY key = CreateKey(HKEY_LOCAL_MACHINE, sibling);
        ASSERT_EQ(SetDword(key, u"Kept", 7), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    HKEY top = CreateKey(HKEY_LOCAL_MACHINE, u"Top");
    EXPECT_EQ(RegDeleteKeyW(top, u"a"), ERROR_SUCCESS);

    HKEY key = nullptr;
    EXPECT_EQ(Open(top, u"A\\B", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(SubKeyNames(top), (std::vector<std::u16string>{u"AB", u"A[", u"A]", u"A_", u"Other"}));
    EXPECT_EQ(Open(top, u"Other\\A", &key), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(key, u"Kept"), 7u);
    RegCloseKey(key);

    // The open handle of a deleted key reports the deletion; a new key of the same name is
    // a new, empty key.
    EXPECT_EQ(SetDword(a, u"Deep", 2), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(a), ERROR_SUCCESS);
    DWORD disposition = 0;
    a = CreateKey(top, u"A\\B\\C", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(GetBytes(a, u"Deep").result, ERROR_FILE_NOT_FOUND);
    RegCloseKey(a);

    EXPECT_EQ(RegDeleteKeyW(top, u"Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(top, u""), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKeyW(top, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"\\"), ERROR_INVALID_PARAMETER);
    RegCloseKey(top);
}

TEST_F(RegistryKeys, HandlesAreCheckedAndPredefinedKeysStayOpen) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, u"Handles");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetDword(key, u"X", 1), ERROR_INVALID_HANDLE);
    for (HKEY invalid :
         {static_cast<HKEY>(nullptr), reinterpret_cast<HKEY>(0x1234), reinterpret_cast<HKEY>(0x80000003)}) {
        EXPECT_EQ(RegCloseKey(invalid), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegFlushKey(invalid), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegQueryValueExW(invalid, u"X", nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
        HKEY opened = nullptr;
        EXPECT_EQ(Open(invalid, u"Handles", &opened), ERROR_INVALID_HANDLE);
    }

    // Closing a predefined key changes nothing; its sign-extended form is the same key.
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    HKEY opened = nullptr;
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"Handles", &opened), ERROR_SUCCESS);
    EXPECT_EQ(RegFlushKey(opened), ERROR_SUCCESS);
    RegCloseKey(opened);
    const HKEY widened = reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000001u)));
    EXPECT_EQ(Open(widened, u"Handles", &opened), ERROR_SUCCESS);
    RegCloseKey(opened);
    // An empty subkey opens the key itself again.
    EXPECT_EQ(Open(HKEY_CURRENT_USER, nullptr, &opened), ERROR_SUCCESS);
    EXPECT_EQ(SubKeyNames(opened), std::vector<std::u16string>{u"Handles"});
    RegCloseKey(opened);
}

TEST_F(RegistryKeys, InfoCountsSubKeysValuesAndClass) {
    WCHAR className[] = u"Settings";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Info", 0, className, 0, 0, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegCloseKey(CreateKey(key, u"Short"));
    WCHAR childClass[] = u"ChildClass";
    HKEY child = nullptr;
    ASSERT_EQ(RegCreateKeyExW(key, u"LongerName", 0, childClass, 0, 0, nullptr, &child, nullptr), ERROR_SUCCESS);
    RegCloseKey(child);
    ASSERT_EQ(SetDword(key, u"Number", 5), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key, u"LongestName", REG_BINARY, std::vector<BYTE>(40, 1)), ERROR_SUCCESS);

    WCHAR buffer[16];
    DWORD classChars = 16, subKeys = 0, maxSubKey = 0, maxClass = 0, values = 0, maxValueName = 0, maxValue = 0;
    DWORD security = 99;
    FILETIME written{5, 5};
    ASSERT_EQ(RegQueryInfoKeyW(key, buffer, &classChars, nullptr, &subKeys, &maxSubKey, &maxClass, &values,
                               &maxValueName, &maxValue, &security, &written),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(buffer), u"Settings");
    EXPECT_EQ(classChars, 8u);
    EXPECT_EQ(subKeys, 2u);
    EXPECT_EQ(maxSubKey, 10u);
    EXPECT_EQ(maxClass, 10u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(maxValueName, 11u);
    EXPECT_EQ(maxValue, 40u);
    EXPECT_EQ(security, 0u);
    EXPECT_EQ(written.dwLowDateTime | written.dwHighDateTime, 0u);

    classChars = 8;  // no room for the terminator
    EXPECT_EQ(RegQueryInfoKeyW(key, buffer, &classChars, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_EQ(classChars, 9u);

    WCHAR name[16], enumClass[16];
    DWORD nameChars = 16, enumClassChars = 16;
    ASSERT_EQ(RegEnumKeyExW(key, 0, name, &nameChars, nullptr, enumClass, &enumClassChars, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"LongerName");
    EXPECT_EQ(std::u16string(enumClass), u"ChildClass");
    RegCloseKey(key);
}

TEST_F(RegistryKeys, ChangeCounterFollowsWritesInTheSubtree) {
    using platform::registry::ChangeCounter;
    auto counters = [] {
        return std::vector<ULONGLONG>{ChangeCounter(HKEY_LOCAL_MACHINE, u"Watch"),
                                      ChangeCounter(HKEY_LOCAL_MACHINE, u"Watch\\Inner"),
                                      ChangeCounter(HKEY_LOCAL_MACHINE, u"Elsewhere")};
    };
    EXPECT_EQ(counters(), (std::vector<ULONGLONG>{0, 0, 0}));  // never written, not even created

    HKEY inner = CreateKey(HKEY_LOCAL_MACHINE, u"Watch\\Inner");
    RegCloseKey(CreateKey(HKEY_LOCAL_MACHINE, u"Elsewhere"));
    EXPECT_EQ(counters(), (std::vector<ULONGLONG>{1, 1, 1}));
    ASSERT_EQ(SetDword(inner, u"V", 1), ERROR_SUCCESS);
    EXPECT_EQ(counters(), (std::vector<ULONGLONG>{2, 2, 1}));
    // Reading and opening are not changes.
    GetDword(inner, u"V");
    RegCloseKey(CreateKey(HKEY_LOCAL_MACHINE, u"Watch\\Inner"));
    EXPECT_EQ(counters(), (std::vector<ULONGLONG>{2, 2, 1}));
    ASSERT_EQ(RegDeleteValueW(inner, u"v"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(inner, u"v"), ERROR_FILE_NOT_FOUND);  // nothing deleted, nothing raised
    EXPECT_EQ(counters(), (std::vector<ULONGLONG>{3, 3, 1}));
    ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"watch"), ERROR_SUCCESS);
    EXPECT_EQ(counters(), (std::vector<ULONGLONG>{4, 4, 1}));
    EXPECT_EQ(ChangeCounter(HKEY_LOCAL_MACHINE, nullptr), 5u);  // the root sees every write of its hive
    EXPECT_EQ(ChangeCounter(HKEY_CURRENT_USER, nullptr), 0u);
    EXPECT_EQ(ChangeCounter(inner, nullptr), 0u);  // a deleted key's handle no longer answers
    RegCloseKey(inner);
}

}  // namespace
