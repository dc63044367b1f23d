// Border skins drawn tile by tile.
#include "dialer/surface/SkinImage.h"

#include <algorithm>

#include "dialer/surface/SurfaceDrawing.h"

void DrawSkinImage(const CSkinImage& skin, CDibSurface& target, LONG left, LONG top, LONG right, LONG bottom,
                   DWORD edges, bool fillCenter, LONG topHeight) {
    const CMaskedImage& image = skin.image;
    if (!image.color || !image.mask) return;
    const CDibSurface& color = *image.color;
    const CDibSurface& mask = *image.mask;
    const LONG w = color.GetWidth() / 8;
    const LONG h = color.GetHeight();
    if (w < 1 || h < 1) return;
    const bool hasLeft = (edges & SKIN_EDGE_LEFT) != 0;
    const bool hasTop = (edges & SKIN_EDGE_TOP) != 0;
    const bool hasRight = (edges & SKIN_EDGE_RIGHT) != 0;
    const bool hasBottom = (edges & SKIN_EDGE_BOTTOM) != 0;
    const LONG l = hasLeft ? w : 0;
    const LONG r = hasRight ? w : 0;
    const LONG t = hasTop ? h : 0;
    const LONG b = hasBottom ? h : 0;
    const LONG band = topHeight >= 0 ? std::min(topHeight, h) : t;  // rows of the top tiles

    // Part of tile `tile` (rows from `row`, `rows` high, `columns` wide) at (x, y).
    auto tile = [&](LONG index, LONG row, LONG columns, LONG rows, LONG x, LONG y) {
        BlendSurfaceTinted8(target, x, y, columns, rows, color, index * w, row, mask, CLR_NONE);
    };
    if (hasLeft && hasTop) tile(0, h - band, w, band, left, top);
    if (hasRight && hasTop) tile(2, h - band, w, band, right - r, top);
    if (hasLeft && hasBottom) tile(4, 0, w, h, left, bottom - b);
    if (hasRight && hasBottom) tile(6, 0, w, h, right - r, bottom - b);
    // Pieces wholly outside the target are skipped, so a huge rectangle costs no more than
    // the target's size.
    auto firstStep = [](LONG from, LONG step) { return from >= 0 ? from : from + (-from / step) * step; };
    const LONG columnsEnd = std::min(right - r, target.GetWidth());
    for (LONG x = firstStep(left + l, w); x < columnsEnd; x += w) {
        const LONG piece = std::min(w, right - r - x);
        if (hasTop) tile(1, h - band, piece, band, x, top);
        if (hasBottom) tile(5, 0, piece, h, x, bottom - h);
    }
    const LONG rowsEnd = std::min(bottom - b, target.GetHeight());
    for (LONG y = firstStep(top + band, h); y < rowsEnd; y += h) {
        const LONG piece = std::min(h, bottom - b - y);
        if (hasLeft) tile(7, 0, w, piece, left, y);
        if (hasRight) tile(3, 0, w, piece, right - w, y);
    }
    if (fillCenter)
        FillRectRGB565(target, left + l, top + band, (right - r) - (left + l), (bottom - b) - (top + band), 0,
                       static_cast<int>(skin.centerOpacity & 0xFF));
}
