// The archive file system over archives in a fresh handset root: mount order and
// precedence, look-up without case, folder listings, the header walk's stop on data
// descriptors, archives in memory, and the entries and names it refuses.
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

#include "engine/core/files/ArchiveDirectory.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/files/ZipArchive.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/TextCompare.h"
#include "tests/engine/support/ArchiveTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"
#include "tools/zip_records/ZipRecords.h"

namespace {

using engine_test::Bytes;

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

class ArchiveFileSystemTest : public engine_test::ArchiveTest {
protected:
    // The whole content of `path` as FileStream::Open finds it; "<missing>" when it fails.
    std::string ReadFile(const char* path) {
        FileStream stream;
        if (stream.Open(path, kStreamReadWhole) == 0) return "<missing>";
        std::string text(stream.Size(), '\0');
        if (stream.Read(text.data(), static_cast<DWORD>(text.size())) != text.size()) return "<short>";
        return text;
    }
    std::string List(const char* folder, const char* extension, DWORD flags, int* result = nullptr) {
        KDLList names;
        const int listed = ListArchiveFolder(folder, extension, names, flags);
        if (result != nullptr) *result = listed;
        std::string text;
        for (KDLLink* link = names.head; link != nullptr; link = link->next)
            text += std::string(static_cast<EngineString*>(link->item)->Text()) + ",";
        ListDeleteAll(names, EngineString::DeleteItem);
        return text;
    }
};

TEST_F(ArchiveFileSystemTest, LaterMountsWinAndArchivesWinOverTheDisk) {
    WriteDataArchive("startup.par", {{"gfx/intro1.dds", "startup"}, {"only/startup.txt", "s"}});
    WriteDataArchive("arch3.par", {{"gfx/intro1.dds", "arch3"}, {"levels/level01.qvn", "archived level"}});
    WriteDataArchive("extra.par", {{"only/extra.txt", "e"}});
    WriteDataArchive("arch20.par", {{"only/arch20.txt", "never"}});
    WriteDataArchive("DLC1.par", {{"only/dlc.txt", "never"}});
    engine_test::WriteWholeFile(DataPath("levels/level01.qvn"), engine_test::ToBytes("disk level"));
    engine_test::WriteWholeFile(DataPath("levels/level02.qvn"), engine_test::ToBytes("disk only"));
    MountArchives();

    EXPECT_EQ(ReadFile("gfx/intro1.dds"), "arch3");
    EXPECT_EQ(ReadFile("GFX\\Intro1.DDS"), "arch3");  // look-up ignores case and takes either separator
    EXPECT_EQ(ReadFile("/gfx/intro1.dds"), "arch3");
    EXPECT_EQ(ReadFile("levels/level01.qvn"), "archived level");
    EXPECT_EQ(ReadFile("levels/level02.qvn"), "disk only");
    EXPECT_EQ(ReadFile("only/startup.txt"), "s");
    EXPECT_EQ(ReadFile("only/extra.txt"), "e");
    EXPECT_EQ(ReadFile("only/arch20.txt"), "<missing>");
    EXPECT_EQ(ReadFile("only/dlc.txt"), "<missing>");
    EXPECT_STREQ(LastOpenedFileName(), "only/extra.txt");

    FileStream stream;
    ASSERT_EQ(stream.Open("gfx/intro1.dds", kStreamText), 1);
    EXPECT_EQ(stream.Flags(), kStreamText | kStreamArchiveImage);
    const ArchiveFileEntry* entry = FindArchiveFile("gfx/intro1.dds");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(stream.Base(), entry->dataOffset);
    EXPECT_EQ(FindArchiveIndex((std::string("\\data\\") + "ARCH3.PAR").c_str()), entry->archiveIndex);
    EXPECT_EQ(FindArchiveIndex("\\data\\none.par"), -1);
}

TEST_F(ArchiveFileSystemTest, ListsFoldersAndFilesByExtension) {
    WriteDataArchive("startup.par", {{"levels/b.qvn", "1"}, {"levels/A.QVN", "2"}, {"levels/x.txt", "3"},
                                     {"levels/world1/c.qvn", "4"}, {"text/en/menu.text", "5"}});
    ASSERT_EQ(MountArchive("startup.par"), 1);
    EXPECT_EQ(List("levels", "qvn", kListSorted), "A,b,");
    EXPECT_EQ(List("\\LEVELS\\", "QVN", 0), "A,b,");
    EXPECT_EQ(List("", nullptr, kListSorted), "levels,text,");
    EXPECT_EQ(List("levels", "", 0), "world1,");
    int result = -1;
    // A missing folder that sorts before an existing one gives 0; after every folder, 1.
    EXPECT_EQ(List("apples", nullptr, 0, &result), "");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(List("zebra", nullptr, 0, &result), "");
    EXPECT_EQ(result, 1);
    // Names already in the list are not added twice.
    KDLList names;
    ListArchiveFolder("levels", "qvn", names, kListSorted);
    ListArchiveFolder("levels", "qvn", names, kListSorted);
    EXPECT_EQ(names.count, 2u);
    ListDeleteAll(names, EngineString::DeleteItem);
}

TEST_F(ArchiveFileSystemTest, LargeFoldersMergedOverSeveralMountsStaySortedAndLaterMountsWin) {
    // Names in a scrambled order, in several folders; the second archive repeats every third
    // name in capitals and adds names and folders that sort among the first's.
    engine_test::ArchiveEntries first;
    engine_test::ArchiveEntries second;
    std::vector<std::string> expected;
    for (int i = 0; i < 600; ++i) {
        const int n = (i * 277) % 600;
        const std::string name = "f" + std::to_string(n) + ".txt";
        first.push_back({"big/" + name, "first " + name});
        first.push_back({"dir" + std::to_string(n % 7) + "/x.txt", "x"});
        if (n % 3 == 0) {
            std::string upper = name;
            for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            second.push_back({"BIG/" + upper, "second " + name});
            expected.push_back(upper.substr(0, upper.size() - 4));
        } else {
            expected.push_back(name.substr(0, name.size() - 4));
        }
        if (n % 5 == 0) {
            second.push_back({"big/g" + std::to_string(n) + ".TXT", "g"});
            second.push_back({"Dir" + std::to_string(n % 11) + "/y.txt", "y"});
            expected.push_back("g" + std::to_string(n));
        }
    }
    WriteDataArchive("arch0.par", first);
    WriteDataArchive("arch1.par", second);
    MountArchives();

    std::sort(expected.begin(), expected.end(),
              [](const std::string& a, const std::string& b) { return CompareNoCase(a.c_str(), b.c_str()) < 0; });
    std::string sorted;
    for (const std::string& name : expected) sorted += name + ",";
    EXPECT_EQ(List("big", "txt", 0), sorted);
    EXPECT_EQ(List("", nullptr, 0), "big,dir0,dir1,Dir10,dir2,dir3,dir4,dir5,dir6,Dir7,Dir8,Dir9,");
    EXPECT_EQ(ReadFile("big/f3.txt"), "second f3.txt");
    EXPECT_EQ(ReadFile("BIG/F4.TXT"), "first f4.txt");
    EXPECT_EQ(ReadFile("dir10/y.txt"), "y");
    EXPECT_EQ(FindArchiveFile("big/f599.txt")->archiveIndex, 0);
    EXPECT_EQ(FindArchiveFile("big/f597.txt")->archiveIndex, 1);
}

TEST_F(ArchiveFileSystemTest, AnArchiveOfMoreEntriesThanA16BitCountMountsWhole) {
    // 66,000 stored entries need the ZIP64 end record for their count.
    Bytes archive;
    std::vector<zip_records::Entry> entries;
    for (int i = 0; i < 66000; ++i) {
        const std::string content = std::to_string(i);
        zip_records::Entry entry;
        entry.name = "all/" + std::to_string((i * 7919) % 66000);
        entry.crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(content.data()),
                                                     static_cast<uInt>(content.size())));
        entry.compressedSize = entry.size = static_cast<std::uint32_t>(content.size());
        entry.localOffset = static_cast<std::uint32_t>(archive.size());
        zip_records::AppendLocalHeader(archive, entry);
        archive.insert(archive.end(), content.begin(), content.end());
        entries.push_back(entry);
    }
    ASSERT_TRUE(zip_records::AppendCentralDirectory(archive, entries, archive.size()));
    engine_test::WriteWholeFile(DataPath("huge.par"), archive);
    ASSERT_EQ(MountArchive("huge.par"), 1);
    EXPECT_EQ(ZipEntryCount(ArchiveSlotAt(0)->zip), 66000);
    // In memory, so that finding the last entries does not read the directory from the file.
    ASSERT_EQ(LoadArchivesIntoMemory(), 1);
    ASSERT_NE(ArchiveSlotAt(0)->image, nullptr);
    // Entry i holds the number i and is named (i * 7919) mod 66000.
    EXPECT_EQ(ReadFile("all/0"), "0");
    EXPECT_EQ(ReadFile("ALL/7919"), "1");
    EXPECT_EQ(ReadFile(("all/" + std::to_string((65999 * 7919) % 66000)).c_str()), "65999");
    EXPECT_EQ(List("", nullptr, 0), "all,");
}

TEST_F(ArchiveFileSystemTest, DataDescriptorsStopTheWalkAfterTheFirstEntry) {
    // Written the way streaming writers do: sizes 0 in the local header, then a descriptor.
    Bytes archive;
    auto put16 = [&](unsigned v) { archive.push_back(v & 0xFF), archive.push_back((v >> 8) & 0xFF); };
    auto put32 = [&](std::uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
    const std::string names[2] = {"first.txt", "second.txt"};
    const std::string content = "hello";
    std::uint32_t offsets[2];
    for (int i = 0; i < 2; ++i) {
        offsets[i] = static_cast<std::uint32_t>(archive.size());
        put32(0x04034B50), put16(20), put16(8), put16(0), put16(0), put16(0);
        put32(0), put32(0), put32(0), put16(static_cast<unsigned>(names[i].size())), put16(0);
        archive.insert(archive.end(), names[i].begin(), names[i].end());
        archive.insert(archive.end(), content.begin(), content.end());
        put32(0x08074B50), put32(0x3610A686), put32(5), put32(5);  // CRC-32 of "hello"
    }
    const std::uint32_t directory = static_cast<std::uint32_t>(archive.size());
    for (int i = 0; i < 2; ++i) {
        put32(0x02014B50), put16(20), put16(20), put16(8), put16(0), put16(0), put16(0);
        put32(0x3610A686), put32(5), put32(5), put16(static_cast<unsigned>(names[i].size()));
        put16(0), put16(0), put16(0), put16(0), put32(0), put32(offsets[i]);
        archive.insert(archive.end(), names[i].begin(), names[i].end());
    }
    const std::uint32_t directorySize = static_cast<std::uint32_t>(archive.size()) - directory;
    put32(0x06054B50), put16(0), put16(0), put16(2), put16(2), put32(directorySize), put32(directory), put16(0);
    engine_test::WriteWholeFile(DataPath("streamed.par"), archive);

    engine_test::CapturedLog log;
    ASSERT_EQ(MountArchive("streamed.par"), 1);
    const ArchiveFileEntry* first = FindArchiveFile("first.txt");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->uncompressedSize, 0u);
    EXPECT_EQ(first->compressedSize, 0u);
    EXPECT_EQ(FindArchiveFile("second.txt"), nullptr);
    // Its recorded size is 0 but the entry holds 5 bytes: the open fails instead of giving an
    // empty file, and says why.
    EXPECT_EQ(ReadFile("first.txt"), "<missing>");
    EXPECT_TRUE(log.Contains("first.txt: entry 0 of"));
}

TEST_F(ArchiveFileSystemTest, AnEntryOpensOnlyAsTheDirectoryEntryOfItsLocalHeaderWithItsRecordedSize) {
    WriteDataArchive("fixture.par", {{"a.txt", "hello world"}, {"b.txt", "other text!"}});
    const Bytes original = engine_test::ReadWholeFile(DataPath("fixture.par"));
    const std::size_t local = engine_test::FindSignature(original, engine_test::kLocalSignature);
    const std::size_t central = engine_test::FindSignature(original, engine_test::kCentralSignature);
    constexpr std::size_t kCentralRecord = 46 + 5;  // no extra field or comment; names of 5 bytes
    const struct {
        const char* fault;
        void (*alter)(Bytes& bytes, std::size_t local, std::size_t central);
        const char* message;
    } cases[] = {
        {"none", [](Bytes&, std::size_t, std::size_t) {}, nullptr},
        // Sizes follow the data (bit 3), so minizip does not compare them; the local header
        // claims 4096 bytes where the directory's entry holds 11.
        {"a larger local size",
         [](Bytes& bytes, std::size_t local, std::size_t) {
             bytes[local + 6] |= 0x08;
             Put32(bytes, local + 22, 4096);
         },
         "holds 11 bytes where its local header records 4096"},
        // The directory lists b.txt first: entry 0 is another header than a.txt's.
        {"directory out of order",
         [](Bytes& bytes, std::size_t, std::size_t central) {
             std::swap_ranges(bytes.begin() + static_cast<std::ptrdiff_t>(central),
                              bytes.begin() + static_cast<std::ptrdiff_t>(central + kCentralRecord),
                              bytes.begin() + static_cast<std::ptrdiff_t>(central + kCentralRecord));
         },
         "(zip result 0x700)"},
        // Same header, but the directory names another file.
        {"another name in the directory",
         [](Bytes& bytes, std::size_t, std::size_t central) { bytes[central + 46] = 'x'; },
         "(zip result 0x700)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        Bytes altered = original;
        c.alter(altered, local, central);
        engine_test::WriteWholeFile(DataPath("fixture.par"), altered);
        UnmountAll();
        ResetArchiveTable();
        ASSERT_EQ(MountArchive("fixture.par"), 1);
        engine_test::CapturedLog log;
        if (c.message == nullptr) {
            EXPECT_EQ(ReadFile("a.txt"), "hello world");
            continue;
        }
        EXPECT_EQ(ReadFile("a.txt"), "<missing>");
        EXPECT_TRUE(log.Contains(c.message)) << log.Text();
        EXPECT_TRUE(log.Contains("a.txt: entry 0 of")) << log.Text();
    }
}

TEST_F(ArchiveFileSystemTest, ArchivesInMemoryKeepWorkingAfterTheFileIsDeleted) {
    WriteDataArchive("startup.par", {{"a.txt", "startup a"}});
    WriteDataArchive("arch0.par", {{"b.txt", "arch0 b"}});
    MountArchives();
    EXPECT_EQ(LoadStartupArchive(), 1);
    EXPECT_EQ(LoadStartupArchive(), 0);  // already in memory
    ASSERT_NE(ArchiveSlotAt(0)->image, nullptr);
    EXPECT_EQ(ArchiveSlotAt(1)->image, nullptr);
    EXPECT_EQ(LoadArchivesIntoMemory(), 1);
    ASSERT_NE(ArchiveSlotAt(1)->image, nullptr);
    std::filesystem::remove(DataPath("startup.par"));
    std::filesystem::remove(DataPath("arch0.par"));
    EXPECT_EQ(ReadFile("a.txt"), "startup a");
    EXPECT_EQ(ReadFile("b.txt"), "arch0 b");
}

TEST_F(ArchiveFileSystemTest, SkipsLongNamesAndRefusesNamesOutsideTheDataFolder) {
    const std::string longName(48, 'n');
    WriteDataArchive("startup.par", {{"ok/" + std::string(47, 'k'), "fits"},
                                     {"ok/" + longName, "too long"},
                                     {longName + "/x.txt", "folder too long"},
                                     {"after.txt", "after"}});
    engine_test::CapturedLog log;
    ASSERT_EQ(MountArchive("startup.par"), 1);
    EXPECT_EQ(ReadFile(("ok/" + std::string(47, 'k')).c_str()), "fits");
    EXPECT_EQ(ReadFile(("ok/" + longName).c_str()), "<missing>");
    EXPECT_EQ(ReadFile("after.txt"), "after");
    EXPECT_EQ(log.Count("48 characters or longer"), 2);
    EXPECT_EQ(List("", nullptr, 0), "ok,");  // the skipped entry made no folder

    std::filesystem::create_directories(root_.Path() + "/fs/secret");
    engine_test::WriteArchive(root_.Path() + "/fs/secret/outside.par", {{"s.txt", "secret"}});
    for (const char* name : {"../secret/outside.par", "..\\secret\\outside.par", "\\secret\\outside.par",
                             "/secret/outside.par", "C:outside.par"})
        EXPECT_EQ(MountArchive(name), 0) << name;
    EXPECT_EQ(ReadFile("s.txt"), "<missing>");
    EXPECT_EQ(log.Count("its name leaves the data folder"), 5);
}

// An archive that is missing is no news; one that is there but cannot be opened as a file
// takes its files away, and the log says which.
TEST_F(ArchiveFileSystemTest, AnArchiveThatIsThereButCannotBeOpenedIsReported) {
    engine_test::CapturedLog log;
    EXPECT_EQ(MountArchive("arch3.par"), 0);
    EXPECT_EQ(log.Text(), "");
    std::filesystem::create_directories(DataPath("startup.par"));
    ASSERT_EQ(mkfifo(DataPath("arch1.par").c_str(), 0600), 0);
    EXPECT_EQ(MountArchive("startup.par"), 0);
    EXPECT_EQ(MountArchive("arch1.par"), 0);
    EXPECT_EQ(log.Count("startup.par is not mounted: it cannot be opened as a file"), 1) << log.Text();
    EXPECT_EQ(log.Count("arch1.par is not mounted: it cannot be opened as a file"), 1) << log.Text();
}

TEST_F(ArchiveFileSystemTest, MountingAPathAgainReusesItsSlot) {
    WriteDataArchive("arch1.par", {{"a.txt", "first"}});
    ASSERT_EQ(MountArchive("arch1.par"), 1);
    WriteDataArchive("arch1.par", {{"b.txt", "padding"}, {"a.txt", "second"}});
    ASSERT_EQ(MountArchive("ARCH1.par"), 1);
    EXPECT_EQ(MountedArchiveCount(), 2);
    EXPECT_EQ(FindArchiveFile("a.txt")->archiveIndex, 0);
    EXPECT_EQ(ArchiveSlotAt(1)->zip, nullptr);
    EXPECT_EQ(ReadFile("a.txt"), "second");
    EXPECT_EQ(MountArchive("missing.par"), 0);
    // Not an archive: left out as a whole, with a message.
    engine_test::WriteWholeFile(DataPath("broken.par"), engine_test::ToBytes("PK\x03\x04 but nothing else"));
    engine_test::CapturedLog log;
    EXPECT_EQ(MountArchive("broken.par"), 0);
    EXPECT_TRUE(log.Contains("broken.par is not mounted"));
}

}  // namespace
