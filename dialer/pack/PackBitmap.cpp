// BMP files: a 14-byte file header, the info block with its colour table or masks, then the
// pixel rows. Every field is checked against the bytes that are there before it is used.
#include "dialer/pack/PackBitmap.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "dialer/pack/MappedFile.h"
#include "platform/gdi/Bitmap.h"

namespace {

constexpr ULONGLONG kFileHeaderBytes = 14;
constexpr ULONGLONG kInfoHeaderBytes = 40;
constexpr ULONGLONG kMaskBytes = 12;

DWORD Read32(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}

WORD Read16(const BYTE* p) { return static_cast<WORD>(p[0] | p[1] << 8); }

BITMAPINFOHEADER ReadInfoHeader(const BYTE* p) {
    BITMAPINFOHEADER header{};
    header.biSize = Read32(p);
    header.biWidth = static_cast<LONG>(Read32(p + 4));
    header.biHeight = static_cast<LONG>(Read32(p + 8));
    header.biPlanes = Read16(p + 12);
    header.biBitCount = Read16(p + 14);
    header.biCompression = Read32(p + 16);
    header.biSizeImage = Read32(p + 20);
    header.biXPelsPerMeter = static_cast<LONG>(Read32(p + 24));
    header.biYPelsPerMeter = static_cast<LONG>(Read32(p + 28));
    header.biClrUsed = Read32(p + 32);
    header.biClrImportant = Read32(p + 36);
    return header;
}

CSharedSurface Share(CDibSurface* surface) {
    return CSharedSurface::Make(surface, [](CDibSurface* held) { delete held; });
}

// A DIB section holding the pixels; info is the header with its colour table or masks.
CSharedSurface MakeSectionSurface(const BITMAPINFO* info, const BYTE* pixels, ULONGLONG imageBytes) {
    void* bits = nullptr;
    // With DIB_RGB_COLORS the colours come from the info block, not from a device context.
    HBITMAP section = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr) {
        if (section != nullptr) DeleteObject(section);
        return {};
    }
    std::unique_ptr<CDibSurface> surface(new (std::nothrow) CDibSurface());
    if (!surface) {
        DeleteObject(section);
        return {};
    }
    if (!AdoptSurfaceBitmap(*surface, section, true)) return {};
    std::memcpy(surface->GetBits(), pixels, imageBytes);
    return Share(surface.release());
}

CSharedSurface MakeMappedSurface(const BITMAPINFOHEADER& header, const BYTE* pixels, ULONGLONG imageBytes) {
    CRefPtr<CMappedFile> mapped(new (std::nothrow) CMappedFile());
    if (!mapped) return {};
    mapped->CreateAnonymous(imageBytes);
    std::memcpy(mapped->GetView(), pixels, imageBytes);
    std::unique_ptr<CDibSurface> surface(new (std::nothrow) CDibSurface());
    if (!surface) return {};
    if (!surface->AttachBuffer(mapped->GetView(), header.biWidth, header.biHeight, header.biBitCount, FALSE,
                               CRefPtr<CRefCounted>(mapped.Get())))
        return {};
    return Share(surface.release());
}

}  // namespace

CSharedSurface LoadPackBitmap(const CSharedBuffer& file) {
    if (!file || file.bytes < kFileHeaderBytes + kInfoHeaderBytes) return {};
    const BYTE* bytes = file.Data();
    const ULONGLONG size = file.bytes;
    // The pixels start after the file header and a whole info header, and inside the file.
    const ULONGLONG pixelOffset = Read32(bytes + 10);
    if (pixelOffset < kFileHeaderBytes + kInfoHeaderBytes || pixelOffset > size) return {};
    const ULONGLONG infoBytes = pixelOffset - kFileHeaderBytes;

    const BYTE* info = bytes + kFileHeaderBytes;
    BITMAPINFOHEADER header = ReadInfoHeader(info);
    if (header.biSize < kInfoHeaderBytes || header.biSize > infoBytes) return {};
    // Top-down images (negative heights) are refused: surfaces from packs are bottom-up.
    if (header.biWidth < 1 || header.biHeight < 1 || header.biPlanes != 1) return {};
    if (!CDibSurface::IsSupportedDepth(header.biBitCount)) return {};
    const bool masked = header.biCompression == BI_BITFIELDS;
    if (header.biCompression != BI_RGB && !(masked && header.biBitCount == 16)) return {};
    // The masks follow a 40-byte header, or are its fields 10 to 12 in a longer one.
    if (masked && header.biSize > kInfoHeaderBytes && header.biSize < kInfoHeaderBytes + kMaskBytes) return {};
    const LONGLONG tableBytes = DibColorTableBytes(header);
    if (tableBytes < 0 || header.biSize + static_cast<ULONGLONG>(tableBytes) > infoBytes) return {};

    const ULONGLONG stride = static_cast<ULONGLONG>(CDibSurface::StrideFor(header.biWidth, header.biBitCount));
    const ULONGLONG imageBytes = stride * static_cast<ULONGLONG>(header.biHeight);
    if (imageBytes > size - pixelOffset || imageBytes > platform::kMaxDibBytes) return {};
    const BYTE* pixels = bytes + pixelOffset;

    if (imageBytes >= kMappedBitmapBytes) return MakeMappedSurface(header, pixels, imageBytes);

    // The info block in a buffer of its own: a 40-byte header, then the masks (which a
    // longer header carries at byte 40) and the colour table.
    const ULONGLONG maskBytes = masked ? kMaskBytes : 0;
    const ULONGLONG masksAfterHeader = masked && header.biSize == kInfoHeaderBytes ? kMaskBytes : 0;
    const ULONGLONG colorBytes = static_cast<ULONGLONG>(tableBytes) - masksAfterHeader;
    const ULONGLONG colorStart = header.biSize + masksAfterHeader;
    const ULONGLONG blockBytes = kInfoHeaderBytes + maskBytes + colorBytes;
    std::unique_ptr<DWORD[]> block(new (std::nothrow) DWORD[(blockBytes + 3) / 4]());
    if (!block) return {};
    auto* target = reinterpret_cast<BYTE*>(block.get());
    header.biSize = kInfoHeaderBytes;
    std::memcpy(target, &header, sizeof header);
    std::memcpy(target + kInfoHeaderBytes, info + kInfoHeaderBytes, maskBytes);
    std::memcpy(target + kInfoHeaderBytes + maskBytes, info + colorStart, colorBytes);
    return MakeSectionSurface(reinterpret_cast<const BITMAPINFO*>(target), pixels, imageBytes);
}
