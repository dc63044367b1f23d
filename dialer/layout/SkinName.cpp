// Choosing a skin attribute by density.
#include "dialer/layout/SkinName.h"

#include "dialer/surface/ScreenDpi.h"

SkinDensity GetSkinDensity() {
    // The dpi is read once at start-up, so the class it gives never changes either.
    if (IsMediumDensityScreen()) return SkinDensity::Middle;
    if (IsHighDensityScreen()) return SkinDensity::Double;
    return SkinDensity::Base;
}

LPCWSTR GetSkinName(const CXmlElement& element, bool scaled) {
    if (scaled) {
        LPCWSTR attribute = u"Skin";
        switch (GetSkinDensity()) {
            case SkinDensity::Middle:
                attribute = u"MiddleSkin";
                break;
            case SkinDensity::Double:
                attribute = u"DoubleSkin";
                break;
            case SkinDensity::Base:
                break;
        }
        if (element.FindAttributeIndex(attribute) >= 0) return element.GetAttributeValue(attribute);
    }
    return element.GetAttributeValue(u"Skin");
}
