// Surfaces over DIB sections and over kept memory, their memory contexts, and the saved
// states of painting code.
#include "dialer/surface/DibSurface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Paint.h"

LONGLONG CDibSurface::StrideFor(LONGLONG width, LONG bitsPerPixel) {
    return ((width * bitsPerPixel + 7) / 8 + 3) & ~3ll;
}

bool CDibSurface::IsSupportedDepth(LONG bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24;
}

void CDibSurface::Clear() {
    m_owned = FALSE;
    m_width = 0;
    m_height = 0;
    m_stride = 0;
    m_topDown = FALSE;
    m_bitsPerPixel = 0;
    m_bits = nullptr;
    m_bitmap = nullptr;
    m_memoryDC = nullptr;
    m_savedState = 0;
    m_keeper.Reset();
}

void CDibSurface::ReleaseBitmap() {
    if (m_owned && m_bitmap != nullptr) {
        ReleaseMemoryDC();
        DeleteObject(m_bitmap);
    }
    Clear();
}

bool CDibSurface::TakeBitmap(HBITMAP bitmap) {
    ReleaseBitmap();
    BITMAP description{};
    if (bitmap == nullptr ||
        GetObjectW(bitmap, sizeof description, &description) != static_cast<int>(sizeof description))
        return false;
    if (description.bmBits == nullptr || description.bmWidth < 1 || description.bmHeight < 1 ||
        !IsSupportedDepth(description.bmBitsPixel))
        return false;
    const LONGLONG stride = StrideFor(description.bmWidth, description.bmBitsPixel);
    if (stride > 0x7FFFFFFF) return false;
    m_owned = TRUE;
    m_width = description.bmWidth;
    m_height = description.bmHeight;
    m_stride = static_cast<LONG>(stride);
    m_bitsPerPixel = description.bmBitsPixel;
    m_bits = static_cast<BYTE*>(description.bmBits);
    m_bitmap = bitmap;
    return true;
}

bool CDibSurface::AttachBitmap(HBITMAP bitmap, HDC dc) {
    if (!TakeBitmap(bitmap)) return false;
    m_owned = FALSE;
    m_memoryDC = dc;
    m_savedState = 0;
    return true;
}

bool CDibSurface::AttachBuffer(void* bits, LONG width, LONG height, LONG bitsPerPixel, BOOL topDown,
                               CRefPtr<CRefCounted> keeper) {
    ReleaseBitmap();
    if (bits == nullptr || width < 1 || height < 1 || !IsSupportedDepth(bitsPerPixel)) return false;
    const LONGLONG stride = StrideFor(width, bitsPerPixel);
    if (stride > 0x7FFFFFFF) return false;
    m_width = width;
    m_height = height;
    m_stride = static_cast<LONG>(stride);
    m_topDown = topDown;
    m_bitsPerPixel = bitsPerPixel;
    m_bits = static_cast<BYTE*>(bits);
    m_keeper = std::move(keeper);
    return true;
}

bool CDibSurface::AttachView(const CDibSurface& parent, LONG x, LONG y, LONG width, LONG height) {
    ReleaseBitmap();
    if (parent.IsEmpty() || parent.m_bitsPerPixel < 8) return false;
    const LONGLONG left = std::max<LONGLONG>(x, 0);
    const LONGLONG top = std::max<LONGLONG>(y, 0);
    const LONGLONG right = std::min<LONGLONG>(static_cast<LONGLONG>(x) + width, parent.m_width);
    const LONGLONG bottom = std::min<LONGLONG>(static_cast<LONGLONG>(y) + height, parent.m_height);
    if (right <= left || bottom <= top) return false;
    m_width = static_cast<LONG>(right - left);
    m_height = static_cast<LONG>(bottom - top);
    m_stride = parent.m_stride;
    m_topDown = parent.m_topDown;
    m_bitsPerPixel = parent.m_bitsPerPixel;
    // The view's first stored row: its top row when top-down, its bottom row otherwise.
    const LONG firstRow = m_topDown ? static_cast<LONG>(top) : static_cast<LONG>(bottom - 1);
    m_bits = parent.Row(firstRow) + left * (m_bitsPerPixel / 8);
    return true;
}

HDC CDibSurface::SelectIntoMemoryDC() {
    if (m_memoryDC != nullptr) return m_memoryDC;
    if (!m_owned || m_bitmap == nullptr) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return nullptr;
    m_savedState = SaveDC(dc);
    if (SelectObject(dc, m_bitmap) == nullptr) {
        DeleteDC(dc);
        m_savedState = 0;
        return nullptr;
    }
    m_memoryDC = dc;
    return dc;
}

bool CDibSurface::ReleaseMemoryDC() {
    if (!m_owned) return false;
    if (m_memoryDC == nullptr) return true;
    RestoreDC(m_memoryDC, m_savedState);
    DeleteDC(m_memoryDC);
    m_memoryDC = nullptr;
    m_savedState = 0;
    return true;
}

HBITMAP CDibSurface::DetachBitmap() {
    if (!m_owned) return nullptr;
    ReleaseMemoryDC();
    HBITMAP bitmap = m_bitmap;
    Clear();
    return bitmap;
}

bool CreateDibSurface(CDibSurface& surface, LONG width, LONG height, int format) {
    surface.ReleaseBitmap();
    static constexpr WORD kDepths[] = {1, 4, 8, 16, 24};
    if (width < 1 || height < 1 || format < DIB_FORMAT_MASK1 || format > DIB_FORMAT_RGB24) return false;
    const WORD bits = kDepths[format];
    const LONGLONG stride = CDibSurface::StrideFor(width, bits);
    if (stride * height > 0x7FFFFFFFll) return false;

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;  // bottom-up
    info.header.biPlanes = 1;
    info.header.biBitCount = bits;
    info.header.biCompression = format == DIB_FORMAT_RGB565 ? BI_BITFIELDS : BI_RGB;
    info.header.biSizeImage = static_cast<DWORD>(stride * height);
    info.header.biXPelsPerMeter = 3780;
    info.header.biYPelsPerMeter = 3780;
    switch (format) {
        case DIB_FORMAT_MASK1:
            info.colors[1] = RGBQUAD{255, 255, 255, 0};
            break;
        case DIB_FORMAT_MASK4:
            for (int i = 0; i < 16; ++i) {
                const auto grey = static_cast<BYTE>(16 * i);
                info.colors[i] = RGBQUAD{grey, grey, grey, 0};
            }
            break;
        case DIB_FORMAT_MASK8:
            for (int i = 0; i < 256; ++i) {
                const auto grey = static_cast<BYTE>(i);
                info.colors[i] = RGBQUAD{grey, grey, grey, 0};
            }
            break;
        case DIB_FORMAT_RGB565: {
            static constexpr DWORD kMasks[3] = {0xF800, 0x07E0, 0x001F};
            static_assert(sizeof kMasks <= sizeof info.colors);
            std::memcpy(info.colors, kMasks, sizeof kMasks);
            break;
        }
        default:
            break;
    }
    HDC screen = GetDC(nullptr);
    void* pixels = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
    ReleaseDC(nullptr, screen);
    return AdoptSurfaceBitmap(surface, bitmap, true);
}

CSharedSurface MakeDibSurface(LONG width, LONG height, int format) {
    auto* surface = new (std::nothrow) CDibSurface();
    if (surface == nullptr) ThrowOrm(E_OUTOFMEMORY);
    CSharedSurface shared = CSharedSurface::Make(surface, [](CDibSurface* held) { delete held; });
    if (!CreateDibSurface(*surface, width, height, format)) return {};
    return shared;
}

bool AttachSurfaceBitmap(CDibSurface& surface, HBITMAP bitmap, HDC dc) { return surface.AttachBitmap(bitmap, dc); }

bool AdoptSurfaceBitmap(CDibSurface& surface, HBITMAP bitmap, bool deleteOnFailure) {
    if (surface.TakeBitmap(bitmap)) return true;
    if (deleteOnFailure && bitmap != nullptr) DeleteObject(bitmap);
    return false;
}

CDCStateSaver::CDCStateSaver(HDC dc) : m_dc(dc), m_savedState(dc != nullptr ? SaveDC(dc) : 0) {}

void CDCStateSaver::Restore() {
    if (m_savedState > 0) RestoreDC(m_dc, m_savedState);
    m_savedState = 0;
}
