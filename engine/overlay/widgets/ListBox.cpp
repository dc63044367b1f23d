// The list box: rows, selection by key and pointer, scrolling, and drawing.
#include "engine/overlay/widgets/ListBox.h"

#include <cmath>

#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/ScrollBar.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "engine/overlay/widgets/UiSound.h"
#include "engine/overlay/widgets/WidgetTree.h"

namespace {

constexpr DWORD kListStyle = 0x4C;
constexpr DWORD kListScrollBarStyle = 0x80C;

bool IsUpKey(std::int32_t key) { return key == 143 || key == 228 || key == 223; }
bool IsDownKey(std::int32_t key) { return key == 144 || key == 230 || key == 222; }
bool IsScrollKey(std::int32_t key) { return key >= 137 && key <= 140; }
bool IsEnterKey(std::int32_t key) { return key == 10 || key == 210 || key == 232; }

void DeleteItem(void* item) { delete static_cast<ListItem*>(item); }

}  // namespace

ListBox::~ListBox() { ListDeleteAll(items, DeleteItem); }

int ListBox::CreateList(const TextRef* caption, DWORD style, float left, float top, float w, float h,
                        Control* parentControl, DWORD controlId) {
    if (RegisterWidgetClass(kListBoxClass) == 0) return 0;
    itemHeight = kListItemHeight;
    const auto rounded = static_cast<std::int32_t>(std::lround(h));
    visibleCount = rounded / static_cast<std::int32_t>(kListItemHeight);
    const float cut = static_cast<float>(visibleCount) * kListItemHeight;
    if (Create(kListBoxClass, caption, style | kListStyle, left, top, w, cut, parentControl, controlId) == 0) return 0;
    auto* bar = new ScrollBar;
    if (bar == nullptr) return 0;
    if (bar->CreateScrollBar(kListScrollBarStyle, w - kListScrollBarWidth, 0.0f, kListScrollBarWidth, cut, this, 0) ==
        0) {
        delete bar;
        return 0;
    }
    scrollBar = bar;
    return 1;
}

std::int32_t ListBox::ScrollMaximum() const {
    const std::int32_t excess = ItemCount() - visibleCount;
    return excess > 0 ? excess : 0;
}

int ListBox::AddItem(const TextRef& itemText) {
    auto* item = new ListItem;
    if (item == nullptr) return 0;
    item->text = TextRefCopy(itemText);
    if (ListAppend(items, item) == nullptr) {
        delete item;
        return 0;
    }
    if (scrollBar != nullptr) scrollBar->SetRange(0, ScrollMaximum());
    return 1;
}

const ListItem* ListBox::Item(std::int32_t index) const {
    if (index < 0) return nullptr;
    KDLLink* link = items.head;
    for (std::int32_t i = 0; link != nullptr && i < index; ++i) link = link->next;
    return link != nullptr ? static_cast<const ListItem*>(link->item) : nullptr;
}

bool ListBox::ScrollBarShown() const { return scrollBar != nullptr && (scrollBar->flags & kControlShown) != 0; }

std::int32_t ListBox::SetTopIndex(std::int32_t index) {
    if (index >= ItemCount()) return -1;
    // A top above the first row would draw nothing new: the list starts at its first item.
    if (index < 0) index = 0;
    const std::int32_t maximum = ScrollMaximum();
    topIndex = index < maximum ? index : maximum;
    if (scrollBar != nullptr) scrollBar->SetPosition(index);
    SetDrawOrigin(this);
    return 0;
}

std::int32_t ListBox::SetSelection(std::int32_t index) {
    if (index < -1 || index >= ItemCount()) return -1;
    if (index == selection) return 0;
    selection = index;
    if (index < topIndex) {
        SetTopIndex(index);
    } else if (index >= topIndex + visibleCount - 1) {
        const std::int32_t top = index - visibleCount + 1;
        SetTopIndex(top > 0 ? top : 0);
    }
    SetDrawOrigin(this);
    return 0;
}

std::int32_t ListBox::GetItemRect(std::int32_t index, float& left, float& top, float& right, float& bottom) const {
    if (index < topIndex || index >= topIndex + visibleCount) return -1;
    left = 0.0f;
    right = width;
    top = static_cast<float>(index - topIndex) * itemHeight + ((flags & kListHeader) != 0 ? itemHeight : 0.0f);
    bottom = top + itemHeight;
    return 0;
}

void ListBox::ReportSelection() {
    if (Overlay().soundFlag != 0) PlayUiSound("");
    if (parent != nullptr) parent->Notify(1, id, static_cast<std::int32_t>((static_cast<DWORD>(selection) << 16) | 1), 0);
}

void ListBox::OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) {
    if (IsUpKey(key) || IsDownKey(key)) {
        const std::int32_t next = selection + (IsUpKey(key) ? -1 : 1);
        if (ItemCount() == 0 || next < 0 || next >= ItemCount()) return;
        if (SetSelection(next) != 0) return;
        ReportSelection();
        return;
    }
    if (IsScrollKey(key)) {
        if (ScrollBarShown() && IsWindowEnabled(scrollBar)) scrollBar->OnKeyDown(key, value, extra);
        return;
    }
    Control::OnKeyDown(key, value, extra);
}

void ListBox::OnKeyUp(std::int32_t key, std::int32_t extra) {
    if (IsEnterKey(key) && selection >= 0 && selection < ItemCount()) {
        if (parent != nullptr) parent->Notify(1, id, 2, 0);
        return;
    }
    Control::OnKeyUp(key, extra);
}

void ListBox::OnPointerDown(float /*x*/, float py) {
    if (Overlay().focus != this) SetFocusWindow(this);
    if (itemHeight <= 0.0f || py < 0.0f) return;
    const auto row = static_cast<std::int32_t>(py / itemHeight);
    std::int32_t index = topIndex + row;
    if ((flags & kListHeader) != 0) {
        if (row == 0) return;
        --index;
    }
    if (index == selection) return;
    if (SetSelection(index) != 0) return;
    ReportSelection();
}

void ListBox::OnPointerEvent7(std::int32_t value, float x, float y) {
    if (ScrollBarShown() && IsWindowEnabled(scrollBar)) scrollBar->OnPointerEvent7(value, x, y);
}

void ListBox::OnPointerEnter(Control* /*from*/) { SetFocusWindow(this); }

void ListBox::OnScroll(std::int32_t code, std::int32_t position, Control* /*source*/) {
    const std::int32_t maximum = scrollBar != nullptr ? scrollBar->maximum - scrollBar->minimum : 0;
    std::int32_t top = topIndex;
    switch (code) {
        case kScrollToEnd: top = maximum; break;
        case kScrollStepForward: top = topIndex + 1; break;
        case kScrollStepBack: top = topIndex - 1; break;
        case kScrollPageForward: top = std::min(topIndex + visibleCount, maximum); break;
        case kScrollPageBack: top = std::max(topIndex - visibleCount, 0); break;
        case kScrollThumbDragged: top = position; break;
        case kScrollToStart: top = 0; break;
        default: return;
    }
    if (top < 0 || top > maximum || top == topIndex) return;
    topIndex = top;
    if (scrollBar != nullptr) scrollBar->SetPosition(topIndex);
    SetDrawOrigin(this);
}

void ListBox::OnGainFocus(Control* /*previous*/) {
    SetDrawOrigin(this);
    if (Overlay().soundFlag != 0) PlayUiSound("");
}

void ListBox::OnLoseFocus(Control* /*next*/) { SetDrawOrigin(this); }

void ListBox::OnShow(int shown, int /*unused*/) {
    if (scrollBar != nullptr) SetVisible(scrollBar, shown != 0 ? 1 : 0);
}

int ListBox::DrawBackground(Canvas2D* canvas) {
    if (brush == nullptr || IsEmptyBrush(brush->brush)) return 1;
    float w = width;
    if (ScrollBarShown() && (flags & kListFullBackground) == 0) w -= scrollBar->width;
    DrawQuad(canvas, 0.0f, 0.0f, w, height, &brush->brush, 0.0f);
    return 1;
}

void ListBox::Draw(Canvas2D* canvas) {
    float rowWidth = width - 1.0f;
    if (ScrollBarShown()) rowWidth -= scrollBar->width;
    float top = 0.0f;
    if ((flags & kListHeader) != 0) {
        DrawItem(canvas, nullptr, 0.0f, 0.0f, rowWidth, itemHeight - 1.0f, -1, kListItemHeader);
        top = itemHeight;
    }
    std::int32_t index = 0;
    for (KDLLink* link = items.head; link != nullptr; link = link->next, ++index) {
        if (index < topIndex) continue;
        if (top >= height) break;
        DrawItem(canvas, static_cast<const ListItem*>(link->item), 0.0f, top, rowWidth, top + itemHeight - 1.0f, index,
                 index == selection ? kListItemSelected : 0);
        top += itemHeight;
    }
}

void TextListBox::DrawItem(Canvas2D* canvas, const ListItem* item, float left, float top, float right, float bottom,
                           std::int32_t /*index*/, DWORD state) {
    if (canvas == nullptr || item == nullptr) return;
    if (item->text.key == nullptr && item->text.text == nullptr) return;
    const DWORD colour = (state & kListItemSelected) != 0 ? 0xFFFFFFFF
                         : (state & kListItemHeader) != 0 ? 0xBBBBBBBB
                                                          : 0x99999999;
    DrawTextBlockDefault(canvas, left, top, right - left, bottom - top, item->text, colour, kTextRoundPosition, 1.0f);
}
