// Skin names by screen density: a layout element may name one skin per density class
// ("Skin", "MiddleSkin", "DoubleSkin"); the one for the current screen is chosen.
#pragma once

#include "dialer/xml/XmlElement.h"
#include "platform/base/Types.h"

enum class SkinDensity { Base, Middle, Double };

// From the screen's vertical dpi: (dpi + 16) × 3 / 96 is 4 for the middle class (112 to
// 143 dpi) and 6 for the double class (176 to 207 dpi); anything else is the base class.
SkinDensity GetSkinDensity();

// With scaling, the attribute of the screen's class when the element has it; otherwise
// "Skin". Null when the element has neither. The text belongs to the element's document.
LPCWSTR GetSkinName(const CXmlElement& element, bool scaled);
