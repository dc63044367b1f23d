// DIB section objects and the default bitmap of memory device contexts.
#include "platform/gdi/DibSection.h"

namespace platform::gdi {

DibSection::DibSection(const BITMAPINFOHEADER& header, std::vector<RGBQUAD> colors, const DWORD masks[3], BYTE* pixels,
                       LONG stride)
    : m_colors(std::move(colors)), m_bits(pixels) {
    const LONG height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    m_description.bmType = 0;
    m_description.bmWidth = header.biWidth;
    m_description.bmHeight = height;
    m_description.bmWidthBytes = stride;
    m_description.bmPlanes = 1;
    m_description.bmBitsPixel = header.biBitCount;
    m_description.bmBits = pixels;

    m_pixels.bits = pixels;
    m_pixels.width = header.biWidth;
    m_pixels.height = height;
    m_pixels.stride = stride;
    m_pixels.bitsPerPixel = header.biBitCount;
    m_pixels.topDown = header.biHeight < 0;
    m_pixels.colors = m_colors.data();
    m_pixels.colorCount = static_cast<int>(m_colors.size());
    for (int i = 0; i < 3; ++i) m_pixels.masks[i] = masks[i];
}

DibSection::~DibSection() { delete[] m_bits; }

const void* DibSection::Description(std::size_t* size) const {
    *size = sizeof m_description;
    return &m_description;
}

HBITMAP DefaultBitmap() {
    static HBITMAP bitmap = [] {
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = 1;
        header.biHeight = 1;
        header.biPlanes = 1;
        header.biBitCount = 1;
        std::vector<RGBQUAD> colors{RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        const DWORD masks[3] = {};
        auto* object = new DibSection(header, std::move(colors), masks, new BYTE[4](), 4);
        object->stock = true;
        return static_cast<HBITMAP>(RegisterGdiObject(object));
    }();
    return bitmap;
}

}  // namespace platform::gdi
