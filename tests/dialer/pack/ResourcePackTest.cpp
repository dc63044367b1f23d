// Resource packs: the same entries from a zip pack, a folder and memory; damaged entries;
// the index; overlapping uses; caches; and the use count of a pack that fails to open.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dialer/foundation/OrmException.h"
#include "dialer/pack/ResourcePack.h"
#include "dialer/pack/ZipArchive.h"
#include "tests/dialer/pack/PackTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using pack_test::Bytes;
using pack_test::FromBuffer;
using pack_test::TextBytes;

constexpr char kIndex[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Pack>
  <item>
    <Int Name="Rows" Value="12"/>
    <Color Name="Tint" Value="0x3C7DE6"/>
    <String Name="Title" Value="Grüße"/>
    <Bitmap Name="Key" Image="Key.bmp" Mask="Key_m.bmp"/>
    <Bitmap Name="Bare" Image="Key.bmp"/>
    <Bitmap Name="Lost" Image="Missing.bmp" Mask="Key_m.bmp"/>
  </item>
</Pack>)";

pack_test::PackFiles SampleFiles() {
    return {{"Index.xml", TextBytes(kIndex)},
            {"Layout.xml", TextBytes("<Layouts><Layout Name=\"A\"/></Layouts>")},
            {"Key.bmp", pack_test::MakeBmp(20, 20, 16, BI_BITFIELDS)},
            {"Key_m.bmp", pack_test::MakeBmp(20, 20, 8)},
            {"Noise.bin", Bytes{0x00, 0x9F, 0x13, 0x77, 0xE1}}};
}

HRESULT Thrown(const std::function<void()>& call) {
    try {
        call();
    } catch (COrmException exception) {
        return exception.code;
    }
    return S_OK;
}

// A reader that counts what the pack asks of it, and can fail its first opens.
class CCountingReader : public CZipPackReader {
public:
    CCountingReader(LPCWSTR path, int failingOpens) : CZipPackReader(path), m_failingOpens(failingOpens) {}
    bool Open() override {
        ++opens;
        if (m_failingOpens > 0) {
            --m_failingOpens;
            return false;
        }
        return CZipPackReader::Open();
    }
    void Close() override {
        ++closes;
        CZipPackReader::Close();
    }
    CSharedSurface LoadBitmap(LPCWSTR name) override {
        ++bitmapLoads;
        return CZipPackReader::LoadBitmap(name);
    }
    int opens = 0;
    int closes = 0;
    int bitmapLoads = 0;

private:
    int m_failingOpens;
};

class ResourcePackTest : public testing::Test {
protected:
    void SetUp() override { pack_test::WritePackBothWays(u"\\Packs", u"sample", SampleFiles()); }

    CRefPtr<CResourcePack> Counting(CRefPtr<CCountingReader>* reader, LPCWSTR path = u"\\Packs\\sample.dat",
                                    int failingOpens = 0) {
        reader->Reset(new CCountingReader(path, failingOpens));
        return CRefPtr<CResourcePack>(new CResourcePack(CRefPtr<CZipPackReader>(reader->Get())));
    }

    handset_test::TempHandsetRoot root;
};

TEST_F(ResourcePackTest, ZipFolderAndMemoryPacksServeTheSameEntries) {
    const Bytes archive = pack_test::BuildPack(SampleFiles());
    const CRefPtr<CResourcePack> packs[] = {OpenResourcePack(u"\\Packs\\sample.dat"),
                                            OpenResourcePack(u"\\Packs\\sample"),
                                            OpenResourcePackInMemory(pack_test::ToBuffer(archive))};
    for (const CRefPtr<CResourcePack>& pack : packs) {
        CPackAccess use(pack.Get(), false, true);
        for (const auto& [name, bytes] : SampleFiles()) {
            CSharedBuffer read;
            const std::u16string entry(name.begin(), name.end());
            ASSERT_TRUE(pack->FindDocument(entry.c_str(), &read, false)) << name;
            EXPECT_EQ(FromBuffer(read), bytes) << name;
        }
        CSharedBuffer read;
        EXPECT_TRUE(pack->FindDocument(u"layout.XML", &read, false)) << "names are found without case";
        EXPECT_FALSE(pack->FindDocument(u"Absent.xml", &read, false));
        EXPECT_FALSE(read);
        EXPECT_FALSE(pack->FindDocument(u"", &read, false));
        EXPECT_FALSE(pack->FindDocument(u"..\\sample.dat", &read, false));
    }
}

TEST_F(ResourcePackTest, PackPathsKeepCharactersBeyondTheAnsiPage) {
    pack_test::WriteHandsetFile(u"\\Packs\\Ωmega.dat", pack_test::BuildPack({{"A.txt", TextBytes("alpha")}}));
    CRefPtr<CResourcePack> pack = OpenResourcePack(u"\\Packs\\Ωmega.dat");
    CSharedBuffer read;
    ASSERT_TRUE(pack->FindDocument(u"A.txt", &read, false));
    EXPECT_EQ(FromBuffer(read), TextBytes("alpha"));
    EXPECT_FALSE(pack->FindDocument(u"Ω.txt", &read, false)) << "no entry name can hold it";
}

TEST_F(ResourcePackTest, PlainStoredAndDeflatedEntriesReadAlike) {
    const Bytes text = TextBytes(std::string(3000, 'q'));
    for (bool encrypt : {false, true}) {
        for (bool deflate : {false, true}) {
            SCOPED_TRACE(testing::Message() << "encrypt " << encrypt << ", deflate " << deflate);
            const Bytes archive = pack_test::BuildPack({{"Text.txt", text}}, {encrypt, deflate});
            CRefPtr<CResourcePack> pack = OpenResourcePackInMemory(pack_test::ToBuffer(archive));
            CSharedBuffer read;
            ASSERT_TRUE(pack->FindDocument(u"Text.txt", &read, false));
            EXPECT_EQ(FromBuffer(read), text);
        }
    }
}

TEST_F(ResourcePackTest, DamagedEntriesReadAsEmptyAndSparTheOthers) {
    const Bytes good = pack_test::BuildPack({{"A.txt", TextBytes(std::string(200, 'a'))}, {"B.txt", TextBytes("bee")}});
    // A.txt's 12-byte encryption header starts after its 30-byte local header and 5-byte
    // name; a changed filler byte stirs the keys, so what follows decrypts wrongly.
    struct Case {
        const char* what;
        std::size_t at;
    };
    for (const Case& c : {Case{"filler of the encryption header", 35}, Case{"check byte", 46}, Case{"data", 50}}) {
        Bytes damaged = good;
        damaged[c.at] ^= 0x5A;
        CRefPtr<CResourcePack> pack = OpenResourcePackInMemory(pack_test::ToBuffer(damaged));
        CSharedBuffer read;
        EXPECT_FALSE(pack->FindDocument(u"A.txt", &read, false)) << c.what;
        EXPECT_TRUE(pack->FindDocument(u"B.txt", &read, false)) << c.what;
        EXPECT_EQ(FromBuffer(read), TextBytes("bee"));
    }
    {
        // A.txt claims to inflate to far more than its data can give (in both headers, so
        // that the archive itself stays coherent).
        Bytes inflated = good;
        const std::size_t directory = inflated[inflated.size() - 6] | inflated[inflated.size() - 5] << 8;
        pack_test::Patch32(inflated, 22, 0x0FFFFFF0u);
        pack_test::Patch32(inflated, directory + 24, 0x0FFFFFF0u);
        CRefPtr<CResourcePack> pack = OpenResourcePackInMemory(pack_test::ToBuffer(inflated));
        CSharedBuffer read;
        EXPECT_FALSE(pack->FindDocument(u"A.txt", &read, false)) << "a size beyond what the data can hold";
        EXPECT_TRUE(pack->FindDocument(u"B.txt", &read, false));
    }
    Bytes cut(good.begin(), good.begin() + 40);
    EXPECT_EQ(Thrown([&] { CPackAccess use(OpenResourcePackInMemory(pack_test::ToBuffer(cut)).Get(), false, true); }),
              E_ORM_FAIL)
        << "an archive without its directory cannot be opened";
}

// The offset of the first record of the central directory, from the end record.
std::size_t DirectoryStart(const Bytes& pack) {
    const std::size_t end = pack.size() - 22;
    return pack[end + 16] | pack[end + 17] << 8 | pack[end + 18] << 16 | static_cast<std::size_t>(pack[end + 19]) << 24;
}

TEST_F(ResourcePackTest, EntriesThatDecodeButMissTheirCrcAreRefused) {
    const Bytes text = TextBytes(std::string(200, 'a') + "tail");
    // Each damage leaves data that decrypts and inflates without complaint: only the CRC
    // tells. A.txt's data follows its 30-byte local header, 5-byte name and, when
    // encrypted, the 12-byte encryption header.
    struct Case {
        const char* what;
        bool encrypt;
        bool deflate;
        bool changeRecordedCrc;  // else a stored data byte is changed
    };
    for (const Case& c : {Case{"plain stored, a data byte changed", false, false, false},
                          Case{"encrypted stored, a data byte changed", true, false, false},
                          Case{"plain deflated, the recorded CRC changed", false, true, true},
                          Case{"encrypted deflated, the recorded CRC changed", true, true, true}}) {
        Bytes pack = pack_test::BuildPack({{"A.txt", text}, {"B.txt", TextBytes("bee")}}, {c.encrypt, c.deflate});
        if (c.changeRecordedCrc) {
            // In both headers, so that the archive stays coherent; the low byte, so that the
            // check byte (the CRC's high byte) still passes.
            pack[14] ^= 0x01;
            pack[DirectoryStart(pack) + 16] ^= 0x01;
        } else {
            pack[35 + (c.encrypt ? 12 : 0) + 100] ^= 0x01;
        }
        CRefPtr<CResourcePack> reader = OpenResourcePackInMemory(pack_test::ToBuffer(pack));
        CSharedBuffer read;
        EXPECT_FALSE(reader->FindDocument(u"A.txt", &read, false)) << c.what;
        EXPECT_TRUE(reader->FindDocument(u"B.txt", &read, false)) << c.what;
    }
}

TEST_F(ResourcePackTest, PacksWithSizesAfterTheDataCheckTheTimeByte) {
    // What a zip tool writes from a pipe: the CRC is not known when the encryption header
    // is written, so its check byte is the high byte of the entry's time.
    const Bytes text = TextBytes("sizes after the data, " + std::string(300, 'z'));
    for (bool deflate : {false, true}) {
        SCOPED_TRACE(testing::Message() << "deflate " << deflate);
        const Bytes pack = pack_test::BuildPack({{"A.txt", text}}, {true, deflate, true});
        const std::size_t directory = DirectoryStart(pack);
        ASSERT_EQ(pack[6] & 0x08, 0x08) << "the local header says the sizes follow";
        ASSERT_NE(pack[directory + 13], pack[directory + 19]) << "the time's and the CRC's high bytes must differ";
        CSharedBuffer read;
        ASSERT_TRUE(OpenResourcePackInMemory(pack_test::ToBuffer(pack))->FindDocument(u"A.txt", &read, false));
        EXPECT_EQ(FromBuffer(read), text);

        const Bytes foreign = pack_test::BuildPack({{"A.txt", text}}, {true, deflate, true, "Wr0ngPw!"});
        EXPECT_FALSE(OpenResourcePackInMemory(pack_test::ToBuffer(foreign))->FindDocument(u"A.txt", &read, false))
            << "another password";
    }
}

TEST_F(ResourcePackTest, PacksThatInflateBeyondWhatASkinNeedsAreRefused) {
    // Zeros deflate about a thousandfold: these packs are a few KB and claim megabytes.
    const Bytes atCap(CZipArchive::kMaxEntryBytes, 0);
    const Bytes small = TextBytes("small");
    const Bytes pack =
        pack_test::BuildPack({{"AtCap.bin", atCap}, {"Over.bin", Bytes(atCap.size() + 1, 0)}, {"Small.txt", small}});
    ASSERT_LT(pack.size(), 64u * 1024);
    CRefPtr<CResourcePack> reader = OpenResourcePackInMemory(pack_test::ToBuffer(pack));
    CPackAccess use(reader.Get(), false, true);
    CSharedBuffer read;
    EXPECT_TRUE(reader->FindDocument(u"AtCap.bin", &read, false));
    EXPECT_EQ(read.bytes, atCap.size());
    EXPECT_FALSE(reader->FindDocument(u"Over.bin", &read, false)) << "one entry beyond its cap";
    EXPECT_TRUE(reader->FindDocument(u"Small.txt", &read, false)) << "the other entries still read";

    // Every entry within its cap, together up to the pack's cap and beyond it. What the
    // directory declares decides, so small entries declaring the cap stand in for real ones.
    for (const int entries : {8, 9}) {
        pack_test::PackFiles parts;
        for (int i = 0; i < entries; ++i) parts["Part" + std::to_string(i) + ".bin"] = small;
        Bytes declared = pack_test::BuildPack(parts);
        for (std::size_t record = DirectoryStart(declared); declared[record] == 0x50 && declared[record + 2] == 0x01;
             record += 46 + (declared[record + 28] | declared[record + 29] << 8))
            pack_test::Patch32(declared, record + 24, static_cast<std::uint32_t>(CZipArchive::kMaxEntryBytes));
        CRefPtr<CResourcePack> parted = OpenResourcePackInMemory(pack_test::ToBuffer(declared));
        const HRESULT opened = Thrown([&] { CPackAccess access(parted.Get(), false, true); });
        const ULONGLONG total = static_cast<ULONGLONG>(entries) * CZipArchive::kMaxEntryBytes;
        EXPECT_EQ(opened, total <= CZipArchive::kMaxPackBytes ? S_OK : E_ORM_FAIL) << entries << " entries";
    }
}

TEST_F(ResourcePackTest, IndexGivesValuesAndImages) {
    CRefPtr<CResourcePack> pack = OpenResourcePack(u"\\Packs\\sample.dat");
    CSharedSurface color;
    CSharedSurface mask;
    EXPECT_FALSE(GetPackImage(pack.Get(), u"Key", &color, &mask, true, 0)) << "no index loaded yet";

    CPackAccess use(pack.Get(), true, false);
    EXPECT_TRUE(pack->IsIndexLoaded());
    const CPropertyList values = pack->GetValues();
    LONG number = 0;
    EXPECT_TRUE(values.GetInt(u"Rows", &number));
    EXPECT_EQ(number, 12);
    EXPECT_TRUE(values.GetInt(u"Tint", &number));
    EXPECT_EQ(number, 0x3C7DE6);
    std::u16string title;
    EXPECT_TRUE(values.GetString(u"Title", &title));
    EXPECT_EQ(title, u"Grüße");

    ASSERT_TRUE(
        GetPackImage(pack.Get(), u"KEY", &color, &mask, true, PACK_IMAGE_REQUIRE_COLOR | PACK_IMAGE_REQUIRE_MASK));
    ASSERT_TRUE(color);
    ASSERT_TRUE(mask);
    EXPECT_EQ(color->GetBitsPerPixel(), 16);
    EXPECT_EQ(mask->GetBitsPerPixel(), 8);

    EXPECT_TRUE(GetPackImage(pack.Get(), u"Bare", &color, &mask, true, PACK_IMAGE_REQUIRE_COLOR));
    EXPECT_TRUE(color);
    EXPECT_FALSE(mask);
    EXPECT_FALSE(GetPackImage(pack.Get(), u"Bare", &color, &mask, true, PACK_IMAGE_REQUIRE_MASK));
    EXPECT_FALSE(GetPackImage(pack.Get(), u"Lost", &color, &mask, true, PACK_IMAGE_REQUIRE_COLOR));
    EXPECT_TRUE(GetPackImage(pack.Get(), u"Lost", &color, &mask, true, PACK_IMAGE_REQUIRE_MASK));
    EXPECT_FALSE(GetPackImage(pack.Get(), u"Unlisted", &color, &mask, true, 0));
}

TEST_F(ResourcePackTest, IndexesWithoutItemsOrWithNamelessBitmaps) {
    pack_test::WritePackBothWays(u"\\Packs", u"empty",
                                 {{"Index.xml", TextBytes("<Pack><Int Name=\"X\" Value=\"1\"/></Pack>")}});
    CRefPtr<CResourcePack> empty = OpenResourcePack(u"\\Packs\\empty.dat");
    {
        CPackAccess use(empty.Get(), true, false);
        EXPECT_TRUE(empty->GetValues().IsEmpty());
        EXPECT_FALSE(empty->FindImage(u"X", nullptr, nullptr));
    }
    CRefPtr<CResourcePack> unindexed =
        OpenResourcePackInMemory(pack_test::ToBuffer(pack_test::BuildPack({{"A", {1}}})));
    CPackAccess use(unindexed.Get(), true, false);
    EXPECT_TRUE(unindexed->IsIndexLoaded()) << "a pack without an index counts as indexed";

    pack_test::WritePackBothWays(
        u"\\Packs", u"broken",
        {{"Index.xml", TextBytes("<Pack><item><Int Name=\"X\" Value=\"1\"/><Bitmap Image=\"a.bmp\"/>"
                                 "</item></Pack>")}});
    CRefPtr<CCountingReader> reader;
    CRefPtr<CResourcePack> broken = Counting(&reader, u"\\Packs\\broken.dat");
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(Thrown([&] { CPackAccess failing(broken.Get(), true, true); }), E_ORM_FAIL);
        EXPECT_EQ(broken->GetUseCount(), 0);
        EXPECT_FALSE(broken->IsOpen());
        EXPECT_FALSE(broken->IsIndexLoaded()) << "a malformed index is reported again";
        EXPECT_TRUE(broken->GetValues().IsEmpty()) << "nothing of a malformed index is kept";
    }
    EXPECT_EQ(reader->opens, reader->closes);
}

TEST_F(ResourcePackTest, OverlappingUsesOpenTheArchiveOnce) {
    CRefPtr<CCountingReader> reader;
    CRefPtr<CResourcePack> pack = Counting(&reader);
    {
        CPackAccess first(pack.Get(), false, true);
        {
            CPackAccess second(pack.Get(), false, true);
            EXPECT_EQ(pack->GetUseCount(), 2);
        }
        EXPECT_TRUE(pack->IsOpen());
        EXPECT_EQ(reader->closes, 0);
    }
    EXPECT_FALSE(pack->IsOpen());
    EXPECT_EQ(reader->opens, 1);
    EXPECT_EQ(reader->closes, 1);
    {
        CPackAccess unopened(pack.Get(), false, false);
        EXPECT_FALSE(pack->IsOpen()) << "a use that does not ask for the archive leaves it closed";
    }
    EXPECT_EQ(reader->opens, 1);
}

TEST_F(ResourcePackTest, AFailedOpenIsNotCountedAsAUse) {
    CRefPtr<CCountingReader> reader;
    CRefPtr<CResourcePack> pack = Counting(&reader, u"\\Packs\\sample.dat", 1);
    EXPECT_EQ(Thrown([&] { pack->StartUse(false, true); }), E_ORM_FAIL);
    EXPECT_EQ(pack->GetUseCount(), 0);
    {
        CPackAccess use(pack.Get(), false, true);
        EXPECT_TRUE(pack->IsOpen());
    }
    EXPECT_FALSE(pack->IsOpen()) << "the archive closes with the last use after a failed one";
    EXPECT_EQ(reader->closes, 1);

    CRefPtr<CResourcePack> missing = OpenResourcePack(u"\\Packs\\missing.dat");
    CSharedBuffer read;
    EXPECT_EQ(Thrown([&] { missing->FindDocument(u"Index.xml", &read, false); }), E_ORM_FAIL);
    EXPECT_EQ(missing->GetUseCount(), 0);
}

TEST_F(ResourcePackTest, CachedBitmapsLoadOnceWhateverTheCase) {
    CRefPtr<CCountingReader> reader;
    CRefPtr<CResourcePack> pack = Counting(&reader);
    CSharedSurface first;
    CSharedSurface second;
    ASSERT_TRUE(pack->FindBitmap(u"Key.bmp", &first, true));
    ASSERT_TRUE(pack->FindBitmap(u"KEY.BMP", &second, true));
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_EQ(reader->bitmapLoads, 1);

    EXPECT_FALSE(pack->FindBitmap(u"Missing.bmp", &first, true));
    EXPECT_FALSE(first);
    EXPECT_FALSE(pack->FindBitmap(u"missing.BMP", &first, true)) << "a failed load is kept too";
    EXPECT_EQ(reader->bitmapLoads, 2);

    ASSERT_TRUE(pack->FindBitmap(u"Key.bmp", &first, false));
    EXPECT_NE(first.Get(), second.Get()) << "without the cache each call loads anew";
    EXPECT_EQ(reader->bitmapLoads, 3);
    EXPECT_FALSE(pack->FindBitmap(u"Noise.bin", &first, false)) << "an entry that is no bitmap";

    CSharedBuffer text;
    CSharedBuffer again;
    ASSERT_TRUE(pack->FindDocument(u"Layout.xml", &text, true));
    ASSERT_TRUE(pack->FindDocument(u"LAYOUT.xml", &again, true));
    EXPECT_EQ(text.Data(), again.Data());
    EXPECT_FALSE(pack->IsOpen()) << "every lookup ends its own use";
}

}  // namespace
