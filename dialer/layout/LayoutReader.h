// Reading a layout-set document into a CLayoutSet. The file holds shared values
// ("General"), layouts ("Layout" with "General" and "Plugins" blocks of "Plugin" and
// "Group" elements, inheriting through "Extends"), rules ("Rules") and layers ("Layers").
// Layout-level settings are stored under integer keys:
//   1 plug-in "Name", 2 "Class", 3 "ID", 4 "BoundRect", 5 "LeftTop", 6 "Center",
//   7 the skin name ("Skin", "MiddleSkin", "DoubleSkin" by density), 8 "BoldFont",
//   9, 10, 11 "DefaultFont" as written, bold and normal, 12 its "Color", 13 "DialogRect",
//   14 "DialogObject", 15 "ScrollY", 16 "LayerAlign", 17 "Clip", 18 "Cache", 19 "FromTop",
//   20 "NoGesture", 21 "NoKbdNavigation".
// Coordinates and font heights are scaled to the screen on a Pocket PC, except in layouts
// and groups marked "DontScale".
#pragma once

#include <string>

#include "dialer/foundation/RefCounted.h"
#include "dialer/layout/LayoutSet.h"
#include "dialer/xml/XmlDocument.h"

// The set read from a parsed document. sourceName names the file in error messages.
// Throws E_ORM_FAIL for malformed values and for an "Extends" that would make an entry
// inherit from itself (an Extends chain that loops), with a sentence naming the file;
// E_OUTOFMEMORY.
CRefPtr<CLayoutSet> ReadLayoutSet(const CXmlDocument& document, const std::u16string& sourceName);
