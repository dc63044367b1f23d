// Block transfers, pattern fills and rectangle fills on the pixels of device contexts.
#include "platform/gdi/Blit.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DcInternals.h"

using namespace platform::gdi;

namespace {

struct Rop {
    BYTE code = 0;
    bool usesSource = false;
    bool usesPattern = false;
    bool usesDestination = false;
};

Rop DecodeRop(DWORD rop) {
    Rop decoded;
    decoded.code = static_cast<BYTE>(rop >> 16);
    const unsigned code = decoded.code;
    decoded.usesSource = (((code >> 2) ^ code) & 0x33u) != 0;
    decoded.usesPattern = (((code >> 4) ^ code) & 0x0Fu) != 0;
    decoded.usesDestination = (((code >> 1) ^ code) & 0x55u) != 0;
    return decoded;
}

// The ternary operation on 24-bit colours: bit i of the code is the result for pattern,
// source and destination bits (i >> 2, (i >> 1) & 1, i & 1).
COLORREF ApplyRop(BYTE code, COLORREF pattern, COLORREF source, COLORREF destination) {
    DWORD result = 0;
    for (int i = 0; i < 8; ++i) {
        if (((code >> i) & 1u) == 0) continue;
        const DWORD p = (i & 4) != 0 ? pattern : ~pattern;
        const DWORD s = (i & 2) != 0 ? source : ~source;
        const DWORD d = (i & 1) != 0 ? destination : ~destination;
        result |= p & s & d;
    }
    return result & 0xFFFFFFu;
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Two buffers whose stored values mean the same colours.
bool SameFormat(const PixelBuffer& a, const PixelBuffer& b) {
    if (a.bitsPerPixel != b.bitsPerPixel) return false;
    if (a.bitsPerPixel <= 8)
        return a.colorCount == b.colorCount &&
               std::memcmp(a.colors, b.colors, sizeof(RGBQUAD) * static_cast<std::size_t>(a.colorCount)) == 0;
    if (a.bitsPerPixel == 24) return true;
    return a.masks[0] == b.masks[0] && a.masks[1] == b.masks[1] && a.masks[2] == b.masks[2];
}

// The colour the selected brush paints with; false for a hollow brush.
bool BrushColor(const DeviceContext& dc, COLORREF* color) {
    const auto* brush = static_cast<const BrushObject*>(dc.state.brush.Get());
    if (brush == nullptr || brush->IsNull()) return false;
    *color = brush->Color();
    return true;
}

}  // namespace

namespace platform::gdi {

void FillTarget(DrawTarget& target, const RECT& area, COLORREF color) {
    const PixelBuffer& pixels = target.pixels;
    PixelCodec codec(pixels);
    const DWORD value = codec.Encode(color);
    for (LONG y = area.top; y < area.bottom; ++y) {
        BYTE* row = pixels.Row(static_cast<int>(y));
        switch (pixels.bitsPerPixel) {
            case 8:
                std::memset(row + area.left, static_cast<int>(value), static_cast<std::size_t>(area.right - area.left));
                break;
            case 16:
                std::fill_n(reinterpret_cast<std::uint16_t*>(row) + area.left, area.right - area.left,
                            static_cast<std::uint16_t>(value));
                break;
            default:
                for (LONG x = area.left; x < area.right; ++x) codec.WriteValue(row, static_cast<int>(x), value);
                break;
        }
    }
    target.Touch(area);
}

}  // namespace platform::gdi

namespace {

// Copies rows between buffers of one format; rows overlapping within one buffer are
// taken in the order that reads each before it is overwritten.
void CopyArea(DrawTarget& target, const RECT& area, const DrawTarget& source, POINT from) {
    const PixelBuffer& to = target.pixels;
    const PixelBuffer& in = source.pixels;
    const LONG height = area.bottom - area.top;
    const LONG width = area.right - area.left;
    const bool sameBuffer = to.bits == in.bits;
    const bool backwards = sameBuffer && area.top > from.y;
    for (LONG i = 0; i < height; ++i) {
        const LONG row = backwards ? height - 1 - i : i;
        BYTE* out = to.Row(static_cast<int>(area.top + row));
        const BYTE* read = in.Row(static_cast<int>(from.y + row));
        if (to.bitsPerPixel >= 8) {
            const int bytes = to.bitsPerPixel / 8;
            std::memmove(out + area.left * bytes, read + from.x * bytes, static_cast<std::size_t>(width) * bytes);
            continue;
        }
        // 1 and 4 bits: pixel by pixel, so that pixels keep their place within bytes.
        PixelCodec codec(to);
        const bool reverse = sameBuffer && area.top == from.y && area.left > from.x;
        for (LONG j = 0; j < width; ++j) {
            const LONG column = reverse ? width - 1 - j : j;
            const int sx = static_cast<int>(from.x + column);
            DWORD value = to.bitsPerPixel == 1 ? (read[sx >> 3] >> (7 - (sx & 7))) & 1u
                                               : ((sx & 1) != 0 ? read[sx >> 1] & 0x0Fu : read[sx >> 1] >> 4);
            codec.WriteValue(out, static_cast<int>(area.left + column), value);
        }
    }
    target.Touch(area);
}

// The general path: each destination pixel of `area` from the source pixel that the
// column and row maps name (-1: no source pixel, left alone).
void ApplyArea(DrawTarget& target, const RECT& area, const Rop& rop, COLORREF pattern, const PixelBuffer* source,
               const std::vector<int>& columns, const std::vector<int>& rows) {
    const PixelBuffer& to = target.pixels;
    PixelCodec out(to);
    // A source that is the target itself is read from a copy taken before any change.
    std::vector<BYTE> copy;
    PixelBuffer in;
    if (source != nullptr) {
        in = *source;
        if (in.bits == to.bits) {
            copy.assign(in.bits, in.bits + static_cast<std::size_t>(in.stride) * static_cast<std::size_t>(in.height));
            in.bits = copy.data();
        }
    }
    PixelCodec reader(in);
    for (LONG y = area.top; y < area.bottom; ++y) {
        const int sy = source != nullptr ? rows[static_cast<std::size_t>(y - area.top)] : 0;
        if (sy < 0) continue;
        BYTE* row = to.Row(static_cast<int>(y));
        const BYTE* sourceRow = source != nullptr ? in.Row(sy) : nullptr;
        for (LONG x = area.left; x < area.right; ++x) {
            COLORREF s = 0;
            if (source != nullptr) {
                const int sx = columns[static_cast<std::size_t>(x - area.left)];
                if (sx < 0) continue;
                s = reader.Read(sourceRow, sx);
            }
            const COLORREF d = rop.usesDestination ? out.Read(row, static_cast<int>(x)) : 0;
            out.Write(row, static_cast<int>(x), ApplyRop(rop.code, pattern, s, d));
        }
    }
    target.Touch(area);
}

// The destination area of a call in buffer coordinates, clipped; false when nothing shows.
bool PlaceArea(const DrawTarget& target, LONGLONG x, LONGLONG y, LONGLONG width, LONGLONG height, RECT* area,
               RECT* unclipped) {
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    const LONGLONG left = x + target.origin.x;
    const LONGLONG top = y + target.origin.y;
    const LONGLONG right = left + width;
    const LONGLONG bottom = top + height;
    const RECT clip = target.clip;
    *area = RECT{static_cast<LONG>(std::max<LONGLONG>(left, clip.left)),
                 static_cast<LONG>(std::max<LONGLONG>(top, clip.top)),
                 static_cast<LONG>(std::min<LONGLONG>(right, clip.right)),
                 static_cast<LONG>(std::min<LONGLONG>(bottom, clip.bottom))};
    if (unclipped != nullptr) {
        // Far beyond any buffer; keeps the scaling arithmetic inside 64 bits.
        constexpr LONGLONG kFar = 0x40000000;
        *unclipped =
            RECT{static_cast<LONG>(std::clamp(left, -kFar, kFar)), static_cast<LONG>(std::clamp(top, -kFar, kFar)),
                 static_cast<LONG>(std::clamp(right, -kFar, kFar)), static_cast<LONG>(std::clamp(bottom, -kFar, kFar))};
    }
    return !IsEmpty(*area);
}

BOOL PatternOperation(DcAccess& access, int x, int y, int width, int height, DWORD rop, const COLORREF* brush) {
    const Rop decoded = DecodeRop(rop);
    DrawTarget& target = access.Target();
    RECT area{};
    if (target.pixels.IsEmpty() || !PlaceArea(target, x, y, width, height, &area, nullptr)) return TRUE;
    COLORREF pattern = 0;
    if (decoded.usesPattern) {
        if (brush != nullptr)
            pattern = *brush;
        else if (!BrushColor(access.Dc(), &pattern))
            return TRUE;  // a hollow brush paints nothing
    }
    if (!decoded.usesDestination) {
        FillTarget(target, area, ApplyRop(decoded.code, pattern, 0, 0));
        return TRUE;
    }
    ApplyArea(target, area, decoded, pattern, nullptr, {}, {});
    return TRUE;
}

}  // namespace

BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
    // An unscaled stretch: the same clipping, and whole rows where the formats agree.
    return StretchBlt(dc, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int sourceWidth,
                int sourceHeight, DWORD rop) {
    const Rop decoded = DecodeRop(rop);
    if (!decoded.usesSource) {
        DcAccess access(dc);
        return access.Valid() ? PatternOperation(access, x, y, width, height, rop, nullptr) : FALSE;
    }
    if (source == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DcAccess access(dc, source);
    if (!access.Valid()) return FALSE;
    if (width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0) return TRUE;
    DrawTarget& target = access.Target();
    const DrawTarget& in = access.SourceTarget();
    if (target.pixels.IsEmpty() || in.pixels.IsEmpty()) return TRUE;

    // Mirroring: a negative size counts from the other edge.
    const bool flipX = (width < 0) != (sourceWidth < 0);
    const bool flipY = (height < 0) != (sourceHeight < 0);
    if (sourceWidth < 0) {
        sourceX += sourceWidth;
        sourceWidth = -sourceWidth;
    }
    if (sourceHeight < 0) {
        sourceY += sourceHeight;
        sourceHeight = -sourceHeight;
    }
    RECT area{};
    RECT whole{};
    if (!PlaceArea(target, x, y, width, height, &area, &whole)) return TRUE;
    const LONGLONG destinationWidth = static_cast<LONGLONG>(whole.right) - whole.left;
    const LONGLONG destinationHeight = static_cast<LONGLONG>(whole.bottom) - whole.top;
    const LONGLONG originX = static_cast<LONGLONG>(sourceX) + in.origin.x;
    const LONGLONG originY = static_cast<LONGLONG>(sourceY) + in.origin.y;
    const RECT sourceClip = in.clip;

    // Source coordinates of each destination column and row (the pixel under its centre).
    auto map = [](LONGLONG index, LONGLONG destinationSize, LONGLONG sourceSize, bool flip, LONGLONG origin, LONG low,
                  LONG high) {
        LONGLONG step = ((2 * index + 1) * sourceSize) / (2 * destinationSize);
        if (flip) step = sourceSize - 1 - step;
        const LONGLONG at = origin + step;
        return at < low || at >= high ? -1 : static_cast<int>(at);
    };
    std::vector<int> columns(static_cast<std::size_t>(area.right - area.left));
    std::vector<int> rows(static_cast<std::size_t>(area.bottom - area.top));
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i] = map(area.left - whole.left + static_cast<LONGLONG>(i), destinationWidth, sourceWidth, flipX,
                         originX, sourceClip.left, sourceClip.right);
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = map(area.top - whole.top + static_cast<LONGLONG>(i), destinationHeight, sourceHeight, flipY, originY,
                      sourceClip.top, sourceClip.bottom);

    COLORREF pattern = 0;
    if (decoded.usesPattern && !BrushColor(access.Dc(), &pattern)) return TRUE;

    // An unscaled copy between buffers of one format moves whole rows: trim the area to
    // the columns and rows that have a source pixel, which are then contiguous.
    const bool unscaled = !flipX && !flipY && destinationWidth == sourceWidth && destinationHeight == sourceHeight;
    if (unscaled && rop == SRCCOPY && SameFormat(target.pixels, in.pixels)) {
        std::size_t first = 0;
        std::size_t last = columns.size();
        while (first < last && columns[first] < 0) ++first;
        while (last > first && columns[last - 1] < 0) --last;
        std::size_t top = 0;
        std::size_t bottom = rows.size();
        while (top < bottom && rows[top] < 0) ++top;
        while (bottom > top && rows[bottom - 1] < 0) --bottom;
        if (first == last || top == bottom) return TRUE;
        const RECT copied{area.left + static_cast<LONG>(first), area.top + static_cast<LONG>(top),
                          area.left + static_cast<LONG>(last), area.top + static_cast<LONG>(bottom)};
        CopyArea(target, copied, in, POINT{columns[first], rows[top]});
        return TRUE;
    }
    ApplyArea(target, area, decoded, pattern, &in.pixels, columns, rows);
    return TRUE;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    if (DecodeRop(rop).usesSource) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DcAccess access(dc);
    return access.Valid() ? PatternOperation(access, x, y, width, height, rop, nullptr) : FALSE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    platform::GdiObjectRef object = platform::FindGdiObject(brush);
    if (!object || object->Type() != OBJ_BRUSH) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    DcAccess access(dc);
    if (!access.Valid()) return 0;
    const auto* solid = static_cast<const BrushObject*>(object.get());
    if (solid->IsNull() || rect->right <= rect->left || rect->bottom <= rect->top) return 1;
    const COLORREF color = solid->Color();
    const LONGLONG width = static_cast<LONGLONG>(rect->right) - rect->left;
    const LONGLONG height = static_cast<LONGLONG>(rect->bottom) - rect->top;
    PatternOperation(access, static_cast<int>(rect->left), static_cast<int>(rect->top),
                     static_cast<int>(std::min<LONGLONG>(width, 0x7FFFFFFF)),
                     static_cast<int>(std::min<LONGLONG>(height, 0x7FFFFFFF)), PATCOPY, &color);
    return 1;
}
