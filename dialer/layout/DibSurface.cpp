// Surfaces over DIB sections and over kept memory.
#include "dialer/layout/DibSurface.h"

#include "platform/gdi/Bitmap.h"

LONGLONG CDibSurface::StrideFor(LONGLONG width, LONG bitsPerPixel) {
    return ((width * bitsPerPixel + 7) / 8 + 3) & ~3ll;
}

bool CDibSurface::IsSupportedDepth(LONG bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24;
}

void CDibSurface::ReleaseBitmap() {
    if (m_owned && m_bitmap != nullptr) DeleteObject(m_bitmap);
    m_owned = FALSE;
    m_width = 0;
    m_height = 0;
    m_stride = 0;
    m_topDown = FALSE;
    m_bitsPerPixel = 0;
    m_bits = nullptr;
    m_bitmap = nullptr;
    m_keeper.Reset();
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

bool AdoptSurfaceBitmap(CDibSurface& surface, HBITMAP bitmap, bool deleteOnFailure) {
    if (surface.TakeBitmap(bitmap)) return true;
    if (deleteOnFailure && bitmap != nullptr) DeleteObject(bitmap);
    return false;
}
