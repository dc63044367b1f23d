// Localised strings: loading by id from the resource module, the override map and its
// hashing and probing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "dialer/foundation/HashTable.h"
#include "dialer/foundation/StringTable.h"
#include "platform/base/Library.h"
#include "platform/base/StringResource.h"
#include "tests/support/TestSupport.h"

namespace {

// A resource module in a fresh handset root, registered as the library's resources.
class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::StringTableFile table;
        ASSERT_TRUE(table.Add(101, u"Call", nullptr));
        ASSERT_TRUE(table.Add(102, std::u16string(3000, u'x'), nullptr));
        ASSERT_TRUE(table.Add(103, u"Contacts", nullptr));
        const std::filesystem::path folder = std::filesystem::path(m_root.Path()) / "fs" / "Program Files" / "Calvane";
        std::filesystem::create_directories(folder);
        const std::vector<std::uint8_t> bytes = table.Serialize();
        std::ofstream(folder / "CalvaneRes.dll", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        m_module = LoadLibraryExW(u"\\Program Files\\Calvane\\CalvaneRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr);
        SetResourceInstance(m_module);
    }
    void TearDown() override {
        SetResourceInstance(nullptr);
        GetStringTable().GetOverrides().RemoveAll();
        if (m_module != nullptr) FreeLibrary(m_module);
    }

    handset_test::TempHandsetRoot m_root;
    HMODULE m_module = nullptr;
};

TEST_F(StringTableTest, LoadsTextsAndGivesEmptyForAMissingId) {
    std::u16string text;
    LoadResString(text, 101);
    EXPECT_EQ(text, u"Call");
    LoadResString(text, 999);
    EXPECT_EQ(text, u"");
    EXPECT_EQ(LoadResString(101), u"Call");
}

TEST_F(StringTableTest, TextLongerThanTheBufferIsCutTo2047Characters) {
    std::u16string text;
    LoadResString(text, 102);
    EXPECT_EQ(text, std::u16string(2047, u'x'));
}

TEST_F(StringTableTest, OverrideReplacesTheLoadedTextAndIsCutToTheBuffer) {
    CStringTable& table = GetStringTable();
    table.GetOverrides().Insert(u"Contacts", u"People and places");
    table.GetOverrides().Insert(u"Call", u"");
    std::u16string text;
    LoadResString(text, 103);
    EXPECT_EQ(text, u"People and places");
    LoadResString(text, 101);
    EXPECT_EQ(text, u"Call") << "an empty override keeps the resource text";

    // The override is keyed by the loaded text and cut to the caller's buffer.
    table.GetOverrides().Insert(u"Call", u"Call someone");
    WCHAR small[8];
    for (WCHAR& c : small) c = u'#';
    EXPECT_EQ(table.LoadString(m_module, 101, small, 8), 7);
    EXPECT_EQ(std::u16string(small), u"Call so");
    EXPECT_EQ(table.LoadString(m_module, 101, small, 0), 0);
}

TEST(HashTable, HashOfTheStringTable) {
    EXPECT_EQ(CHashTable::HashCaseSensitive(u"ab"), 21571u);
    EXPECT_EQ(CHashTable::HashCaseSensitive(u""), 0u);
    EXPECT_EQ(CHashTable::HomeSlot(21571u, 0), 0u);
    EXPECT_EQ(CHashTable::HomeSlot(1u, 10), 0x9E3779B9u >> 22);
}

TEST(HashTable, LookupWithoutStorageFindsNothing) {
    CHashTable map(true);
    LPCWSTR value = nullptr;
    EXPECT_FALSE(map.Lookup(u"ab", &value));
    EXPECT_EQ(map.GetCapacityBits(), 0u);
}

TEST(HashTable, FullMapEndsItsProbeAfterOneRoundAndGrowsOnTheNextInsert) {
    CHashTable map(true);
    map.SetInitialBits(5);
    for (int i = 0; i < 32; ++i) map.Insert(std::u16string(u"key" + std::u16string(1, u'A' + i)).c_str(), u"v");
    EXPECT_EQ(map.GetCount(), 32u);
    EXPECT_EQ(map.GetCapacityBits(), 5u);
    LPCWSTR value = nullptr;
    EXPECT_FALSE(map.Lookup(u"absent", &value)) << "every slot is taken: the probe must still end";
    for (int i = 0; i < 32; ++i)
        EXPECT_TRUE(map.Lookup(std::u16string(u"key" + std::u16string(1, u'A' + i)).c_str(), &value));

    map.Insert(u"one more", u"w");
    EXPECT_EQ(map.GetCapacityBits(), 6u);
    EXPECT_TRUE(map.Lookup(u"one more", &value));
    EXPECT_EQ(std::u16string(value), u"w");
    EXPECT_TRUE(map.Lookup(u"keyA", &value));

    map.Insert(u"keyA", u"replaced");
    EXPECT_EQ(map.GetCount(), 33u);
    EXPECT_TRUE(map.Lookup(u"keyA", &value));
    EXPECT_EQ(std::u16string(value), u"replaced");
}

TEST(HashTable, CaseSensitiveAndInsensitiveMaps) {
    CHashTable sensitive(true);
    CHashTable insensitive(false);
    sensitive.Insert(u"Menu", u"1");
    insensitive.Insert(u"Menu", u"1");
    EXPECT_FALSE(sensitive.Lookup(u"MENU", nullptr));
    EXPECT_TRUE(insensitive.Lookup(u"MENU", nullptr));
}

}  // namespace
