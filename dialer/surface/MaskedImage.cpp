// Drawing masked images.
#include "dialer/surface/MaskedImage.h"

#include "dialer/surface/SurfaceDrawing.h"

namespace {

bool Has(const CSharedSurface& surface) { return surface && !surface->IsEmpty(); }

}  // namespace

LONG GetImageWidth(const CMaskedImage& image) {
    if (Has(image.color)) return image.color->GetWidth();
    return Has(image.mask) ? image.mask->GetWidth() : 0;
}

LONG GetImageHeight(const CMaskedImage& image) {
    if (Has(image.color)) return image.color->GetHeight();
    return Has(image.mask) ? image.mask->GetHeight() : 0;
}

bool DrawImageRegion(const CMaskedImage& image, CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, LONG sourceX,
                     LONG sourceY) {
    const bool color = Has(image.color);
    const bool mask = Has(image.mask);
    if (color && !mask) return CopySurfaceRect(dst, x, y, width, height, *image.color, sourceX, sourceY);
    if (color && image.color->GetBitsPerPixel() == 8)
        return BlendSurfaceTinted8(dst, x, y, width, height, *image.color, sourceX, sourceY, *image.mask, CLR_NONE);
    if (color) return BlendSurfaceMasked(dst, x, y, width, height, *image.color, sourceX, sourceY, *image.mask, 255);
    if (mask) return FillMaskRGB565(dst, x, y, width, height, 0xFFFFFF, sourceX, sourceY, *image.mask, 255);
    return false;
}

bool DrawImage(const CMaskedImage& image, CDibSurface& dst, LONG x, LONG y) {
    return DrawImageRegion(image, dst, x, y, GetImageWidth(image), GetImageHeight(image), 0, 0);
}
