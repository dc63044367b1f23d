// PageDescription: the parsed form of one menu file: its name, base, class, back page,
// style and controls, with the file's tree.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineString.h"

class MenuStyle;
class TagFile;

class PageDescription : public EngineAllocated {
public:
    PageDescription() = default;
    // Deletes the controls and the tree; the style belongs to the style cache.
    virtual ~PageDescription();
    PageDescription(const PageDescription&) = delete;
    PageDescription& operator=(const PageDescription&) = delete;

    EngineString name;       // the file's base name
    EngineString baseName;   // INHERIT
    EngineString className;  // CLASS
    EngineString backName;   // BACK
    MenuStyle* style = nullptr;
    KDLList controls;  // ControlDescription, owned, in file order
    TagFile* tree = nullptr;
    DWORD parsed = 0;
    DWORD parsing = 0;  // set while its chain of bases is being parsed
};

// Parses the description once (1 at once when parsed): its bases first (named by INHERIT,
// found among the menu manager's descriptions, each merged in), then STYLE, CLASS, BACK and
// the controls. 0 for an empty or missing base, an INHERIT cycle (logged with the file's
// name), an unreadable CLASS or BACK, or a control that does not read.
int ParsePageDescription(PageDescription& description);
// Copies into the description's tree every top-level tag of the base's tree it lacks, and
// appends deep copies of all the base's child nodes after its own.
void InheritPageDescription(PageDescription& description, const PageDescription& base);
// The cached style of that name (case ignored), else one read from "menus/<name>.menustyle"
// (empty when the file is missing) and cached. Null only when memory runs out.
MenuStyle* LoadMenuStyle(const char* styleName);
