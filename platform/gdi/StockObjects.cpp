// The stock objects: made once, never freed.
#include <array>

#include "platform/base/Errors.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/Pen.h"

namespace {

HGDIOBJ MakeStock(platform::GdiObject* object) {
    object->stock = true;
    return platform::RegisterGdiObject(object);
}

HGDIOBJ StockBrush(UINT style, COLORREF color) {
    return MakeStock(new platform::gdi::BrushObject(LOGBRUSH{style, color, 0}));
}

HGDIOBJ StockPen(int style, COLORREF color) {
    return MakeStock(new platform::gdi::PenObject(LOGPEN{static_cast<UINT>(style), POINT{1, 0}, color}));
}

HGDIOBJ StockFont() {
    LOGFONTW description{};
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    const char16_t face[] = u"System";
    for (std::size_t i = 0; i < sizeof face / sizeof face[0]; ++i) description.lfFaceName[i] = face[i];
    return MakeStock(platform::gdi::MakeFontObject(description));
}

}  // namespace

HGDIOBJ GetStockObject(int object) {
    static const std::array<HGDIOBJ, SYSTEM_FONT + 1> stock = [] {
        std::array<HGDIOBJ, SYSTEM_FONT + 1> made{};
        made[WHITE_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
        made[LTGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(192, 192, 192));
        made[GRAY_BRUSH] = StockBrush(BS_SOLID, RGB(128, 128, 128));
        made[DKGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(64, 64, 64));
        made[BLACK_BRUSH] = StockBrush(BS_SOLID, RGB(0, 0, 0));
        made[NULL_BRUSH] = StockBrush(BS_NULL, 0);
        made[WHITE_PEN] = StockPen(PS_SOLID, RGB(255, 255, 255));
        made[BLACK_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0));
        made[NULL_PEN] = StockPen(PS_NULL, 0);
        made[SYSTEM_FONT] = StockFont();
        return made;
    }();
    if (object < 0 || object > SYSTEM_FONT || stock[static_cast<std::size_t>(object)] == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return stock[static_cast<std::size_t>(object)];
}
