// Loading a layer from its layout set and laying it out: the layout chosen by the rules, the
// template items built from it (reusing the element objects of items that keep their name
// and class), the working copies the handler may change, and their arrangement, with the
// handler's repeated data items, into the arranged collection.
#include <algorithm>

#include "dialer/dialog/DialogEvents.h"
#include "dialer/dialog/DialogLayer.h"
#include "dialer/foundation/OrmException.h"
#include "dialer/foundation/Services.h"
#include "dialer/layout/ResolveByRules.h"
#include "dialer/properties/StandardProperties.h"
#include "platform/base/WideString.h"
#include "platform/gdi/DeviceContext.h"

namespace {

// Groups nest in layout files as deep as their authors like; templates deeper than this
// are left out, so that building, arranging and releasing them never recurses further.
constexpr int kMaxTemplateDepth = 16;

std::u16string StringOf(IStandardProperties* properties, HRESULT (IStandardProperties::*read)(BSTR*)) {
    BSTR value = nullptr;
    std::u16string text;
    if ((properties->*read)(&value) == S_OK && value != nullptr) text = value;
    SysFreeString(value);
    return text;
}

// The element object the factory makes for a class, set up for the layer; null when it
// cannot be made or refuses its set-up.
CInterfacePtr<ILayoutElement> MakeElement(const std::u16string& className, IDialogManager* site, IDialogLayer* layer) {
    CInterfacePtr<IUnknown> made = CInterfacePtr<IUnknown>::Adopt(CreateLayoutObject(className.c_str()));
    CInterfacePtr<ILayoutElement> element;
    if (!made || FAILED(made->QueryInterface(IID_ILayoutElement, reinterpret_cast<void**>(element.Receive()))) ||
        !element)
        return {};
    if (FAILED(element->SetSite(site, layer))) return {};
    return element;
}

}  // namespace

void CDialogLayer::ReadProperties(const CRefPtr<CLayoutEntry>& node) {
    m_node = node;
    m_nodeChosen = true;
    m_properties = node ? node->GetProperties() : m_layoutSet->GetLayouts()->GetProperties();
    m_standardProperties.Reset();
}

void CDialogLayer::ChooseNode() {
    CInterfacePtr<IPropertyReader> override;
    if (m_handlerObject)
        m_handlerObject->QueryInterface(IID_IPropertyReader, reinterpret_cast<void**>(override.Receive()));
    CRefPtr<CLayoutEntry> chosen =
        ResolveByRules(m_layoutSet->GetLayouts()->GetEntries(), m_layoutSet->GetRules(), override.Get());
    if (!m_nodeChosen || chosen.Get() != m_node.Get() || !m_templates) {
        ReadProperties(chosen);
        CInterfacePtr<CItemCollection> old = m_templates;
        CInterfacePtr<CItemCollection> built = CItemCollection::Make();
        if (m_node) BuildItems(m_node->GetEntries(), old.Get(), built.Get(), 0);
        m_templates = built;
    }
}

bool CDialogLayer::Load(IUnknown* handler) {
    // The settings of the layout the rules choose for the device; the handler's own answers
    // can change the choice at the first layout pass.
    ReadProperties(ResolveByRules(m_layoutSet->GetLayouts()->GetEntries(), m_layoutSet->GetRules(), nullptr));
    m_handler.Reset();
    m_handlerObject.Reset();
    if (handler != nullptr) {
        m_handlerObject.Reset(handler);
    } else {
        std::u16string className;
        if (m_properties.GetString(PROPERTY_DIALOG_OBJECT, &className) && !className.empty())
            m_handlerObject = CInterfacePtr<IUnknown>::Adopt(CreateLayoutObject(className.c_str()));
    }
    if (m_handlerObject)
        m_handlerObject->QueryInterface(IID_IPanelPlugin, reinterpret_cast<void**>(m_handler.Receive()));
    LoadSubLayers();
    if (!m_handler) return true;
    const ItemEventRecord record = MakeRecord(nullptr);
    return m_handler->OnLayer(&record) == S_OK;
}

void CDialogLayer::LoadSubLayers() {
    const CLayerTable* table = m_layoutSet->GetLayers();
    if (table == nullptr || !m_owner) return;
    // Walked from the last entry to the first. Entries after the empty-named one (this
    // layer) go right after this layer; those before it each go in front of the entry
    // walked before, so that the layers end up in the table's order around this one.
    bool metSelf = false;
    std::u16string anchor = m_name;
    for (std::size_t i = table->GetCount(); i-- > 0;) {
        const CLayerEntry* entry = table->GetAt(i);
        if (entry == nullptr) ThrowOrm(E_ORM_FAIL, u"A layer table entry of the dialog " + m_name + u" is missing.");
        if (entry->GetName().empty()) {
            metSelf = true;
            anchor = m_name;
            continue;
        }
        LayerDescription description;
        description.name = entry->GetName().c_str();
        description.layout = entry->GetDialog().c_str();
        // A layer that cannot be made (its layout set is missing, its name is taken) is left
        // out; the dialog shows without it.
        const HRESULT inserted =
            m_owner->InsertLayer(metSelf ? anchor.c_str() : m_name.c_str(), metSelf ? FALSE : TRUE, &description);
        if (metSelf && (SUCCEEDED(inserted) || m_owner->GetLayer(description.name, nullptr) == S_OK))
            anchor = entry->GetName();
    }
}

void CDialogLayer::TellHandler(LONG phase, LayoutBlock* block) {
    if (!m_handler) return;
    const ItemEventRecord record = MakeRecord(nullptr);
    m_handler->OnLayoutPhase(&record, phase, block);
}

bool CDialogLayer::Layout(const LayoutBlock& block) {
    CInterfacePtr<IDialogLayer> self(this);
    struct Pressed {
        std::u16string name;
        LONG id;
        LONG subId;
    };
    bool wasPressed = false;
    Pressed pressed{};
    if (CLayerItem* item = PressedItem()) {
        pressed = Pressed{item->name, item->id, item->subId};
        wasPressed = true;
        m_pressed.Reset();
    }
    m_position = POINT{block.originX, block.originY};
    m_size = SIZE{block.availableWidth, block.availableHeight};
    ++m_layoutCount;

    LayoutBlock phase = block;
    TellHandler(LAYOUT_PHASE_BEGIN, &phase);
    ChooseNode();
    phase = block;
    TellHandler(LAYOUT_PHASE_TEMPLATES_BUILT, &phase);

    // The old collection's proxy goes dead before the collection is let go: a handler that
    // kept it gets E_FAIL, never freed memory.
    CWeakLink::Detach(&m_arrangedProxy);
    m_arranged = CItemCollection::Make();
    if (!CreateLockedProxy(&m_arrangedProxy, static_cast<IItemCollection*>(m_arranged.Get())))
        ThrowOrm(E_OUTOFMEMORY);
    CInterfacePtr<CItemCollection> working = CItemCollection::Make();
    for (std::size_t i = 0; m_templates && i < m_templates->Count(); ++i)
        working->Append(m_templates->At(i)->Copy());

    phase = block;
    phase.node = m_node.Get();
    phase.items = working.Get();
    TellHandler(LAYOUT_PHASE_ARRANGING, &phase);
    ArrangeItems(block, working.Get());
    SetScrollClamped(m_scroll);

    if (wasPressed) {
        CLayerItem* again = m_arranged->FindSame(pressed.name, pressed.id, pressed.subId);
        m_pressed.Reset(again);
        HandleEvent(DIALOG_EVENT_SELECTION_CHANGED, again != nullptr ? 1 : 0, nullptr);
    }
    phase = block;
    phase.node = m_node.Get();
    phase.items = m_arranged.Get();
    phase.templates = m_templates.Get();
    TellHandler(LAYOUT_PHASE_ARRANGED, &phase);
    return static_cast<bool>(m_node);
}

HRESULT CDialogLayer::RelayoutInPlace() {
    LayoutBlock block;
    block.availableWidth = m_size.cx;
    block.availableHeight = m_size.cy;
    block.originX = m_position.x;
    block.originY = m_position.y;
    SIZE dialog{};
    if (m_site) m_site->GetSize(&dialog);
    block.dialogWidth = dialog.cx;
    block.dialogHeight = dialog.cy;
    try {
        Layout(block);
    } catch (const COrmException& error) {
        return error.code;
    }
    return S_OK;
}

void CDialogLayer::BuildItems(const CEntryList* nodes, CItemCollection* old, CItemCollection* built, int depth) {
    if (nodes == nullptr || depth >= kMaxTemplateDepth) return;
    for (std::size_t i = 0; i < nodes->GetCount(); ++i) {
        CLayoutEntry* node = nodes->GetAt(i);
        std::u16string name;
        if (node == nullptr || !node->GetProperties().GetString(PROPERTY_STRING1, &name)) continue;
        try {
            CRefPtr<CLayerItem> item = CLayerItem::FromDescription(ItemDescription{});
            item->name = name;
            item->layoutObject = CreateStandardProperties(node->GetProperties());
            const std::u16string className = StringOf(item->layoutObject.Get(), &IStandardProperties::GetString2);
            LONG id = -1;
            if (item->layoutObject->GetInt3(&id) == S_OK) item->id = id;
            CLayerItem* reused = nullptr;
            LONG index = -1;
            if (old != nullptr && old->FindByName(name.c_str(), &index) == S_OK) {
                CLayerItem* candidate = old->At(static_cast<std::size_t>(index));
                if (candidate->layoutObject &&
                    _wcsicmp(StringOf(candidate->layoutObject.Get(), &IStandardProperties::GetString2).c_str(),
                             className.c_str()) == 0)
                    reused = candidate;
            }
            if (node->GetEntries() != nullptr) {
                item->children = CItemCollection::Make();
                BuildItems(node->GetEntries(), reused != nullptr ? reused->children.Get() : nullptr,
                           item->children.Get(), depth + 1);
            } else if (reused != nullptr && reused->element) {
                item->element = reused->element;
            } else {
                item->element = MakeElement(className, m_site.Get(), m_proxy.Get());
                if (!item->element) continue;
            }
            built->Append(std::move(item));
        } catch (const COrmException&) {
            // This node gets no item; the others still do.
        }
    }
    for (std::size_t i = built->Count(); i-- > 0;) {
        CLayerItem* item = built->At(i);
        if (!item->element) continue;
        bool refused = true;
        try {
            refused = item->element->Attach(item->layoutObject.Get()) != S_OK;
        } catch (const COrmException&) {
        }
        if (refused) built->RemoveAt(i);
    }
}

void CDialogLayer::ArrangeItems(const LayoutBlock& block, CItemCollection* list) {
    HDC dc = CreateCompatibleDC(nullptr);
    SIZE extent{};
    LayoutBlock elementBlock = block;
    try {
        CDCStateSaver saver(dc);
        ArrangeList(list, dc, &elementBlock, POINT{}, -1, &extent, 0);
    } catch (...) {
        DeleteDC(dc);
        throw;
    }
    DeleteDC(dc);
    m_bounds = RECT{0, 0, extent.cx, extent.cy};
}

void CDialogLayer::ArrangeList(CItemCollection* list, HDC dc, LayoutBlock* block, POINT offset, LONG parent,
                               SIZE* extent, int depth) {
    const SIZE incoming = *extent;
    *extent = SIZE{};
    LONG runX = 0;
    LONG runY = 0;
    for (std::size_t i = 0; list != nullptr && i < list->Count(); ++i) {
        CRefPtr<CLayerItem> item(list->At(i));
        if (item->children) {
            if (!m_handler || depth + 1 >= kMaxTemplateDepth) continue;
            LONG maxSize = -1;
            if (!item->layoutObject || item->layoutObject->GetInt(u"MaxSize", &maxSize) != S_OK) maxSize = -1;
            LONG byHorz = 0;
            const bool horizontal =
                item->layoutObject && item->layoutObject->GetInt(u"ByHorz", &byHorz) == S_OK && byHorz != 0;
            RECT r{};
            if (!item->layoutObject || item->layoutObject->GetBoundRect(&r) != S_OK) r = RECT{};
            for (LONG n = 0; maxSize == -1 || n < maxSize; ++n) {
                LONG key = -1;
                if (m_handler->GetDataItem(parent, item->id, n, &key) != S_OK) break;
                SIZE child{r.right - r.left, r.bottom - r.top};
                ArrangeList(item->children.Get(), dc, block, POINT{offset.x + r.left + runX, offset.y + r.top + runY}, key,
                            &child, depth + 1);
                extent->cx = std::max(extent->cx, r.left + runX + child.cx);
                extent->cy = std::max(extent->cy, r.top + runY + child.cy);
                if (horizontal)
                    runX += child.cx;
                else
                    runY += child.cy;
            }
            continue;
        }
        CRefPtr<CLayerItem> copy = item->Copy();
        copy->subId = parent;
        copy->offsetX = runX;
        copy->offsetY = runY;
        copy->hasFixedRect = FALSE;
        if (copy->element) copy->element->Layout(block);
        RECT rect{};
        bool found = false;
        if (!copy->cull) found = ItemRect(*copy, true, &rect);
        SIZE measured{};
        bool measuredIt = false;
        if (copy->id != -1 && m_handler) {
            const ItemEventRecord record = MakeRecord(copy.Get());
            measuredIt = m_handler->MeasureItem(&record, dc, &measured.cx, &measured.cy) == S_OK;
        }
        if (!measuredIt && copy->element) {
            measured = SIZE{};
            measuredIt = copy->element->Measure(dc, &measured.cx, &measured.cy) == S_OK;
        }
        if (!measuredIt) measured = SIZE{};
        if (found) {
            copy->hasFixedRect = TRUE;
            copy->fixedRect = rect;
            extent->cx = std::max(extent->cx, rect.right + copy->offsetX);
            extent->cy = std::max(extent->cy, rect.bottom + copy->offsetY);
        } else {
            extent->cx += measured.cx;
            extent->cy += measured.cy;
        }
        runX += measured.cx;
        runY += measured.cy;
        copy->offsetX += offset.x;
        copy->offsetY += offset.y;
        m_arranged->Append(std::move(copy));
    }
    extent->cx = std::max({extent->cx, runX, incoming.cx});
    extent->cy = std::max({extent->cy, runY, incoming.cy});
}
