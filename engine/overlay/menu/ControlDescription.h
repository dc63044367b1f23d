// ControlDescription: one control node of a menu file, as read; and EventScript, one of its
// "ON_" tags, binding an event of the control to an action of the page.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineString.h"

class TagFile;
class TagFileTag;

// Event kinds: a click (and a change of a list's selection), a confirmed selection, other.
constexpr std::int32_t kEventClick = 1;
constexpr std::int32_t kEventSelect = 2;
constexpr std::int32_t kEventOther = -1;

// Actions.
constexpr DWORD kActionGoBack = 0;
constexpr DWORD kActionGoto = 1;
constexpr DWORD kActionGotoDo = 2;
constexpr DWORD kActionReturn = 3;
constexpr DWORD kActionCommand = 4;

// Control ids: the first control of a page gets this one, the others count on.
constexpr DWORD kFirstControlId = 1024;

struct EventScript : EngineAllocated {
    EngineString eventName;
    std::int32_t kind = kEventOther;
    DWORD action = kActionCommand;
    EngineString first;   // page (GOTO), keyword (RETURN), command
    EngineString second;  // command after DO, or the command's argument
    EngineString third;   // the argument after DO's command
};

// Text alignment bits.
constexpr DWORD kAlignRight = 0x1;
constexpr DWORD kAlignHCentre = 0x2;
constexpr DWORD kAlignVCentre = 0x4;
constexpr DWORD kAlignBottom = 0x8;

class ControlDescription : public EngineAllocated {
public:
    ControlDescription() = default;
    // Releases the text and tooltip keys and deletes the scripts.
    virtual ~ControlDescription();
    ControlDescription(const ControlDescription&) = delete;
    ControlDescription& operator=(const ControlDescription&) = delete;

    // The first script of the event name (case ignored), or null.
    EventScript* FindEventScript(const char* event) const;
    // The first script of kind kEventClick, or null.
    EventScript* FindClickScript() const;
    // The i-th TEXT key, or null.
    EngineString* TextKey(std::uint32_t index) const;

    DWORD id = 0;
    std::int32_t index = 0;
    EngineString type;
    EngineString name;
    EngineString brushName;
    EngineString image;
    EngineString toolImage;
    Color color{1.0f, 1.0f, 1.0f, 1.0f};
    DWORD colorGiven = 0;
    DWORD alignment = kAlignHCentre | kAlignVCentre;
    float textOffsetY = 0.0f;
    float textOffsetX = 0.0f;
    DWORD postGraphics = 0;
    std::int32_t wrapWidth = 0;
    std::int32_t wrapHeight = 0;
    std::int32_t values[2] = {0, 0};
    float textScale = 1.0f;
    float maxWidth = -1.0f;
    std::uint32_t font = 1;
    KDLList texts;     // EngineString keys, owned, in value order
    KDLList tooltips;  // EngineString keys, owned
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t clickSounds = 1;
    DWORD textShadow = 0;
    KDLList scripts;  // EventScript, owned
};

// Fills the description from a control node; `anchor` is the control read just before it on
// the page (null for the first): it lends its size and ALIGNTO's reference. 0 when an event
// script is invalid.
int ParseControlProperties(ControlDescription& description, TagFile& node, const ControlDescription* anchor);
// One "ON_" tag: its kind, action and texts. 0 when the values do not make a script.
int ParseEventScript(EventScript& script, const TagFileTag& tag);
