// Buttons and static images made through their own creation functions, with the default
// looks; and the toggle button's states.
#include "engine/overlay/canvas/Brush.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "engine/resources/texture/TextureHandle.h"

namespace {

constexpr float kUpperHalf[8] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.5f};
constexpr float kLowerHalf[8] = {0.0f, 0.5f, 1.0f, 0.5f, 1.0f, 1.0f, 0.0f, 1.0f};
constexpr DWORD kDefaultTextColours[4] = {0xFFFFFFFF, 0xFF00FF00, 0xFFFFFF00, 0xFF202020};

// One half of a texture, white corners; loaded once and kept for the program's life.
struct SharedBrush {
    Brush brush;
    bool loaded = false;
};

const Brush* LoadHalf(SharedBrush& shared, const char* texture, const float (&corners)[8]) {
    if (!shared.loaded) {
        shared.loaded = true;
        shared.brush.flags = kBrushCornerColours | kBrushCombineA;
        for (int i = 0; i < 8; ++i) shared.brush.corners[i] = corners[i];
        for (DWORD& colour : shared.brush.colours) colour = 0xFFFFFFFF;
        LoadTextureHandle(shared.brush, texture, 0);
    }
    return &shared.brush;
}

SharedBrush pushUp;
SharedBrush pushDown;
SharedBrush defaultImage;

// A class that is not registered means a fresh overlay, whose resources are new as well:
// the shared looks are loaded again (the old texture references went with the old cache).
void ForgetWhenUnregistered(const char* className, SharedBrush& a, SharedBrush* b) {
    if (Overlay().FindBrush(BrushIdOf(className)) != nullptr) return;
    a = SharedBrush{};
    if (b != nullptr) *b = SharedBrush{};
}

}  // namespace

int Button::CreateButton(const TextRef* caption, DWORD style, float left, float top, float w, float h,
                         Control* parentControl, DWORD controlId) {
    ForgetWhenUnregistered(kButtonClass, pushUp, &pushDown);
    if (RegisterWidgetClass(kButtonClass) == 0) return 0;
    SetBrushes(LoadHalf(pushUp, "ui/pushbutton.tga", kUpperHalf), LoadHalf(pushDown, "ui/pushbutton.tga", kLowerHalf),
               nullptr, nullptr);
    SetTextColours(kDefaultTextColours);
    state = 0;
    return Create(kButtonClass, caption, style, left, top, w, h, parentControl, controlId);
}

int Button::SetBrushes(const Brush* up, const Brush* down, const Brush* focused, const Brush* disabled) {
    brushes[kLookUp] = up;
    brushes[kLookDown] = down;
    brushes[kLookFocused] = focused;
    brushes[kLookDisabled] = disabled;
    return up != nullptr ? 1 : 0;
}

void Button::SetTextColours(const DWORD (&colours)[4]) {
    for (int i = 0; i < 4; ++i) textColours[i] = colours[i];
}

void Button::SetShadowColours(const DWORD (&colours)[4]) {
    for (int i = 0; i < 4; ++i) shadowColours[i] = colours[i];
}

const Brush* DefaultImageBrush() { return LoadHalf(defaultImage, "ui/window.dds", kUpperHalf); }

int StaticImage::CreateImage(DWORD style, float left, float top, float w, float h, Control* parentControl,
                             DWORD controlId) {
    ForgetWhenUnregistered(kImageRectClass, defaultImage, nullptr);
    if (RegisterWidgetClass(kImageRectClass) == 0) return 0;
    image = DefaultImageBrush();
    return Create(kImageRectClass, nullptr, style, left, top, w, h, parentControl, controlId);
}

ToggleButton::~ToggleButton() {
    // The caption points at a state's text, which is not owned either way.
    for (KDLLink* link = states.head; link != nullptr; link = link->next) {
        auto* s = static_cast<ToggleState*>(link->item);
        ReleaseTextRef(s->caption);
        delete s;
    }
    ListReset(states);
    for (TextRef& tip : stateTooltips) ReleaseTextRef(tip);
}

ToggleState* ToggleButton::State(std::int32_t index) const {
    if (index < 0) return nullptr;
    KDLLink* link = states.head;
    for (std::int32_t i = 0; link != nullptr && i < index; ++i) link = link->next;
    return link != nullptr ? static_cast<ToggleState*>(link->item) : nullptr;
}

int ToggleButton::AddState(const TextRef& caption) {
    if (StateCount() >= kMaxToggleStates) return 0;
    auto* s = new ToggleState;
    if (s == nullptr) return 0;
    s->caption = TextRefCopy(caption);
    if (ListAppend(states, s) == nullptr) {
        delete s;
        return 0;
    }
    if (current < 0) {
        // The first state is the one shown.
        current = 0;
        ReleaseTextRef(text);
        text = TextRefCopy(s->caption);
    }
    return 1;
}

void ToggleButton::SetStateTooltip(const TextRef& reference, std::int32_t index) {
    if (index < 0 || index >= kMaxToggleStates) return;
    ReleaseTextRef(stateTooltips[index]);
    stateTooltips[index] = TextRefCopy(reference);
}

const TextRef* ToggleButton::GetTooltip() {
    return current >= 0 && current < kMaxToggleStates ? &stateTooltips[current] : &tooltip;
}

void ToggleButton::OnClick(std::int32_t value) {
    const std::int32_t count = StateCount();
    if (count > 0) {
        current = current + 1 >= count ? 0 : current + 1;
        ReleaseTextRef(text);
        text = TextRefCopy(State(current)->caption);
    }
    Button::OnClick(value);
}

void ToggleButton::Draw(Canvas2D* canvas) {
    Button::Draw(canvas);
    const ToggleState* s = State(current);
    if (s == nullptr || s->image == nullptr || s->image->brush == nullptr ||
        (s->image->brush->flags & kTextureHandleHoldsTexture) == 0)
        return;
    const auto halfW = static_cast<float>(static_cast<std::int32_t>(width) >> 1);
    const auto halfH = static_cast<float>(static_cast<std::int32_t>(height) >> 1);
    const auto imageHalfW = static_cast<float>(static_cast<std::int32_t>(s->image->width) >> 1);
    const auto imageHalfH = static_cast<float>(static_cast<std::int32_t>(s->image->height) >> 1);
    DrawQuad(canvas, halfW - imageHalfW, halfH - imageHalfH, s->image->width, s->image->height, s->image->brush,
             0.0f);
}
