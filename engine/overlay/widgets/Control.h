// Control: the base of every window of the game's 2D interface (menu pages, buttons, texts,
// lists and the overlay's root widget), with its tree links and its virtual operations.
// The overlay manager keeps the root, the focus, capture and hover, and draws the tree.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/overlay/text/TextRef.h"
#include "platform/base/Types.h"

class BitmapFont;
class Canvas2D;
struct BrushEntry;

// Flag bits of Control::flags; the other bits are the widget kinds' own styles.
constexpr DWORD kControlHasBackdrop = 0x1;  // DrawBackdrop is called
constexpr DWORD kControlShown = 0x8;
constexpr DWORD kControlDisabled = 0x10;
constexpr DWORD kControlFocusStop = 0x40;   // reachable by the focus keys
constexpr DWORD kControlModal = 0x200;      // a modal loop runs on it

// Plain class with a table of virtual operations; not reference counted. Objects come from
// the engine allocator and are deleted through their virtual destructor. Every control is in
// the overlay's widget list while it lives.
class Control : public EngineAllocated {
public:
    // Every field cleared: no parent, no children, empty rectangle, no flags, no brush.
    Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // The virtual operations, in table order.
    virtual void PostDraw(Canvas2D* canvas);
    // Destroys the control when it is still created, releases its text, frees its child-list
    // links and leaves the overlay (focus, capture, hover, widget list).
    virtual ~Control();
    // Destroys and deletes every descendant (deepest first), gives up the capture and the
    // focus, leaves the overlay's widget list and unlinks it from its parent (the root's
    // list without parent). 1 when it was found there, 0 when it was not created or not
    // linked.
    virtual int Destroy(int value);
    // Finds the brush entry by the id (the identity of `brushId`, null for id 0), keeps a
    // non-owning copy of the text, and links the control under `parent`, or under the root
    // widget without parent (the root itself stays unlinked). 0 and nothing changed when no
    // brush entry has that id or the control is created already.
    virtual int Create(const char* brushId, const TextRef* text, DWORD style, float x, float y, float width,
                       float height, Control* parent, DWORD id);
    // Tooltips: non-owning copies of the reference; GetTooltip answers the first.
    virtual void SetTooltip(const TextRef* reference);
    virtual void SetTooltipAlt(const TextRef* reference);
    virtual const TextRef* GetTooltip();
    // Key handling: focus traversal between siblings with the focus-stop flag.
    virtual void OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra);
    // Handed to the parent; nothing without one.
    virtual void OnKeyUp(std::int32_t key, std::int32_t extra);
    virtual void OnChar(std::int32_t a, std::int32_t b, std::int32_t c);
    virtual void OnPointerMove(float x, float y);
    virtual void OnPointerDown(float x, float y);
    virtual void OnPointerUp(float x, float y);
    virtual void OnPointerEvent3(float x, float y);
    virtual void OnPointerEvent4(float x, float y);
    virtual void OnPointerEvent5(float x, float y);
    virtual void OnPointerEvent6(float x, float y);
    virtual void OnPointerEvent7(std::int32_t value, float x, float y);
    virtual void OnPointerEnter(Control* from);
    virtual void OnPointerLeave(Control* to);
    virtual void OnHScroll(std::int32_t code, std::int32_t position, Control* source);
    virtual void OnScroll(std::int32_t code, std::int32_t position, Control* source);
    virtual void OnGainFocus(Control* previous);
    virtual void OnLoseFocus(Control* next);
    virtual void OnShow(int shown, int unused);
    // SetDrawOrigin on itself.
    virtual void OnEnable(int enabled, DWORD oldFlags, DWORD newFlags);
    virtual void OnCaptureLost(Control* capturer);
    virtual void Draw(Canvas2D* canvas);
    virtual void DrawBackdrop(Canvas2D* canvas);
    // The brush entry's brush over (0, 0, width, height), when the entry holds one; 1.
    virtual int DrawBackground(Canvas2D* canvas);
    virtual void Update(DWORD elapsedMilliseconds);
    // Handed unchanged to the parent and its result returned; 0 without parent.
    virtual std::int32_t Notify(std::int32_t code, DWORD controlId, std::int32_t kind, std::int32_t value);

    // Fields, in record order.
    float x = 0.0f;  // relative to the parent (to the screen without parent)
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    Control* parent = nullptr;
    KDLList children;  // creation order = drawing order = focus order
    DWORD flags = 0;
    BrushEntry* brush = nullptr;  // the overlay's entry for the widget kind
    DWORD id = 0;
    BitmapFont* font = nullptr;  // the overlay's system font at creation
    TextRef text;                // caption, not owned
    std::int32_t modalResult = 0;
    DWORD created = 0;  // 1 between Create and Destroy
    TextRef tooltip;
    TextRef tooltipAlt;
};
