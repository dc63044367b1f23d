// Font objects: the description given to CreateFontIndirectW, kept as it was asked for.
#include "platform/gdi/Font.h"

#include "platform/base/Errors.h"

namespace {

class FontObject : public platform::GdiObject {
public:
    explicit FontObject(const LOGFONTW& description) : description_(description) {
        // A face name given without its terminator is cut to fit.
        description_.lfFaceName[LF_FACESIZE - 1] = 0;
    }

    DWORD Type() const override { return OBJ_FONT; }
    const void* Description(std::size_t* size) const override {
        *size = sizeof description_;
        return &description_;
    }

private:
    LOGFONTW description_;
};

}  // namespace

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    if (font == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HFONT>(platform::RegisterGdiObject(new FontObject(*font)));
}
