// DIB sections: the header and colour table as given, and zeroed pixel memory of their own.
#include "platform/gdi/Bitmap.h"

#include <cstring>
#include <new>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/gdi/DibSection.h"

namespace {

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

    // The colour table (or the masks) follows the header as the caller's biSize places it.
    const BYTE* tableStart = reinterpret_cast<const BYTE*>(info) + header.biSize;
    DWORD masks[3] = {};
    std::vector<RGBQUAD> colors;
    if (masked) {
        // A 40-byte header is followed by the masks; longer headers hold them at byte 40.
        const BYTE* maskBytes = header.biSize >= 52 ? reinterpret_cast<const BYTE*>(info) + 40 : tableStart;
        std::memcpy(masks, maskBytes, sizeof masks);
        tableStart += header.biSize < 52 ? 12 : 0;
    } else if (header.biBitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (header.biBitCount == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    const LONGLONG tableBytes = colorBytes - (tableStart - (reinterpret_cast<const BYTE*>(info) + header.biSize));
    colors.resize(static_cast<std::size_t>(tableBytes / 4));
    if (!colors.empty()) std::memcpy(colors.data(), tableStart, colors.size() * sizeof(RGBQUAD));
    BYTE* pixels = new (std::nothrow) BYTE[imageBytes]();
    if (pixels == nullptr) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    auto* object = new (std::nothrow)
        platform::gdi::DibSection(header, std::move(colors), masks, pixels, static_cast<LONG>(stride));
    if (object == nullptr) {
        delete[] pixels;
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (bits != nullptr) *bits = pixels;
    return static_cast<HBITMAP>(platform::RegisterGdiObject(object));
}
