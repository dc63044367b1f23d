// Text fixtures: fresh heaps, a data folder, the global text table, and a system font read
// from a glyph file in which every character advances 10 pixels on a 20-pixel line.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/files/DataFolder.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/resources/font/BitmapFont.h"
#include "tests/support/TestSupport.h"

namespace text_test {

inline void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        std::filesystem::create_directories(root_.Path() + "/fs/data");
        SetDataFolder("\\data\\");
        font_ = new BitmapFont;
        ASSERT_NE(font_, nullptr);
        // One glyph, the whole page: every character shows it and advances 10.
        std::vector<std::uint8_t> file;
        Put(file, 20, 4);
        Put(file, 1, 4);
        for (std::uint32_t corner : {0u, 0u, 65535u, 65535u}) Put(file, corner, 4);
        Put(file, 10, 2);
        Put(file, u'A', 2);
        ASSERT_EQ(font_->ReadGlyphFile(file.data(), file.size()), 1);
        SetSystemFont(font_);
        ASSERT_EQ(TextTableCreate(), 1);
    }
    void TearDown() override {
        TextTableDestroy();
        SetSystemFont(nullptr);
        delete font_;
        SetDataFolder(nullptr);
        HeapTeardown();
    }

    void WriteData(const std::string& name, const std::string& bytes) const {
        std::ofstream file(root_.Path() + "/fs/data/" + name, std::ios::binary);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    void Parse(const std::string& bytes) const {
        ParseTextFile(*GlobalTextTable(), reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    // The text the table finds for a key (through the fallback when it is missing).
    static std::u16string Find(const char* key) {
        std::uint32_t length = 0;
        const WCHAR* text = TextTableFind(GlobalTextTable(), key, &length);
        return std::u16string(text, length);
    }
    // The entries stored under a key, exactly as written, in bucket order.
    static std::vector<TextEntry*> Entries(const char* key) {
        std::vector<TextEntry*> found;
        TextTable* table = GlobalTextTable();
        for (std::uint32_t b = 0; b < table->bucketCount; ++b)
            for (KDLLink* link = table->buckets[b].head; link != nullptr; link = link->next) {
                auto* entry = static_cast<TextEntry*>(link->item);
                if (std::string(entry->key.Text()) == key) found.push_back(entry);
            }
        return found;
    }
    static std::size_t EntryCount() {
        std::size_t count = 0;
        TextTable* table = GlobalTextTable();
        for (std::uint32_t b = 0; b < table->bucketCount; ++b) count += table->buckets[b].count;
        return count;
    }

    handset_test::TempHandsetRoot root_;
    BitmapFont* font_ = nullptr;
};

}  // namespace text_test
