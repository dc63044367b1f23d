// DIB sections: the header and colour table as given, and zeroed pixel memory of their own.
#include "platform/gdi/Bitmap.h"

#include <cstring>
#include <new>
#include <vector>

#include "platform/base/Errors.h"

namespace {

class DibSection : public platform::GdiObject {
public:
    DibSection(const BITMAPINFOHEADER& header, std::vector<BYTE> colors, BYTE* pixels, LONG stride)
        : colors_(std::move(colors)), pixels_(pixels) {
        description_.bmType = 0;
        description_.bmWidth = header.biWidth;
        description_.bmHeight = header.biHeight < 0 ? -header.biHeight : header.biHeight;
        description_.bmWidthBytes = stride;
        description_.bmPlanes = 1;
        description_.bmBitsPixel = header.biBitCount;
        description_.bmBits = pixels;
    }
    ~DibSection() override { delete[] pixels_; }

    DWORD Type() const override { return OBJ_BITMAP; }
    const void* Description(std::size_t* size) const override {
        *size = sizeof description_;
        return &description_;
    }

private:
    std::vector<BYTE> colors_;  // colour table or masks, kept for drawing
    BYTE* pixels_;
    BITMAP description_{};
};

bool IsSupportedDepth(WORD bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

HBITMAP Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

}  // namespace

LONGLONG DibColorTableBytes(const BITMAPINFOHEADER& header) {
    const DWORD bits = header.biBitCount;
    LONGLONG bytes = 0;
    if (header.biCompression == BI_BITFIELDS && header.biSize < 52) bytes += 12;
    DWORD colors = header.biClrUsed;
    if (bits <= 8) {
        const DWORD full = 1u << bits;
        if (colors > full) return -1;
        if (colors == 0) colors = full;
    } else if (colors > 256) {
        return -1;
    }
    return bytes + static_cast<LONGLONG>(colors) * 4;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
    if (bits != nullptr) *bits = nullptr;
    if (section != nullptr) return Fail(ERROR_NOT_SUPPORTED);
    if (info == nullptr || usage != DIB_RGB_COLORS) return Fail(ERROR_INVALID_PARAMETER);
    BITMAPINFOHEADER header;
    std::memcpy(&header, &info->bmiHeader, sizeof header);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth < 1 || header.biHeight == 0 ||
        header.biHeight == static_cast<LONG>(0x80000000u) || header.biPlanes != 1 ||
        !IsSupportedDepth(header.biBitCount))
        return Fail(ERROR_INVALID_PARAMETER);
    const bool masked = header.biCompression == BI_BITFIELDS;
    if (header.biCompression != BI_RGB && !(masked && (header.biBitCount == 16 || header.biBitCount == 32)))
        return Fail(ERROR_INVALID_PARAMETER);
    const LONGLONG colorBytes = DibColorTableBytes(header);
    if (colorBytes < 0) return Fail(ERROR_INVALID_PARAMETER);

    const ULONGLONG width = static_cast<ULONGLONG>(header.biWidth);
    const ULONGLONG height = static_cast<ULONGLONG>(header.biHeight < 0 ? -static_cast<LONGLONG>(header.biHeight)
                                                                        : static_cast<LONGLONG>(header.biHeight));
    const ULONGLONG stride = (width * header.biBitCount + 31) / 32 * 4;
    const ULONGLONG imageBytes = stride * height;
    if (imageBytes > platform::kMaxDibBytes) return Fail(ERROR_NOT_ENOUGH_MEMORY);

    // The colour table follows the header as the caller's biSize places it.
    const BYTE* tableStart = reinterpret_cast<const BYTE*>(info) + header.biSize;
    std::vector<BYTE> colors(tableStart, tableStart + colorBytes);
    BYTE* pixels = new (std::nothrow) BYTE[imageBytes]();
    if (pixels == nullptr) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    auto* object = new (std::nothrow) DibSection(header, std::move(colors), pixels, static_cast<LONG>(stride));
    if (object == nullptr) {
        delete[] pixels;
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (bits != nullptr) *bits = pixels;
    return static_cast<HBITMAP>(platform::RegisterGdiObject(object));
}
