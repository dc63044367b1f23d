// The simple widgets of the menu pages: Button (push and check button), ToggleButton (a
// button stepping through states), StaticText and StaticImage. Each kind keys its class brush entry in the overlay by its window-class name
// and registers it on its first creation.
#pragma once

#include <cstdint>

#include "engine/core/text/EngineString.h"
#include "engine/overlay/widgets/Control.h"

struct Brush;

constexpr const char kButtonClass[] = "ButtonWndClass";
constexpr const char kStaticTextClass[] = "StaticTextWndClass";
constexpr const char kImageRectClass[] = "ImageRectWndClass";

// Button styles.
constexpr DWORD kButtonPush = 0x400;      // the on bit is cleared again after a key activation
constexpr DWORD kButtonCheck = 0x800;     // pointer-down and key activation toggle the on bit
constexpr DWORD kButtonSticky = 0x1000;   // pointer-down does not set the on bit
constexpr DWORD kButtonCheckAsPush = 0x2000;
constexpr DWORD kButtonCaption = 0x4000;  // the caption is drawn

// Button state bits.
constexpr DWORD kButtonOn = 0x1;
constexpr DWORD kButtonPressed = 0x2;
constexpr DWORD kButtonInside = 0x4;

// The scale of every button caption, set by the menu style.
extern float ButtonTextScale;

// Adds the class brush entry of a widget kind (no brush, the overlay's default pointer) when
// the overlay has none: 1 when it is there afterwards.
int RegisterWidgetClass(const char* className);

class Button : public Control {
public:
    enum Look { kLookUp = 0, kLookDown = 1, kLookFocused = 2, kLookDisabled = 3 };

    // Registers the class, gives the button the default looks (the two halves of
    // "ui/pushbutton.tga", the default text colours, state 0) and creates it. 1 / 0.
    int CreateButton(const TextRef* caption, DWORD style, float x, float y, float width, float height,
                     Control* parent, DWORD id);
    // All four looks at once; whether the up look is set.
    int SetBrushes(const Brush* up, const Brush* down, const Brush* focused, const Brush* disabled);
    void SetUpBrush(const Brush* up) { brushes[kLookUp] = up; }
    void SetTextColours(const DWORD (&colours)[4]);
    void SetShadowColours(const DWORD (&colours)[4]);

    void OnKeyUp(std::int32_t key, std::int32_t extra) override;
    void OnPointerMove(float x, float y) override;
    void OnPointerDown(float x, float y) override;
    void OnPointerUp(float x, float y) override;
    void OnPointerEnter(Control* from) override;
    void OnGainFocus(Control* previous) override;
    void OnLoseFocus(Control* next) override;
    void OnCaptureLost(Control* capturer) override;
    void Draw(Canvas2D* canvas) override;
    // The parent hears of the click: Notify(1, id, 1, value).
    virtual void OnClick(std::int32_t value);

    // The look the button is drawn with now.
    Look CurrentLook() const;

    const Brush* brushes[4] = {};
    DWORD textColours[4] = {0xFFFFFFFF, 0xFF00FF00, 0xFFFFFF00, 0xFF202020};
    DWORD state = 0;
    float textScale = 1.0f;
    float maxWidth = -1.0f;
    DWORD alignment = 6;
    float textOffsetY = 0.0f;
    float textOffsetX = 0.0f;
    DWORD postGraphics = 0;
    DWORD clickSounds = 1;
    DWORD textShadow = 0;
    DWORD shadowColours[4] = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
    EngineString toolImage;  // the tooltip's image, when the page gave one

private:
    void DrawBrush(Canvas2D* canvas, const Brush* brush);
};

// An image a toggle state shows centred on its button, at its natural size.
struct ToggleImage {
    const Brush* brush = nullptr;
    float width = 0.0f;
    float height = 0.0f;
};

// One state of a toggle button: its caption (not owned) and an optional image.
struct ToggleState : EngineAllocated {
    TextRef caption;
    const ToggleImage* image = nullptr;
    DWORD spare = 0;
};

constexpr std::int32_t kMaxToggleStates = 20;

// A button that steps through its states, one per click, wrapping round; the page hears the
// click and reads the new state index.
class ToggleButton : public Button {
public:
    ~ToggleButton() override;

    // The current state's tooltip.
    const TextRef* GetTooltip() override;
    void Draw(Canvas2D* canvas) override;
    // The next state (wrapping to the first), its caption on the button, then the click.
    void OnClick(std::int32_t value) override;

    // A state with that caption; the first becomes current. Ignored once 20 exist: 0.
    int AddState(const TextRef& caption);
    // Only for index < 20.
    void SetStateTooltip(const TextRef& reference, std::int32_t index);
    std::int32_t StateCount() const { return static_cast<std::int32_t>(states.count); }
    ToggleState* State(std::int32_t index) const;

    std::int32_t current = -1;
    KDLList states;  // ToggleState, owned
    TextRef stateTooltips[kMaxToggleStates];
};

class StaticText : public Control {
public:
    void Draw(Canvas2D* canvas) override;

    DWORD colour = 0xFFFFFFFF;
    float textScale = 1.0f;
    float maxWidth = -1.0f;
    DWORD alignment = 6;
    std::uint32_t wrapWidth = 0;
    std::uint32_t wrapHeight = 0;
};

class StaticImage : public Control {
public:
    // Registers the class and, once, the shared default image (the upper half of
    // "ui/window.dds"), which the image starts with; then creates it. 1 / 0.
    int CreateImage(DWORD style, float x, float y, float width, float height, Control* parent, DWORD id);
    void Draw(Canvas2D* canvas) override;

    const Brush* image = nullptr;  // not owned
};

// The shared default image of static images (loaded on the first use).
const Brush* DefaultImageBrush();
