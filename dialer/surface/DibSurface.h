// CDibSurface: a device-independent bitmap whose pixels the program addresses directly,
// with its geometry, pixel format and row order, lent to GDI through a memory device
// context made on demand. It either owns a DIB section, borrows one that is selected into
// someone else's context, or lends memory that a counted keeper holds (large skin images in
// mapped memory).
#pragma once

#include "dialer/foundation/RefCounted.h"
#include "dialer/foundation/SharedRef.h"
#include "platform/base/Types.h"

// CreateDibSurface formats: coverage masks of 1, 4 and 8 bits (black-to-white tables),
// RGB565 and 24-bit colour.
constexpr int DIB_FORMAT_MASK1 = 0;
constexpr int DIB_FORMAT_MASK4 = 1;
constexpr int DIB_FORMAT_MASK8 = 2;
constexpr int DIB_FORMAT_RGB565 = 3;
constexpr int DIB_FORMAT_RGB24 = 4;

class CDibSurface {
public:
    CDibSurface() = default;
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;
    virtual ~CDibSurface() { ReleaseBitmap(); }

    // Bytes per row: ((bits per pixel × width + 7) / 8) rounded up to a multiple of 4.
    static LONGLONG StrideFor(LONGLONG width, LONG bitsPerPixel);
    static bool IsSupportedDepth(LONG bitsPerPixel);

    // Releases the memory context and deletes the bitmap of an owned surface, lets go of a
    // keeper, and empties every field. A borrowed bitmap and context are only forgotten.
    void ReleaseBitmap();
    // Takes over a DIB section: the geometry from its description, the stride by the rule
    // above, bottom-up rows, owned. False (nothing taken) for a bitmap without addressable
    // bits or of a depth the surface does not draw.
    bool TakeBitmap(HBITMAP bitmap);
    // A surface over memory that keeper holds for the surface's lifetime; no bitmap.
    // False for missing bits, sizes below 1 or an unsupported depth.
    bool AttachBuffer(void* bits, LONG width, LONG height, LONG bitsPerPixel, BOOL topDown,
                      CRefPtr<CRefCounted> keeper);
    // Wraps a DIB section that is selected into dc (not owned: neither is ever freed here).
    bool AttachBitmap(HBITMAP bitmap, HDC dc);
    // A window onto part of another surface of 8 bits or more: its pixels are the parent's
    // within the rectangle (cut to the parent), with the parent's stride and row order.
    // The parent must outlive the view. False when nothing of the rectangle lies inside.
    bool AttachView(const CDibSurface& parent, LONG x, LONG y, LONG width, LONG height);

    // The surface's memory context: made on first call for an owned bitmap (its state saved,
    // the bitmap selected), the borrowed one for an attached bitmap; null otherwise.
    HDC SelectIntoMemoryDC();
    // Restores and deletes the context made here. False for a surface that is not owned.
    bool ReleaseMemoryDC();
    // Hands an owned bitmap to the caller and empties the surface; null (nothing changed)
    // for a surface that is not owned.
    HBITMAP DetachBitmap();

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
    HDC GetMemoryDC() const { return m_memoryDC; }
    // Row y as the row order places it (y inside the surface).
    BYTE* Row(LONG y) const {
        const LONG stored = m_topDown ? y : m_height - 1 - y;
        return m_bits + static_cast<std::ptrdiff_t>(stored) * m_stride;
    }

private:
    void Clear();

    BOOL m_owned = FALSE;
    LONG m_width = 0;
    LONG m_height = 0;
    LONG m_stride = 0;
    BOOL m_topDown = FALSE;
    LONG m_bitsPerPixel = 0;
    BYTE* m_bits = nullptr;
    HBITMAP m_bitmap = nullptr;
    HDC m_memoryDC = nullptr;
    int m_savedState = 0;
    CRefPtr<CRefCounted> m_keeper;
};

// A surface with its shared holder, as packs hand images out.
using CSharedSurface = CSharedRef<CDibSurface>;

// Releases what the surface held, then makes a bottom-up DIB section of the format
// (DIB_FORMAT_...) on the screen's context; the surface owns it. False, with the surface
// empty, for a size below 1, an unknown format or a failed creation.
bool CreateDibSurface(CDibSurface& surface, LONG width, LONG height, int format);
// A new shared surface made by CreateDibSurface; empty when that fails. Throws
// E_OUTOFMEMORY.
CSharedSurface MakeDibSurface(LONG width, LONG height, int format);
// Releases what the surface held and wraps bitmap, selected into dc, without owning
// either (AttachBitmap).
bool AttachSurfaceBitmap(CDibSurface& surface, HBITMAP bitmap, HDC dc);
// The surface resets itself and takes over bitmap (TakeBitmap); on failure the bitmap is
// deleted when deleteOnFailure is set.
bool AdoptSurfaceBitmap(CDibSurface& surface, HBITMAP bitmap, bool deleteOnFailure);

// Saves a context's state on entry and restores it on every way out.
class CDCStateSaver {
public:
    explicit CDCStateSaver(HDC dc);
    ~CDCStateSaver() { Restore(); }
    CDCStateSaver(const CDCStateSaver&) = delete;
    CDCStateSaver& operator=(const CDCStateSaver&) = delete;

    // Returns to the saved state (once).
    void Restore();

private:
    HDC m_dc;
    int m_savedState;
};
