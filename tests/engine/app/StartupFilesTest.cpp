// Tests of the application's file access at start-up: which archives the "*.par" scan of
// the data folder mounts, folder listings over the disk and the archives, and opening files
// for reading (archives first) and writing (the disk only).
#include <filesystem>
#include <string>

#include "engine/app/AppFiles.h"
#include "engine/core/files/ArchiveDirectory.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/text/EngineString.h"
#include "tests/engine/support/ArchiveTestSupport.h"

namespace {

class StartupFilesTest : public engine_test::ArchiveTest {
protected:
    std::string Listed(const char* folder, const char* extension, DWORD flags) {
        KDLList names;
        EXPECT_EQ(ListFiles(folder, extension, names, flags), 1);
        std::string text;
        for (KDLLink* link = names.head; link != nullptr; link = link->next)
            text += std::string(static_cast<EngineString*>(link->item)->Text()) + ",";
        ListDeleteAll(names, EngineString::DeleteItem);
        return text;
    }
    std::string Read(const char* path, DWORD flags = 0) {
        FileStream stream;
        if (OpenFile(path, flags, stream) == 0) return "<missing>";
        std::string text(stream.Size(), '\0');
        if (stream.Read(text.data(), static_cast<DWORD>(text.size())) != text.size()) return "<short>";
        return text;
    }
};

TEST_F(StartupFilesTest, TheScanSkipsNumberedArchivesStartupAndDownloadableContent) {
    for (const char* name : {"startup.par", "arch3.par", "arch.par", "archive.par", "Arch7b.par", "dlcpack.par",
                             "DLC2.par", "extra.par", "notes.txt"})
        WriteDataArchive(name, {{std::string("from/") + name, name}});
    MountArchives();
    std::string mounted;
    for (int slot = 0; slot < MountedArchiveCount(); ++slot) mounted += std::string(ArchiveSlotAt(slot)->path) + ",";
    // "Arch7b.par" is skipped by the scan and is not one of arch0.par to arch19.par either.
    EXPECT_EQ(mounted,
              "\\data\\startup.par,\\data\\arch3.par,\\data\\arch.par,\\data\\archive.par,\\data\\extra.par,");
}

TEST_F(StartupFilesTest, ListingsJoinTheDiskAndTheArchives) {
    WriteDataArchive("startup.par", {{"levels/level01.qvn", "a"}, {"levels/Level03.QVN", "b"}, {"levels/w1/x.qvn", "c"}});
    ASSERT_EQ(MountArchive("startup.par"), 1);
    engine_test::WriteWholeFile(DataPath("levels/level02.qvn"), engine_test::ToBytes("disk"));
    engine_test::WriteWholeFile(DataPath("levels/level01.qvn"), engine_test::ToBytes("disk copy"));
    engine_test::WriteWholeFile(DataPath("levels/.hidden.qvn"), engine_test::ToBytes("hidden"));
    engine_test::WriteWholeFile(DataPath("levels/notes.txt"), engine_test::ToBytes("text"));
    std::filesystem::create_directories(DataPath("levels/w2.old"));

    // Without flag 1 or 2 only the archives are listed; a name is listed once; folders lose
    // what looks like an extension too.
    EXPECT_EQ(Listed("levels", "qvn", 0), "level01,Level03,");
    EXPECT_EQ(Listed("levels", "qvn", 0x1), "level01,level02,Level03,");
    EXPECT_EQ(Listed("levels", "qvn", 0x2 | kListSorted), "level01,level02,Level03,");
    EXPECT_EQ(Listed("levels", nullptr, 0x1), "w2,w1,");
    EXPECT_EQ(Listed("\\data\\levels", "txt", 0x1 | kListAbsoluteFolder), "notes,");
}

TEST_F(StartupFilesTest, ReadingPrefersTheArchivesAndWritingGoesToTheDisk) {
    WriteDataArchive("startup.par", {{"save/user.sav", "archived"}});
    ASSERT_EQ(MountArchive("startup.par"), 1);
    engine_test::WriteWholeFile(DataPath("save/user.sav"), engine_test::ToBytes("on disk"));
    EXPECT_EQ(Read("save/user.sav"), "archived");

    {
        FileStream stream;
        ASSERT_EQ(OpenFile("save/user.sav", kOpenForWriting, stream), 1);
        stream.WriteString("written");
    }
    EXPECT_EQ(engine_test::ReadWholeFile(DataPath("save/user.sav")), engine_test::ToBytes("written"));
    EXPECT_EQ(Read("save/user.sav"), "archived");
    EXPECT_EQ(Read("\\data\\save\\user.sav", kOpenAbsolutePath), "written");
    EXPECT_EQ(Read("save/none.sav"), "<missing>");
}

}  // namespace
