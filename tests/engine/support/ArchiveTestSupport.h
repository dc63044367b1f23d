// Fixtures of the archive and file stream tests: ".par" archives written into a fresh
// handset root with the pack tool's writer, or byte by byte where the writer cannot say it
// (data descriptors, encryption flags).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/files/ArchiveFileSystem.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/memory/EngineMemory.h"
#include "tests/support/TestSupport.h"
#include "tools/pack_archive/ZipWriter.h"

namespace engine_test {

using Bytes = std::vector<std::uint8_t>;
using ArchiveEntries = std::vector<std::pair<std::string, std::string>>;

inline Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Writes an archive at a Linux path with the pack tool's writer.
inline void WriteArchive(const std::string& path, const ArchiveEntries& entries) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ZipWriter writer(path);
    for (const auto& [name, content] : entries) ASSERT_TRUE(writer.Add(name, ToBytes(content))) << writer.Error();
    ASSERT_TRUE(writer.Finish()) << writer.Error();
}

// Offsets of the records of an archive written by WriteArchive, for tests that alter bytes.
inline std::size_t FindSignature(const Bytes& bytes, std::uint32_t signature, std::size_t from = 0) {
    for (std::size_t at = from; at + 4 <= bytes.size(); ++at) {
        const std::uint32_t word = bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                   (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
        if (word == signature) return at;
    }
    return std::string::npos;
}
constexpr std::uint32_t kLocalSignature = 0x04034B50;
constexpr std::uint32_t kCentralSignature = 0x02014B50;

// A fresh engine heap, a fresh handset root with the data folder "\data\" (Linux path
// DataPath()), and no archives mounted.
class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        SetDataFolder("\\data\\");
        std::filesystem::create_directories(DataPath());
    }
    void TearDown() override {
        UnmountAll();
        ResetArchiveTable();
        SetDataFolder(nullptr);
        HeapTeardown();
    }
    std::string DataPath(const std::string& name = "") const { return root_.Path() + "/fs/data/" + name; }
    void WriteDataArchive(const std::string& name, const ArchiveEntries& entries) {
        WriteArchive(DataPath(name), entries);
    }

    handset_test::TempHandsetRoot root_;
};

}  // namespace engine_test
