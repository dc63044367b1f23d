// A layer's part of input: presses and releases of the stylus, typed characters, keys for the
// pressed item, entry from an edge and the arrow keys' search for the nearest item.
#include <algorithm>

#include "dialer/dialog/DialogEvents.h"
#include "dialer/dialog/DialogLayer.h"
#include "dialer/dialog/InputMetrics.h"
#include "dialer/dialog/RectMath.h"
#include "platform/base/Bstr.h"
#include "platform/base/Clock.h"

namespace {

constexpr LONG kVkReturn = 13;
constexpr LONG kActionCode = -1;
// The code a press passes to the element it selects.
constexpr LONG kPointerSelectCode = 0;

bool IsArrow(LONG key) { return key >= 37 && key <= 40; }

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

// A string value of the item's layout object by name; false when it has none.
bool ReadItemString(const CLayerItem& item, LPCWSTR name, std::u16string* text) {
    if (!item.layoutObject) return false;
    BSTR value = nullptr;
    const bool read = item.layoutObject->GetString(name, &value) == S_OK;
    if (read) *text = value != nullptr ? std::u16string(value) : std::u16string();
    SysFreeString(value);
    return read;
}

bool ReadItemFlag(const CLayerItem& item, LPCWSTR name) {
    LONG value = 0;
    return item.layoutObject && item.layoutObject->GetInt(name, &value) == S_OK && value != 0;
}

// The edge an arrow key moves in through: Left enters at the right edge, and so on.
LPCWSTR EntryEdge(LONG key) {
    switch (key) {
        case 37: return u"IsRight";
        case 38: return u"IsBottom";
        case 39: return u"IsLeft";
        case 40: return u"IsTop";
        default: return nullptr;
    }
}

LPCWSTR NeighbourName(LONG key) {
    switch (key) {
        case 37: return u"Left";
        case 38: return u"Up";
        case 39: return u"Right";
        case 40: return u"Down";
        default: return nullptr;
    }
}

}  // namespace

bool CDialogLayer::IsSelectable(const CLayerItem& item) {
    LONG state = 0;
    bool known = false;
    if (item.id != -1 && m_handler) {
        const ItemEventRecord record = MakeRecord(&item);
        if (m_handler->IsItemHidden(&record) == FALSE) known = m_handler->GetItemState(&record, &state) == S_OK;
    }
    if (!known && item.element) known = item.element->GetState(&state) == S_OK;
    return known && state != 0;
}

bool CDialogLayer::HitsItem(const CLayerItem& item, POINT content) {
    RECT rect{};
    return ItemRect(item, false, &rect) && Contains(rect, content);
}

bool CDialogLayer::FitsBox() const {
    return m_bounds.right - m_bounds.left <= m_size.cx && m_bounds.bottom - m_bounds.top <= m_size.cy;
}

RECT CDialogLayer::DialogBounds() const {
    return OffsetRectBy(m_bounds, m_position.x - m_scroll.x, m_position.y - m_scroll.y);
}

bool CDialogLayer::PressedItemDialogRect(RECT* rect) {
    CLayerItem* pressed = PressedItem();
    RECT found{};
    if (pressed == nullptr || !ItemRect(*pressed, false, &found)) return false;
    *rect = OffsetRectBy(found, m_position.x - m_scroll.x, m_position.y - m_scroll.y);
    return true;
}

void CDialogLayer::PointerDown(LONG x, LONG y, BOOL* hit, BOOL* noGesture, bool queryOnly) {
    *hit = FALSE;
    *noGesture = FALSE;
    CInterfacePtr<IDialogLayer> self(this);
    bool taken = false;
    // A press just after the finger left a fling stops the list; it selects nothing.
    const bool guarded = m_lastDragTick != 0 && GetTickCount() - m_lastDragTick <= XmlLayouts::kScrollGuardMs;
    if (!guarded && m_arranged) {
        const POINT content = ToContent(x, y);
        for (std::size_t i = m_arranged->Count(); i-- > 0 && !taken;) {
            CRefPtr<CLayerItem> item(m_arranged->At(i));
            if (IsSelectable(*item)) {
                if (!HitsItem(*item, content)) continue;
                taken = true;
                *hit = TRUE;
                BOOL flag = FALSE;
                if (item->layoutObject && item->layoutObject->GetNoGesture(&flag) == S_OK) *noGesture = flag;
                if (!queryOnly) {
                    SelectItem(item.Get(), kPointerSelectCode, content.x, content.y);
                    InvalidateSite(FALSE);
                }
                continue;
            }
            if (item->element && item->element->IsInactive() != S_OK) continue;
            if (!HitsItem(*item, content)) continue;
            taken = true;
            *noGesture = TRUE;
            if (queryOnly) {
                *hit = TRUE;
                continue;
            }
            // An item that cannot be selected takes the press as a click of its own.
            PressItem(*item, POINT{x, y}, FALSE);
            InvalidateSite(FALSE);
        }
    }
    if (!taken && !queryOnly && PressedItem() != nullptr) SelectItemByName(nullptr);
}

void CDialogLayer::PointerRelease(LONG x, LONG y) {
    CInterfacePtr<IDialogLayer> self(this);
    POINT content = ToContent(x, y);
    if (CRefPtr<CLayerItem> pressed{PressedItem()}) {
        const bool selectable = IsSelectable(*pressed);
        if (selectable && HitsItem(*pressed, content)) {
            if (ReleasePressedItem(reinterpret_cast<LPARAM>(&content)) && PressedItem() == pressed.Get())
                SelectItemByName(nullptr);
        } else if (selectable && m_handler) {
            const ItemEventRecord record = MakeRecord(pressed.Get());
            if (m_handler->OnReleaseOffItem(&record) == S_OK && PressedItem() == pressed.Get())
                SelectItemByName(nullptr);
        }
    }
    if (m_handler && m_handler->Command(0, 0) == S_OK) m_handler->OnPointerReleased(0, 0);
}

bool CDialogLayer::OnCharacter(WCHAR character) {
    CInterfacePtr<IDialogLayer> self(this);
    BOOL handled = FALSE;
    OnPointerEvent(DIALOG_EVENT_CHAR, &handled, character, nullptr);
    if (handled) return true;
    if (!m_arranged || character == 0) return false;
    for (std::size_t i = 0; i < m_arranged->Count(); ++i) {
        CRefPtr<CLayerItem> item(m_arranged->At(i));
        std::u16string keys;
        if (!ReadItemString(*item, u"Key", &keys) || keys.find(character) == std::u16string::npos) continue;
        if (!IsSelectable(*item)) continue;
        m_pressed = item;
        HandleEvent(DIALOG_EVENT_SELECTION_CHANGED, 1, nullptr);
        InvalidateSite(TRUE);
        if (PressPressedItem(kNoPointerPoint, FALSE)) ReleasePressedItem(0);
        return true;
    }
    return false;
}

bool CDialogLayer::KeyToPressedItem(LONG key) {
    CRefPtr<CLayerItem> pressed{PressedItem()};
    if (!pressed) return false;
    CInterfacePtr<IDialogLayer> self(this);
    if (key == kVkReturn || key == kActionCode) {
        InvalidateSite(FALSE);
        if (PressPressedItem(kNoPointerPoint, key == kActionCode ? TRUE : FALSE)) ReleasePressedItem(0);
        return true;
    }
    if (pressed->element) {
        BOOL used = FALSE;
        if (SUCCEEDED(pressed->element->OnKey(static_cast<UINT>(key), &used)) && used) {
            RECT rect{};
            if (ItemRect(*pressed, false, &rect)) EnsureVisible(&rect, nullptr);
            return true;
        }
    }
    // While an item has the focus it owns every key but the arrows.
    if (!IsArrow(key)) return true;
    std::u16string neighbour;
    if (!ReadItemString(*pressed, NeighbourName(key), &neighbour)) return false;
    if (neighbour.empty()) {
        SelectItemByName(nullptr);
        return false;
    }
    for (std::size_t i = m_arranged ? m_arranged->Count() : 0; i-- > 0;) {
        CLayerItem* item = m_arranged->At(i);
        if (item->name != neighbour) continue;
        if (!SelectItem(item, key, 0, 0)) return false;
        InvalidateSite(FALSE);
        return true;
    }
    return false;
}

bool CDialogLayer::EnterByEdge(LONG key) {
    LPCWSTR edge = EntryEdge(key);
    if (edge == nullptr || !m_arranged) return false;
    CInterfacePtr<IDialogLayer> self(this);
    for (std::size_t i = 0; i < m_arranged->Count(); ++i) {
        CRefPtr<CLayerItem> item(m_arranged->At(i));
        if (!ReadItemFlag(*item, edge) || !IsSelectable(*item)) continue;
        if (SelectItem(item.Get(), key, 0, 0)) {
            InvalidateSite(FALSE);
            return true;
        }
    }
    return false;
}

bool CDialogLayer::FindNearest(FocusSearch* search, const CLayerItem* exclude) {
    LONG noNavigation = 0;
    if (m_properties.GetInt(PROPERTY_NO_KBD_NAVIGATION, &noNavigation) && noNavigation != 0) return false;
    if (m_handler) {
        const ItemEventRecord record = MakeRecord(nullptr);
        if (m_handler->QueryNavigation(&record) == S_OK) return false;
    }
    // The search's rectangle in this layer's content coordinates.
    const POINT shift{m_scroll.x - m_position.x, m_scroll.y - m_position.y};
    XmlLayouts::FocusProbe probe;
    if (!m_arranged || !XmlLayouts::MakeFocusProbe(search->from, shift, search->direction, &probe)) return false;
    bool found = false;
    for (std::size_t i = m_arranged->Count(); i-- > 0;) {
        CLayerItem* item = m_arranged->At(i);
        if (item == exclude || !IsSelectable(*item)) continue;
        RECT rect{};
        LONGLONG cost = 0;
        if (!ItemRect(*item, false, &rect) || !XmlLayouts::FocusCost(probe, rect, &cost) || cost >= search->bestCost)
            continue;
        search->bestCost = cost;
        search->bestItem = item;
        search->bestLayer = this;
        found = true;
    }
    return found;
}

bool CDialogLayer::PressPressedItem(POINT point, BOOL mark) {
    CRefPtr<CLayerItem> pressed{PressedItem()};
    return pressed && PressItem(*pressed, point, mark);
}

bool CDialogLayer::PressItem(CLayerItem& item, POINT point, BOOL mark) {
    CRefPtr<CLayerItem> held(&item);
    CInterfacePtr<IDialogLayer> self(this);
    const bool hasPoint = point.x != kNoPointerPoint.x || point.y != kNoPointerPoint.y;
    const POINT content = hasPoint ? ToContent(point.x, point.y) : kNoPointerPoint;
    if (item.id != -1 && m_handler) {
        const ItemEventRecord record = MakeRecord(&item);
        BOOL handled = FALSE;
        if (m_handler->OnItemClick(&record, content, &handled, mark) == S_OK) return true;
    }
    return item.element && item.element->OnPress(content, mark) == S_OK;
}

bool CDialogLayer::ReleasePressedItem(LPARAM argument) {
    CRefPtr<CLayerItem> pressed{PressedItem()};
    if (!pressed) return false;
    CInterfacePtr<IDialogLayer> self(this);
    if (pressed->id != -1 && m_handler) {
        const ItemEventRecord record = MakeRecord(pressed.Get());
        if (m_handler->OnItemRelease(&record, argument) == S_OK) return true;
    }
    return pressed->element && pressed->element->OnRelease(argument) == S_OK;
}
