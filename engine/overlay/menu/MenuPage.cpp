// A page's life: building it, making its controls, opening it, routing its controls' events
// and carrying out their scripts.
#include "engine/overlay/menu/MenuPage.h"

#include "engine/core/text/TextCompare.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/menu/ControlDescription.h"
#include "engine/overlay/menu/MenuManager.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/widgets/WidgetTree.h"

namespace {

// The event kind of a widget's report is its low 16 bits; a list box puts its selection in
// the high bits, so that every selection, not only the first item, finds its script.
constexpr std::int32_t kEventKindMask = 0xFFFF;

bool GoesToPage(const EventScript* script) {
    return script != nullptr && (script->action == kActionGoto || script->action == kActionGotoDo);
}

void DeleteBrushCopy(void* item) {
    auto* brush = static_cast<Brush*>(item);
    ReleaseTextureHandle(*brush);
    EngineFree(brush);
}

}  // namespace

int HidePageControl(Control* control) { return control != nullptr ? SetEnabled(control, 0) : 0; }

bool IsPageControlHidden(const Control* control) { return !IsWindowEnabled(control); }

MenuPage::MenuPage(PageDescription* pageDescription) : description(pageDescription) {}

MenuPage::~MenuPage() {
    if (created == 1) Destroy(0);
    ListDeleteAll(brushCopies, DeleteBrushCopy);
    if (classEntry.id != 0 && Overlay().FindBrush(classEntry.id) != nullptr) Overlay().RemoveBrush(classEntry.id);
    ReleaseTextureHandle(background);
}

const char* MenuPage::Name() const { return description != nullptr ? description->name.Text() : ""; }

void MenuPage::Draw(Canvas2D* /*canvas*/) {}

int MenuPage::Build() {
    OverlayManager& overlay = Overlay();
    const BrushId ownId = reinterpret_cast<BrushId>(this);
    classEntry = BrushEntry{};
    classEntry.id = ownId;
    ReleaseTextureHandle(background);
    background = Brush{};
    if (overlay.FindBrush(ownId) == nullptr) {
        const BrushRecord* record =
            description != nullptr && description->style != nullptr ? description->style->FindBrush("BACKGROUND") : nullptr;
        if (record != nullptr && !record->image.IsEmpty()) {
            background.flags = record->brush.flags;
            for (int i = 0; i < 8; ++i) background.corners[i] = record->brush.corners[i];
            for (int i = 0; i < 4; ++i) background.colours[i] = record->brush.colours[i];
            const EngineString path = EngineString("ui/").Concat(record->image);
            LoadTextureHandle(background, path.Text(), 0);
            classEntry.brush = background;
        }
        classEntry.pointer = overlay.GetPointerRecord(1);
        if (overlay.AddBrush(classEntry) == 0) {
            classEntry.pointer = nullptr;
            return 0;
        }
    }
    const Overlay2DState& screen = Overlay2D();
    const TextRef noText;
    return CreateContainer(reinterpret_cast<const char*>(ownId), &noText, 0, 0.0f, 0.0f,
                           static_cast<float>(screen.screenWidth), static_cast<float>(screen.screenHeight), nullptr);
}

int MenuPage::OnCreate() {
    if (description == nullptr) return 1;
    for (KDLLink* link = description->controls.head; link != nullptr; link = link->next) {
        auto* control = static_cast<ControlDescription*>(link->item);
        Control* widget = CreateChildControls(control);
        if (widget == nullptr) return 0;
        // A control that would go to a page that does not exist would leave the player on
        // this page with a dead control: it is disabled instead.
        EventScript* click = control->FindClickScript();
        if (GoesToPage(click) && GetMenuManager().FindPage(click->first.Text()) == nullptr) SetEnabled(widget, 0);
        if (EventScript* script = control->FindEventScript("ON_CREATE")) RunAction(control, script, -1);
    }
    return 1;
}

int MenuPage::OnOpen(std::int32_t /*a*/, std::int32_t /*b*/) {
    if (description == nullptr) return 1;
    for (KDLLink* link = description->controls.head; link != nullptr; link = link->next) {
        auto* control = static_cast<ControlDescription*>(link->item);
        if (EventScript* script = control->FindEventScript("ON_INIT")) RunAction(control, script, -1);
    }
    return 1;
}

std::int32_t MenuPage::Notify(std::int32_t code, DWORD controlId, std::int32_t kind, std::int32_t value) {
    if (description != nullptr && code == 1) {
        for (KDLLink* link = description->controls.head; link != nullptr; link = link->next) {
            auto* control = static_cast<ControlDescription*>(link->item);
            if (control->id != controlId) continue;
            for (KDLLink* at = control->scripts.head; at != nullptr; at = at->next) {
                auto* script = static_cast<EventScript*>(at->item);
                if (script->kind == (kind & kEventKindMask)) return RunAction(control, script, value);
            }
        }
    }
    return Control::Notify(code, controlId, kind, value);
}

std::int32_t MenuPage::OnButton(Control* /*control*/, const char* /*command*/, const char* /*argument*/,
                                std::int32_t /*value*/) {
    return 0;
}

Control* MenuPage::FindControlByName(const char* controlName) {
    if (description == nullptr || controlName == nullptr) return nullptr;
    for (KDLLink* link = description->controls.head; link != nullptr; link = link->next) {
        auto* control = static_cast<ControlDescription*>(link->item);
        if (CompareNoCase(control->name.Text(), controlName) == 0) return FindChildById(this, control->id);
    }
    return nullptr;
}

void MenuPage::CloseWithoutResult() { EndModal(this, 0); }

std::int32_t MenuPage::RunAction(ControlDescription* control, EventScript* script, std::int32_t value) {
    if (control == nullptr || script == nullptr) return 0;
    Control* widget = FindChildById(this, control->id);
    MenuManager& manager = GetMenuManager();
    switch (script->action) {
        case kActionCommand: {
            const std::int32_t r = OnButton(widget, script->first.Text(), script->second.Text(), value);
            if (r == 1) {
                CloseOk();
            } else if (r != 0) {
                EndModal(this, r);
            }
            return r;
        }
        case kActionReturn: {
            const std::int32_t r = CommandId(script->first.Text());
            if (r == 1) {
                CloseOk();
            } else {
                EndModal(this, r);
            }
            return r;
        }
        case kActionGotoDo:
        case kActionGoto: {
            MenuPage* target = manager.FindPage(script->first.Text());
            if (target == nullptr) {
                // The page went away since the control was made: it is of no use any more.
                if (widget != nullptr) SetEnabled(widget, 0);
                return -1;
            }
            manager.OpenPage(target);
            if (script->action == kActionGotoDo) OnButton(widget, script->second.Text(), script->third.Text(), value);
            CloseWithoutResult();
            return 0;
        }
        case kActionGoBack:
            if (manager.history.count > 1) {
                manager.GoBack();
            } else if (!backName.IsEmpty()) {
                manager.ClearHistory();
                manager.GotoPage(backName.Text(), 0);
            }
            CloseWithoutResult();
            return 0;
        default: return 0;
    }
}
