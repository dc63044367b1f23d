// Bitmaps from packs: every depth, both sides of the mapped-memory threshold, and
// malformed files that must give empty results.
#include <gtest/gtest.h>

#include <cstring>

#include "dialer/pack/PackBitmap.h"
#include "tests/dialer/pack/PackTestSupport.h"

namespace {

using pack_test::Bytes;
using pack_test::MakeBmp;
using pack_test::Patch32;
using pack_test::ToBuffer;

struct Loaded {
    CSharedSurface surface;
    Bytes file;
};

Loaded Load(const Bytes& file) { return Loaded{LoadPackBitmap(ToBuffer(file)), file}; }

// The surface holds exactly the file's pixel rows.
void ExpectPixelsOf(const Loaded& loaded) {
    ASSERT_TRUE(loaded.surface);
    const std::uint32_t offset = loaded.file[10] | loaded.file[11] << 8 | loaded.file[12] << 16 | loaded.file[13] << 24;
    const std::size_t bytes = static_cast<std::size_t>(loaded.surface->GetStride()) * loaded.surface->GetHeight();
    ASSERT_LE(offset + bytes, loaded.file.size());
    EXPECT_EQ(std::memcmp(loaded.surface->GetBits(), loaded.file.data() + offset, bytes), 0);
}

TEST(PackBitmap, LoadsEveryDepthIntoADibSection) {
    struct Case {
        int bits;
        std::uint32_t compression;
        LONG stride;  // for a width of 17
    };
    for (const Case& c : {Case{1, BI_RGB, 4}, Case{4, BI_RGB, 12}, Case{8, BI_RGB, 20}, Case{16, BI_RGB, 36},
                          Case{16, BI_BITFIELDS, 36}, Case{24, BI_RGB, 52}}) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, compression " << c.compression);
        const Loaded loaded = Load(MakeBmp(17, 5, c.bits, c.compression));
        ASSERT_TRUE(loaded.surface);
        EXPECT_EQ(loaded.surface->GetWidth(), 17);
        EXPECT_EQ(loaded.surface->GetHeight(), 5);
        EXPECT_EQ(loaded.surface->GetBitsPerPixel(), c.bits);
        EXPECT_EQ(loaded.surface->GetStride(), c.stride);
        EXPECT_FALSE(loaded.surface->IsTopDown());
        EXPECT_TRUE(loaded.surface->IsOwned());
        EXPECT_NE(loaded.surface->GetBitmap(), nullptr);
        ExpectPixelsOf(loaded);

        BITMAP description{};
        ASSERT_EQ(GetObjectW(loaded.surface->GetBitmap(), sizeof description, &description),
                  static_cast<int>(sizeof description));
        EXPECT_EQ(description.bmBits, loaded.surface->GetBits());
    }
}

TEST(PackBitmap, LargeImagesLiveInMappedMemoryWithoutABitmap) {
    struct Case {
        LONG width;
        LONG height;
        int bits;
        bool mapped;
    };
    // 100 x 100 x 16: 20000 bytes; 240 x 100 x 16: 48000; 4 x 8191 x 8: 32764; 4 x 8192 x 8: 32768.
    for (const Case& c :
         {Case{100, 100, 16, false}, Case{240, 100, 16, true}, Case{4, 8191, 8, false}, Case{4, 8192, 8, true}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " x " << c.bits);
        const Loaded loaded = Load(MakeBmp(c.width, c.height, c.bits));
        ASSERT_TRUE(loaded.surface);
        EXPECT_EQ(loaded.surface->GetBitmap() == nullptr, c.mapped);
        EXPECT_EQ(loaded.surface->IsOwned(), !c.mapped);
        EXPECT_FALSE(loaded.surface->IsTopDown());
        ExpectPixelsOf(loaded);
    }
}

TEST(PackBitmap, MappedSurfaceKeepsItsMemoryAfterOtherHoldersGo) {
    CSharedSurface first = LoadPackBitmap(ToBuffer(MakeBmp(240, 100, 16)));
    ASSERT_TRUE(first);
    CSharedSurface second = first;
    first.Reset();
    EXPECT_EQ(second->GetBits()[0], 1);  // the pattern's first byte, still mapped
}

TEST(PackBitmap, MalformedFilesGiveEmptyResults) {
    const Bytes good = MakeBmp(8, 4, 24);  // offset 54, 96 bytes of pixels
    struct Case {
        const char* what;
        Bytes file;
    };
    std::vector<Case> cases;
    auto patched = [&](const char* what, std::size_t at, std::uint32_t value, Bytes file) {
        Patch32(file, at, value);
        cases.push_back(Case{what, std::move(file)});
    };
    cases.push_back(Case{"empty", {}});
    cases.push_back(Case{"shorter than the file header", Bytes(good.begin(), good.begin() + 13)});
    cases.push_back(Case{"info header cut short", Bytes(good.begin(), good.begin() + 53)});
    cases.push_back(Case{"cut inside the pixel rows", Bytes(good.begin(), good.end() - 1)});
    patched("pixel offset below the file header", 10, 10, good);
    patched("pixel offset inside the info header", 10, 20, good);
    patched("pixel offset just past the end", 10, static_cast<std::uint32_t>(good.size() + 1), good);
    patched("pixel offset past the end by less than the file header", 10, static_cast<std::uint32_t>(good.size() + 10),
            good);
    patched("pixel offset far past the end", 10, 0xFFFFFFF0u, good);
    patched("core header size", 14, 12, good);
    patched("header longer than the info block", 14, 41, good);
    patched("zero width", 18, 0, good);
    patched("negative width", 18, 0xFFFFFFF8u, good);
    patched("zero height", 22, 0, good);
    patched("negative (top-down) height", 22, 0xFFFFFFFCu, good);
    patched("two planes", 26, 0x00180002u, good);  // planes 2, bit count 24
    patched("32 bits", 26, 0x00200001u, good);
    patched("2 bits", 26, 0x00020001u, good);
    patched("run-length compression", 30, BI_RLE8, good);
    patched("masks for 24 bits", 30, BI_BITFIELDS, good);
    patched("width x height beyond the rows", 18, 9, good);
    // 65536 x 65537 rows of 8 bits is 2^32 + 65536 bytes: cut to 32 bits it would pass for
    // the 65536 bytes the file has.
    {
        Bytes file = MakeBmp(65536, 1, 8);
        Patch32(file, 22, 65537);
        cases.push_back(Case{"size that overflows 32 bits", std::move(file)});
    }
    {
        Bytes file = MakeBmp(0x7FFFFFFF, 1, 24, BI_RGB, 0);
        cases.push_back(Case{"width whose row overflows", std::move(file)});
    }
    {
        Bytes file = MakeBmp(8, 4, 8);
        Patch32(file, 46, 300);  // more colours than 8 bits can index
        cases.push_back(Case{"colour count beyond the depth", std::move(file)});
    }
    {
        Bytes file = MakeBmp(8, 4, 8);
        Patch32(file, 10, 54 + 512);  // the 1024-byte colour table does not fit
        cases.push_back(Case{"colour table cut short", std::move(file)});
    }
    for (const Case& c : cases) EXPECT_FALSE(LoadPackBitmap(ToBuffer(c.file))) << c.what;
    EXPECT_TRUE(LoadPackBitmap(ToBuffer(good))) << "the unbroken file loads";
}

TEST(PackBitmap, AdoptingAFailedBitmapDeletesItOnlyWhenAsked) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;  // a DIB section the surfaces do not draw
    void* bits = nullptr;
    HBITMAP kept = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HBITMAP dropped = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(kept, nullptr);
    ASSERT_NE(dropped, nullptr);

    CDibSurface surface;
    EXPECT_FALSE(AdoptSurfaceBitmap(surface, kept, false));
    EXPECT_FALSE(AdoptSurfaceBitmap(surface, dropped, true));
    EXPECT_TRUE(surface.IsEmpty());
    EXPECT_TRUE(DeleteObject(kept));
    EXPECT_FALSE(DeleteObject(dropped)) << "already deleted by the failed adoption";

    info.bmiHeader.biBitCount = 16;
    HBITMAP adopted = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(AdoptSurfaceBitmap(surface, adopted, true));
    EXPECT_EQ(surface.GetBits(), bits);
    EXPECT_EQ(surface.GetStride(), 8);
    surface.ReleaseBitmap();
    EXPECT_FALSE(DeleteObject(adopted)) << "the owning surface deleted it";
}

}  // namespace
