// CDibSurface: a device-independent bitmap whose pixels the program addresses directly,
// with its geometry, pixel format and row order. It either owns a DIB section or lends
// memory that a counted keeper holds (large skin images in mapped memory).
#pragma once

#include "dialer/foundation/RefCounted.h"
#include "dialer/foundation/SharedRef.h"
#include "platform/base/Types.h"

class CDibSurface {
public:
    CDibSurface() = default;
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;
    virtual ~CDibSurface() { ReleaseBitmap(); }

    // Bytes per row: ((bits per pixel × width + 7) / 8) rounded up to a multiple of 4.
    static LONGLONG StrideFor(LONGLONG width, LONG bitsPerPixel);
    static bool IsSupportedDepth(LONG bitsPerPixel);

    // Deletes an owned bitmap, lets go of a keeper, and empties every field.
    void ReleaseBitmap();
    // Takes over a DIB section: the geometry from its description, the stride by the rule
    // above, bottom-up rows, owned. False (nothing taken) for a bitmap without addressable
    // bits or of a depth the surface does not draw.
    bool TakeBitmap(HBITMAP bitmap);
    // A surface over memory that keeper holds for the surface's lifetime; no bitmap.
    // False for missing bits, sizes below 1 or an unsupported depth.
    bool AttachBuffer(void* bits, LONG width, LONG height, LONG bitsPerPixel, BOOL topDown,
                      CRefPtr<CRefCounted> keeper);

    bool IsOwned() const { return m_owned != FALSE; }
    bool IsEmpty() const { return m_bits == nullptr; }
    LONG GetWidth() const { return m_width; }
    LONG GetHeight() const { return m_height; }
    LONG GetStride() const { return m_stride; }
    // Non-zero: row y starts at bits + y × stride; zero: rows are stored bottom first.
    BOOL IsTopDown() const { return m_topDown; }
    LONG GetBitsPerPixel() const { return m_bitsPerPixel; }
    BYTE* GetBits() const { return m_bits; }
    HBITMAP GetBitmap() const { return m_bitmap; }

private:
    BOOL m_owned = FALSE;
    LONG m_width = 0;
    LONG m_height = 0;
    LONG m_stride = 0;
    BOOL m_topDown = FALSE;
    LONG m_bitsPerPixel = 0;
    BYTE* m_bits = nullptr;
    HBITMAP m_bitmap = nullptr;
    CRefPtr<CRefCounted> m_keeper;
};

// A surface with its shared holder, as packs hand images out.
using CSharedSurface = CSharedRef<CDibSurface>;

// The surface resets itself and takes over bitmap (TakeBitmap); on failure the bitmap is
// deleted when deleteOnFailure is set.
bool AdoptSurfaceBitmap(CDibSurface& surface, HBITMAP bitmap, bool deleteOnFailure);
