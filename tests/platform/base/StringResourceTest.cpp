// String resources: the resource file format, its checks, and LoadStringW's buffer rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/base/Library.h"
#include "platform/base/StringResource.h"
#include "tests/support/TestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes SampleTable() {
    platform::StringTableFile table;
    EXPECT_TRUE(table.Add(7, u"Seven", nullptr));
    EXPECT_TRUE(table.Add(3, u"Three \u00e9", nullptr));
    return table.Serialize();
}

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(StringTableFile, RoundTripsAndRefusesBadEntries) {
    const Bytes bytes = SampleTable();
    std::string error;
    auto table = platform::StringTableFile::Parse(bytes.data(), bytes.size(), &error);
    ASSERT_TRUE(table) << error;
    std::size_t length = 0;
    ASSERT_NE(table->Find(3, &length), nullptr);
    EXPECT_EQ(std::u16string(table->Find(3, &length)), u"Three \u00e9");
    EXPECT_EQ(length, 7u);
    EXPECT_EQ(table->Find(4, &length), nullptr);

    platform::StringTableFile builder;
    EXPECT_TRUE(builder.Add(1, u"a", &error));
    EXPECT_FALSE(builder.Add(1, u"b", &error));
    EXPECT_EQ(error, "The string id 1 is given twice.");
    EXPECT_FALSE(builder.Add(70000, u"c", &error));
    EXPECT_FALSE(builder.Add(2, std::u16string(u"x\0y", 3), &error));
}

TEST(StringTableFile, MalformedFilesAreRefusedWithAReason) {
    const Bytes good = SampleTable();
    // Entries start at byte 16: id 3 first, then id 7.
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
    };
    const Case cases[] = {
        {"short header", [](Bytes& b) { b.resize(10); }},
        {"magic", [](Bytes& b) { b[0] = 'X'; }},
        {"version", [](Bytes& b) { b[4] = 2; }},
        {"reserved field", [](Bytes& b) { b[7] = 1; }},
        {"count larger than the file", [](Bytes& b) { PutU32(b, 8, 0x10000000u); }},
        {"trailing bytes", [](Bytes& b) { b.push_back(0); }},
        {"ids out of order", [](Bytes& b) { PutU32(b, 16, 9); }},
        {"id too large", [](Bytes& b) { PutU32(b, 28, 0x10000); }},
        {"offset past the pool", [](Bytes& b) { PutU32(b, 20, 0xFFFFFFF0u); }},
        {"length past the pool", [](Bytes& b) { PutU32(b, 24, 0xFFFFFFFFu); }},
        {"no terminator", [](Bytes& b) { PutU32(b, 24, 6); }},
        {"zero inside", [](Bytes& b) { b[40] = 0; b[41] = 0; }},
    };
    for (const Case& c : cases) {
        Bytes bytes = good;
        c.damage(bytes);
        std::string error;
        EXPECT_FALSE(platform::StringTableFile::Parse(bytes.data(), bytes.size(), &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

class LoadStringTest : public ::testing::Test {
protected:
    HMODULE Install(const std::string& name, const Bytes& bytes) {
        const std::filesystem::path folder = std::filesystem::path(m_root.Path()) / "fs" / "Windows";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        HMODULE module = LoadLibraryExW(platform::Utf8ToUtf16(name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        EXPECT_NE(module, nullptr);
        return module;
    }
    handset_test::TempHandsetRoot m_root;
};

TEST_F(LoadStringTest, CopiesCutsAndHandsOutReadOnlyPointers) {
    HMODULE module = Install("Res.dll", SampleTable());
    WCHAR buffer[16];
    EXPECT_EQ(LoadStringW(module, 7, buffer, 16), 5);
    EXPECT_EQ(std::u16string(buffer), u"Seven");
    EXPECT_EQ(LoadStringW(module, 7, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Sev");
    EXPECT_EQ(LoadStringW(module, 7, buffer, 1), 0);
    EXPECT_EQ(buffer[0], 0);

    LPCWSTR pointer = nullptr;
    EXPECT_EQ(LoadStringW(module, 3, reinterpret_cast<LPWSTR>(&pointer), 0), 7);
    EXPECT_EQ(std::u16string(pointer), u"Three \u00e9");

    buffer[0] = u'#';
    SetLastError(0);
    EXPECT_EQ(LoadStringW(module, 8, buffer, 16), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(LoadStringW(module, 7, nullptr, 16), 0);
    EXPECT_EQ(LoadStringW(nullptr, 7, buffer, 16), 0);
    FreeLibrary(module);
}

TEST_F(LoadStringTest, DamagedAndForeignFilesHaveNoStrings) {
    Bytes damaged = SampleTable();
    damaged.pop_back();
    HMODULE module = Install("Damaged.dll", damaged);
    WCHAR buffer[16];
    EXPECT_EQ(LoadStringW(module, 7, buffer, 16), 0);
    EXPECT_EQ(GetLastError(), ERROR_BAD_FORMAT);

    HMODULE foreign = Install("Foreign.dll", Bytes{0x7F, 'E', 'L', 'F', 1, 2, 3});
    EXPECT_EQ(LoadStringW(foreign, 7, buffer, 16), 0);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
    FreeLibrary(module);
    FreeLibrary(foreign);
}

}  // namespace
