// ListBox: a vertical list of items, one row each, with a selection and a scroll bar along
// its right edge; TextListBox, the list whose items are texts.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/overlay/widgets/Control.h"

class ScrollBar;

constexpr const char kListBoxClass[] = "ListBoxWndClass";

// Styles: a header row takes the first row; the scroll bar does not narrow the background.
constexpr DWORD kListHeader = 0x400;
constexpr DWORD kListFullBackground = 0x800;

constexpr float kListItemHeight = 26.0f;
constexpr float kListScrollBarWidth = 20.0f;

// Item states given to DrawItem.
constexpr DWORD kListItemSelected = 0x1;
constexpr DWORD kListItemHeader = 0x2;

struct ListItem : EngineAllocated {
    TextRef text;  // not owned
    DWORD spare[2] = {};
};

class ListBox : public Control {
public:
    ListBox() = default;
    ~ListBox() override;

    void OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) override;
    // Enter with a selection reports it: the parent's Notify(1, id, 2, 0).
    void OnKeyUp(std::int32_t key, std::int32_t extra) override;
    void OnPointerDown(float x, float y) override;
    void OnPointerEvent7(std::int32_t value, float x, float y) override;
    void OnPointerEnter(Control* from) override;
    void OnScroll(std::int32_t code, std::int32_t position, Control* source) override;
    void OnGainFocus(Control* previous) override;
    void OnLoseFocus(Control* next) override;
    void OnShow(int shown, int unused) override;
    void Draw(Canvas2D* canvas) override;
    int DrawBackground(Canvas2D* canvas) override;
    // One row; `item` is null for the header row.
    virtual void DrawItem(Canvas2D* canvas, const ListItem* item, float left, float top, float right, float bottom,
                          std::int32_t index, DWORD state) = 0;

    // The list, as many whole rows of 26 as fit (its height cut to them), and its scroll bar.
    // 0 when either cannot be made.
    int CreateList(const TextRef* caption, DWORD style, float x, float y, float width, float height,
                   Control* parent, DWORD id);
    // A row for the text; the scroll range follows. 0 when memory runs out.
    int AddItem(const TextRef& itemText);
    // 0, or -1 for an index below -1 or past the items; the selection is kept visible.
    std::int32_t SetSelection(std::int32_t index);
    // 0, or -1 for an index past the items.
    std::int32_t SetTopIndex(std::int32_t index);
    // The rectangle of a visible row, relative to the list; -1 when it is not visible.
    std::int32_t GetItemRect(std::int32_t index, float& left, float& top, float& right, float& bottom) const;
    std::int32_t ItemCount() const { return static_cast<std::int32_t>(items.count); }
    const ListItem* Item(std::int32_t index) const;
    bool ScrollBarShown() const;

    ScrollBar* scrollBar = nullptr;  // a child of the list
    KDLList items;                   // ListItem, owned
    float itemHeight = 20.0f;
    std::int32_t topIndex = 0;
    std::int32_t selection = -1;
    std::int32_t visibleCount = 0;

private:
    // The parent hears the change: Notify(1, id, (selection << 16) | 1, 0).
    void ReportSelection();
    std::int32_t ScrollMaximum() const;
};

class TextListBox : public ListBox {
public:
    // The item's text wrapped into the row, white when selected, lighter grey for the header,
    // grey otherwise.
    void DrawItem(Canvas2D* canvas, const ListItem* item, float left, float top, float right, float bottom,
                  std::int32_t index, DWORD state) override;
};
