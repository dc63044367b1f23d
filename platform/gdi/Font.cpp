// Font objects: the description given to CreateFontIndirectW, kept as it was asked for.
#include "platform/gdi/Font.h"

#include "platform/base/Errors.h"

namespace platform::gdi {

FontObject::FontObject(const LOGFONTW& description) : m_description(description) {
    // A face name given without its terminator is cut to fit.
    m_description.lfFaceName[LF_FACESIZE - 1] = 0;
}

FontObject* MakeFontObject(const LOGFONTW& description) { return new FontObject(description); }

}  // namespace platform::gdi

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    if (font == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HFONT>(platform::RegisterGdiObject(platform::gdi::MakeFontObject(*font)));
}
