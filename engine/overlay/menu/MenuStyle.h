// MenuStyle: one style file of the menus, its brush records and named colours; and how one
// brush node of a style file is read.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineString.h"
#include "engine/overlay/canvas/Brush.h"

class TagFile;

// Brush-record flag bits besides those of Brush.h: the brush takes the current colour.
constexpr DWORD kBrushUseCurrent = 0x10000000;

struct BrushRecord : EngineAllocated {
    EngineString name;
    EngineString image;
    Brush brush;
    // Gives back the texture.
    ~BrushRecord();
};

struct NamedColor : EngineAllocated {
    EngineString name;
    Color color{1.0f, 1.0f, 1.0f, 1.0f};
};

class MenuStyle : public EngineAllocated {
public:
    explicit MenuStyle(const char* styleName) : name(styleName) {}
    virtual ~MenuStyle();
    MenuStyle(const MenuStyle&) = delete;
    MenuStyle& operator=(const MenuStyle&) = delete;

    // The first record of that name (case counts), or null.
    BrushRecord* FindBrush(const char* brushName) const;
    // The colour of that name (case counts), or opaque red.
    Color FindColor(const char* colorName) const;

    EngineString name;
    KDLList brushes;  // BrushRecord, owned
    KDLList colors;   // NamedColor, owned
};

// Defaults (shaded and blended, untextured, full texture, white), then the node's keys; the
// texture is "ui/" and the IMAGE value. 1.
int ReadBrushRecord(BrushRecord& record, TagFile& node);
// COLORS, BUTTON_SETTINGS and BRUSHES of a style tree into the style; 0 when a brush record
// fails (those read before stay).
int ReadMenuStyle(MenuStyle& style, TagFile& tree);
