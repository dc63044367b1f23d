// The bitmap object behind CreateDIBSection: its description for GetObjectW, and its
// pixels for the device contexts that draw into it.
#pragma once

#include <vector>

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PixelBuffer.h"

namespace platform::gdi {

class DibSection : public GdiObject {
public:
    // pixels: a new[] block the section frees; colors: the colour table (RGBQUADs).
    DibSection(const BITMAPINFOHEADER& header, std::vector<RGBQUAD> colors, const DWORD masks[3], BYTE* pixels,
               LONG stride);
    ~DibSection() override;

    DWORD Type() const override { return OBJ_BITMAP; }
    const void* Description(std::size_t* size) const override;

    const PixelBuffer& Pixels() const { return m_pixels; }

    // The device context the bitmap is selected into, or null; a bitmap draws into one
    // context at a time.
    void* selectedInto = nullptr;

private:
    std::vector<RGBQUAD> m_colors;
    BYTE* m_bits;
    PixelBuffer m_pixels;
    BITMAP m_description{};
};

// The 1 × 1 monochrome bitmap a new memory device context holds (a stock object).
HBITMAP DefaultBitmap();

}  // namespace platform::gdi
