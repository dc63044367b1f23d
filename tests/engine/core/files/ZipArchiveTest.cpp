// The zip access layer over archives written by the pack tool's writer: extraction results
// by buffer size, bad handles and indexes, memory images and file handles, and damaged
// entries (encrypted, wrong CRC, broken deflate data).
#include <zlib.h>

#include <cstring>
#include <string>

#include "engine/core/files/ZipArchive.h"
#include "platform/base/Handle.h"
#include "platform/fs/Files.h"
#include "tests/engine/support/ArchiveTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

using engine_test::Bytes;

// 3000 bytes that deflate well, and a short text that is stored.
std::string Compressible() {
    std::string text;
    for (int i = 0; text.size() < 3000; ++i) text += "line " + std::to_string(i % 17) + " of the level\n";
    return text.substr(0, 3000);
}

class ZipArchiveTest : public engine_test::ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        engine_test::WriteArchive(DataPath("fixture.par"), {{"a.txt", "xyz"}, {"levels/big.txt", Compressible()}});
        image_ = engine_test::ReadWholeFile(DataPath("fixture.par"));
    }
    ZipArchive* OpenImage(const Bytes& image) {
        DWORD result = 0xFFFFFFFF;
        ZipArchive* archive = ZipOpenArchiveImage(image.data(), static_cast<DWORD>(image.size()), &result);
        EXPECT_EQ(result, kZipOk);
        return archive;
    }
    // Flips a byte of entry 1's stored data and checks the extraction result.
    DWORD ExtractAltered(std::size_t offset, std::uint8_t value) {
        Bytes altered = image_;
        altered[offset] = value;
        ZipArchive* archive = OpenImage(altered);
        std::string out(3000, '\0');
        const DWORD result = ZipExtractEntry(archive, 1, out.data(), 3000);
        ZipCloseArchive(archive);
        return result;
    }
    Bytes image_;
};

TEST_F(ZipArchiveTest, ExtractsWholeEntriesAndReportsShortBuffers) {
    ZipArchive* archive = OpenImage(image_);
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(ZipEntryCount(archive), 2);
    const std::string expected = Compressible();
    std::string out(expected.size(), '\0');
    EXPECT_EQ(ZipExtractEntry(archive, 1, out.data(), static_cast<DWORD>(out.size())), kZipOk);
    EXPECT_EQ(out, expected);
    // One byte short: 600, and again 600 from the entry's beginning on the next call.
    std::string shorter(expected.size() - 1, '\0');
    EXPECT_EQ(ZipExtractEntry(archive, 1, shorter.data(), static_cast<DWORD>(shorter.size())), kZipBufferTooSmall);
    EXPECT_EQ(shorter, expected.substr(0, shorter.size()));
    shorter.assign(shorter.size(), '\0');
    EXPECT_EQ(ZipExtractEntry(archive, 1, shorter.data(), static_cast<DWORD>(shorter.size())), kZipBufferTooSmall);
    EXPECT_EQ(shorter, expected.substr(0, shorter.size()));
    // Backwards to a stored entry, with a larger buffer than needed.
    char small[8] = {};
    EXPECT_EQ(ZipExtractEntry(archive, 0, small, sizeof small), kZipOk);
    EXPECT_STREQ(small, "xyz");
    EXPECT_EQ(ZipExtractEntry(archive, 0, small, 2), kZipBufferTooSmall);
    EXPECT_EQ(ZipCloseArchive(archive), kZipOk);
}

TEST_F(ZipArchiveTest, ExtractsEntriesInAnyOrderFromFilesAndImages) {
    engine_test::ArchiveEntries entries;
    for (int i = 0; i < 40; ++i) entries.push_back({"e" + std::to_string(i), "content " + std::to_string(i)});
    engine_test::WriteArchive(DataPath("many.par"), entries);
    const Bytes image = engine_test::ReadWholeFile(DataPath("many.par"));
    ZipArchive* archives[] = {OpenImage(image), ZipOpenArchivePath(u"\\data\\many.par")};
    // Forward, backward, jumps, repeats: each entry comes whole whatever came before.
    const int order[] = {0, 39, 1, 20, 19, 21, 5, 38, 38, 0, 2, 30, 10, 39, 11, 3};
    for (ZipArchive* archive : archives) {
        ASSERT_NE(archive, nullptr);
        for (const int index : order) {
            char out[32] = {};
            DWORD extracted = 0;
            ASSERT_EQ(ZipExtractEntry(archive, index, out, sizeof out, &extracted), kZipOk) << index;
            EXPECT_EQ(std::string(out), "content " + std::to_string(index));
            EXPECT_EQ(extracted, entries[static_cast<std::size_t>(index)].second.size());
        }
        EXPECT_EQ(ZipCloseArchive(archive), kZipOk);
    }
}

TEST_F(ZipArchiveTest, RefusesBadHandlesAndIndexes) {
    char buffer[8];
    EXPECT_EQ(ZipExtractEntry(nullptr, 0, buffer, 8), kZipBadArguments);
    EXPECT_EQ(ZipCloseArchive(nullptr), kZipBadArguments);
    ZipArchive* archive = OpenImage(image_);
    EXPECT_EQ(ZipExtractEntry(archive, 2, buffer, 8), kZipBadArguments);  // the entry count
    EXPECT_EQ(ZipExtractEntry(archive, -1, buffer, 8), kZipBadArguments);
    archive->kind = 2;
    EXPECT_EQ(ZipExtractEntry(archive, 0, buffer, 8), kZipNotUnzipHandle);
    EXPECT_EQ(ZipCloseArchive(archive), kZipNotUnzipHandle);
    archive->kind = kZipUnzipHandle;
    EXPECT_EQ(ZipCloseArchive(archive), kZipOk);
    DWORD result = 0;
    EXPECT_EQ(ZipOpenArchive(image_.data(), 10, 4, &result), nullptr);
    EXPECT_EQ(result, kZipBadArguments);
}

TEST_F(ZipArchiveTest, OpensPathsAndHandlesAndRefusesWhatIsNoArchive) {
    DWORD result = 0;
    ZipArchive* byPath = ZipOpenArchivePath(u"\\data\\fixture.par", &result);
    ASSERT_NE(byPath, nullptr);
    char buffer[4] = {};
    EXPECT_EQ(ZipExtractEntry(byPath, 0, buffer, 3), kZipOk);
    EXPECT_STREQ(buffer, "xyz");
    EXPECT_EQ(ZipCloseArchive(byPath), kZipOk);

    EXPECT_EQ(ZipOpenArchivePath(u"\\data\\missing.par", &result), nullptr);
    EXPECT_EQ(result, kZipCannotOpen);
    const Bytes text = engine_test::ToBytes("this is not a zip archive at all");
    EXPECT_EQ(ZipOpenArchiveImage(text.data(), static_cast<DWORD>(text.size()), &result), nullptr);
    EXPECT_EQ(result, kZipCannotOpen);

    // A handle positioned at the archive's start inside a larger file: offsets count from there.
    Bytes padded = engine_test::ToBytes("0123456789");
    padded.insert(padded.end(), image_.begin(), image_.end());
    engine_test::WriteWholeFile(DataPath("padded.bin"), padded);
    HANDLE file = CreateFileW(u"\\data\\padded.bin", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_EQ(SetFilePointer(file, 10, nullptr, FILE_BEGIN), 10u);
    ZipArchive* byHandle = ZipOpenArchive(file, 0, kZipSourceHandle, &result);
    ASSERT_NE(byHandle, nullptr) << std::hex << result;
    std::string out(3000, '\0');
    EXPECT_EQ(ZipExtractEntry(byHandle, 1, out.data(), 3000), kZipOk);
    EXPECT_EQ(out, Compressible());
    EXPECT_EQ(ZipCloseArchive(byHandle), kZipOk);
    EXPECT_TRUE(CloseHandle(file));  // the layer did not open it, so it did not close it
}

TEST_F(ZipArchiveTest, DamagedEntriesGiveTheirResultsAndLeaveTheArchiveUsable) {
    const std::size_t local = engine_test::FindSignature(image_, engine_test::kLocalSignature, 1);
    ASSERT_NE(local, std::string::npos);
    const std::size_t nameLength = image_[local + 26];
    const std::size_t data = local + 30 + nameLength;
    // The CRC field of the central directory record of entry 1.
    const std::size_t central = engine_test::FindSignature(image_, engine_test::kCentralSignature);
    const std::size_t central1 = engine_test::FindSignature(image_, engine_test::kCentralSignature, central + 4);
    ASSERT_NE(central1, std::string::npos);

    // Deflate data broken at its first block header: reserved block type 3.
    EXPECT_EQ(ExtractAltered(data, 0x07), kZipDecompressionError);
    // The same CRC in both headers that the data does not have: the check fails.
    {
        Bytes altered = image_;
        altered[local + 14] ^= 0x55;
        altered[central1 + 16] ^= 0x55;
        ZipArchive* archive = OpenImage(altered);
        std::string out(3000, '\0');
        EXPECT_EQ(ZipExtractEntry(archive, 1, out.data(), 3000), kZipCorrupt);
        char small[4] = {};
        EXPECT_EQ(ZipExtractEntry(archive, 0, small, 3), kZipOk);  // still usable
        ZipCloseArchive(archive);
    }
    // The encrypted flag in the central directory: this layer cannot decrypt.
    {
        Bytes altered = image_;
        altered[central1 + 8] |= 1;
        altered[local + 6] |= 1;
        ZipArchive* archive = OpenImage(altered);
        std::string out(3000, '\0');
        EXPECT_EQ(ZipExtractEntry(archive, 1, out.data(), 3000), kZipEncrypted);
        ZipCloseArchive(archive);
    }
    // Sizes that agree in both headers but reach past the end of the archive.
    {
        Bytes altered = image_;
        for (std::size_t field : {local + 18, central1 + 20}) altered[field + 2] = 0x7F;
        ZipArchive* archive = OpenImage(altered);
        std::string out(3000, '\0');
        EXPECT_EQ(ZipExtractEntry(archive, 1, out.data(), 3000), kZipReadError);
        ZipCloseArchive(archive);
    }
    // A local header that disagrees with the central directory.
    EXPECT_EQ(ExtractAltered(local + 8, 0), kZipCorrupt);  // compression method
}

TEST_F(ZipArchiveTest, MemoryImageReadsStopAtItsEnd) {
    // Cut inside entry 1's data: the central directory is gone, so no archive is found.
    DWORD result = 0;
    EXPECT_EQ(ZipOpenArchiveImage(image_.data(), static_cast<DWORD>(image_.size() / 2), &result), nullptr);
    EXPECT_EQ(result, kZipCannotOpen);
    ZipSource* source = ZipIoOpen(image_.data(), 16, kZipSourceMemory, &result);
    ASSERT_NE(source, nullptr);
    BYTE bytes[32];
    EXPECT_EQ(ZipIoSeek(source, 12, kZipSeekSet), 0);
    EXPECT_EQ(ZipIoRead(bytes, 1, 32, source), 4u);
    EXPECT_EQ(ZipIoSeek(source, 100, kZipSeekEnd), 0);
    EXPECT_EQ(ZipIoRead(bytes, 1, 32, source), 0u);
    EXPECT_EQ(ZipIoTell(source), 116u);
    EXPECT_EQ(ZipIoClose(source), 0);
    EXPECT_EQ(ZipIoClose(nullptr), -1);
}

TEST_F(ZipArchiveTest, ZlibAllocationsComeFromTheEngineHeap) {
    const std::size_t before = EngineBlockCount();
    void* block = ZipAlloc(nullptr, 10, 100);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(EngineBlockCount(), before + 1);
    EXPECT_EQ(static_cast<BYTE*>(block)[999], 0);
    ZipFree(nullptr, block);
    EXPECT_EQ(ZipAlloc(nullptr, 0, 100), nullptr);
    EXPECT_EQ(ZipAlloc(nullptr, 0x10000, 0x10000), nullptr);
    EXPECT_EQ(EngineBlockCount(), before);
}

}  // namespace
