// Making a page's widgets from its control descriptions, with their look from the style.
#include <new>

#include "engine/core/math/ColorMath.h"
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/menu/ControlDescription.h"
#include "engine/overlay/menu/MenuPage.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/overlay/widgets/EditBox.h"
#include "engine/overlay/widgets/ListBox.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "engine/overlay/widgets/WidgetTree.h"

namespace {

// Styles given to Create by the kind.
constexpr DWORD kStyleEmptyControl = 0x14;  // disabled, not shown
constexpr DWORD kStyleStatic = 0x1C;        // disabled, shown
constexpr DWORD kStyleButton = 0x44C;
constexpr DWORD kStyleCheckButton = 0xE84C;
constexpr DWORD kStyleList = 0x4C;

constexpr const char* kButtonBrushes[4] = {"BUTTON_UP", "BUTTON_DOWN", "BUTTON_FOCUSED", "BUTTON_DISABLED"};
constexpr const char* kButtonColours[4] = {"TEXT_BUTTON_UP", "TEXT_BUTTON_DOWN", "TEXT_BUTTON_FOCUSED",
                                           "TEXT_BUTTON_DISABLED"};
constexpr const char* kShadowColours[4] = {"SHADOW_TEXT_BUTTON_UP", "SHADOW_TEXT_BUTTON_DOWN",
                                           "SHADOW_TEXT_BUTTON_FOCUSED", "SHADOW_TEXT_BUTTON_DISABLED"};

bool IsKind(const ControlDescription& d, const char* kind) { return CompareNoCase(d.type.Text(), kind) == 0; }

TextRef FirstText(const ControlDescription& d) {
    EngineString* key = d.TextKey(0);
    return key != nullptr ? TextRefFromKey(key, 0) : TextRef{};
}

// Creates the widget under the page, or deletes it and answers null.
template <typename Widget>
Widget* Make(MenuPage* page, const char* className, const ControlDescription& d, const TextRef* caption, DWORD style) {
    if (RegisterWidgetClass(className) == 0) return nullptr;
    auto* widget = new Widget;
    if (widget == nullptr) return nullptr;
    if (widget->Create(className, caption, style, static_cast<float>(d.x), static_cast<float>(d.y),
                       static_cast<float>(d.width), static_cast<float>(d.height), page, d.id) == 0) {
        delete widget;
        return nullptr;
    }
    return widget;
}

enum class ButtonKind { kPush, kToggle, kCheck };

void StyleButton(Button& button, const MenuStyle* style, const ControlDescription& d, ButtonKind kind) {
    const bool push = kind == ButtonKind::kPush;
    const bool toggle = kind == ButtonKind::kToggle;
    const bool check = kind == ButtonKind::kCheck;
    for (int look = 0; look < 4; ++look) {
        const BrushRecord* record = style != nullptr ? style->FindBrush(kButtonBrushes[look]) : nullptr;
        button.brushes[look] = record != nullptr ? &record->brush : nullptr;
        if (style != nullptr) {
            button.textColours[look] = ColorToARGB(style->FindColor(kButtonColours[look]));
            if (!check) button.shadowColours[look] = ColorToARGB(style->FindColor(kShadowColours[look]));
        }
    }
    if (!check) button.textShadow = d.textShadow;
    if (!toggle) button.clickSounds = static_cast<DWORD>(d.clickSounds);
    button.alignment = d.alignment;
    button.textOffsetX = d.textOffsetX;
    button.textScale = d.textScale;
    if (push) button.textOffsetY = d.textOffsetY;
    if (!toggle) button.postGraphics = d.postGraphics;
    if (push && d.maxWidth > 0.0f) button.maxWidth = d.maxWidth;
    if (!toggle && !d.toolImage.IsEmpty()) button.toolImage = d.toolImage;
    if (!toggle && d.tooltips.head != nullptr) {
        const TextRef tip = TextRefFromKey(static_cast<EngineString*>(d.tooltips.head->item), 0);
        button.SetTooltip(&tip);
        button.SetTooltipAlt(&tip);
    }
}

}  // namespace

Brush* MenuPage::CopyStyleBrush(const char* brushName, const EngineString& image) {
    auto* copy = static_cast<Brush*>(EngineAlloc(sizeof(Brush)));
    if (copy == nullptr) return nullptr;
    new (copy) Brush{};
    copy->flags = kBrushCornerColours | kBrushCombineA;
    for (DWORD& colour : copy->colours) colour = 0xFFFFFFFF;
    const float full[8] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};
    for (int i = 0; i < 8; ++i) copy->corners[i] = full[i];
    const MenuStyle* style = description != nullptr ? description->style : nullptr;
    const BrushRecord* record = style != nullptr ? style->FindBrush(brushName) : nullptr;
    if (record != nullptr) {
        copy->flags = record->brush.flags & ~kBrushTextured;
        for (int i = 0; i < 8; ++i) copy->corners[i] = record->brush.corners[i];
        for (int i = 0; i < 4; ++i) copy->colours[i] = record->brush.colours[i];
    }
    // The copy holds a texture reference of its own.
    const EngineString& name = !image.IsEmpty() ? image : record != nullptr ? record->image : image;
    if (!name.IsEmpty()) LoadTextureHandle(*copy, EngineString("ui/").Concat(name).Text(), 0);
    if (ListAppend(brushCopies, copy) == nullptr) {
        ReleaseTextureHandle(*copy);
        EngineFree(copy);
        return nullptr;
    }
    return copy;
}

Control* MenuPage::CreateChildControls(ControlDescription* control) {
    if (control == nullptr) return nullptr;
    const ControlDescription& d = *control;
    const MenuStyle* style = description != nullptr ? description->style : nullptr;
    const TextRef caption = FirstText(d);

    if (IsKind(d, "EMPTY_CONTROL")) {
        auto* empty = new StaticImage;
        if (empty == nullptr) return nullptr;
        if (empty->CreateImage(kStyleEmptyControl, static_cast<float>(d.x), static_cast<float>(d.y),
                               static_cast<float>(d.width), static_cast<float>(d.height), this, d.id) == 0) {
            delete empty;
            return nullptr;
        }
        return empty;
    }
    if (IsKind(d, "STATIC_IMAGE")) {
        auto* image = Make<StaticImage>(this, kImageRectClass, d, nullptr, kStyleStatic);
        if (image == nullptr) return nullptr;
        Brush* brush = CopyStyleBrush(d.brushName.IsEmpty() ? "STATIC_IMAGE" : d.brushName.Text(), d.image);
        if (brush != nullptr && d.colorGiven != 0) {
            for (DWORD& colour : brush->colours) colour = ColorToARGB(d.color);
        }
        image->image = brush;
        return image;
    }
    if (IsKind(d, "STATIC_TEXT")) {
        auto* text = Make<StaticText>(this, kStaticTextClass, d, &caption, kStyleStatic);
        if (text == nullptr) return nullptr;
        SetEnabled(text, 1);
        if (d.colorGiven != 0) {
            text->colour = ColorToARGB(d.color);
        } else {
            const BrushRecord* record = style != nullptr ? style->FindBrush(d.brushName.Text()) : nullptr;
            if (record == nullptr && style != nullptr) record = style->FindBrush("STATIC_TEXT");
            text->colour = record != nullptr ? record->brush.colours[0] : 0xFFFFFFFF;
        }
        text->alignment = d.alignment;
        if (d.wrapWidth > 0 && d.wrapHeight > 0) {
            text->wrapWidth = static_cast<std::uint32_t>(d.wrapWidth);
            text->wrapHeight = static_cast<std::uint32_t>(d.wrapHeight);
        }
        text->textScale = d.textScale;
        if (d.maxWidth > 0.0f) text->maxWidth = d.maxWidth;
        return text;
    }
    if (IsKind(d, "BUTTON")) {
        const bool hasCaption = caption.key != nullptr;
        auto* button = Make<Button>(this, kButtonClass, d, &caption, hasCaption ? kStyleButton | kButtonCaption
                                                                                 : kStyleButton);
        if (button != nullptr) StyleButton(*button, style, d, ButtonKind::kPush);
        return button;
    }
    if (IsKind(d, "TOGGLEBUTTON")) {
        auto* button = Make<ToggleButton>(this, kButtonClass, d, nullptr, kStyleButton | kButtonCaption);
        if (button == nullptr) return nullptr;
        StyleButton(*button, style, d, ButtonKind::kToggle);
        std::int32_t index = 0;
        for (KDLLink* link = d.texts.head; link != nullptr; link = link->next)
            button->AddState(TextRefFromKey(static_cast<EngineString*>(link->item), 0));
        for (KDLLink* link = d.tooltips.head; link != nullptr && index < kMaxToggleStates; link = link->next, ++index)
            button->SetStateTooltip(TextRefFromKey(static_cast<EngineString*>(link->item), 0), index);
        return button;
    }
    if (IsKind(d, "CHECKBUTTON")) {
        auto* button = Make<Button>(this, kButtonClass, d, &caption, kStyleCheckButton);
        if (button != nullptr) StyleButton(*button, style, d, ButtonKind::kCheck);
        return button;
    }
    if (IsKind(d, "TEXTLISTBOX")) {
        auto* list = new TextListBox;
        if (list == nullptr) return nullptr;
        if (list->CreateList(nullptr, kStyleList, static_cast<float>(d.x), static_cast<float>(d.y),
                             static_cast<float>(d.width), static_cast<float>(d.height), this, d.id) == 0) {
            delete list;
            return nullptr;
        }
        for (KDLLink* link = d.texts.head; link != nullptr; link = link->next)
            list->AddItem(TextRefFromKey(static_cast<EngineString*>(link->item), 0));
        return list;
    }
    if (IsKind(d, "EDIT")) {
        DWORD editStyle = kStyleList;
        if ((d.alignment & kAlignVCentre) != 0) editStyle |= 0x1000;
        if ((d.alignment & kAlignHCentre) != 0) editStyle |= 0x800;
        auto* edit = new EditBox;
        if (edit == nullptr) return nullptr;
        if (edit->CreateEdit(&caption, editStyle, static_cast<float>(d.x), static_cast<float>(d.y),
                             static_cast<float>(d.width), static_cast<float>(d.height), this, d.id) == 0) {
            delete edit;
            return nullptr;
        }
        edit->textScale = d.textScale;
        return edit;
    }
    return nullptr;
}
