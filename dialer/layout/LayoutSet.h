// CLayoutSet: one layout-set file as read: its layouts (an unnamed entry whose property
// list holds the set's shared values and whose entry list holds the layouts), the rules
// that choose a layout for the device, and the table of layers that name the dialogs to
// show. Sets never change once read; several dialogs share one.
#pragma once

#include <string>

#include "dialer/foundation/RefCounted.h"
#include "dialer/layout/LayoutEntry.h"
#include "dialer/layout/RuleNode.h"

// A "Layer" element: the layer's name and the dialog it shows.
class CLayerEntry : public CRefCounted {
public:
    CLayerEntry(std::u16string name, std::u16string dialog) : m_name(std::move(name)), m_dialog(std::move(dialog)) {}
    const std::u16string& GetName() const { return m_name; }
    const std::u16string& GetDialog() const { return m_dialog; }

private:
    std::u16string m_name;
    std::u16string m_dialog;
};

class CLayerTable : public CRefCounted {
public:
    // Throws E_OUTOFMEMORY.
    void Append(CRefPtr<CLayerEntry> layer);
    std::size_t GetCount() const { return m_layers.size(); }
    CLayerEntry* GetAt(std::size_t index) const { return index < m_layers.size() ? m_layers[index].Get() : nullptr; }
    // The last layer of that name (compared without case), or null.
    CLayerEntry* FindByName(LPCWSTR name) const;

private:
    std::vector<CRefPtr<CLayerEntry>> m_layers;
};

class CLayoutSet : public CRefCounted {
public:
    CLayoutSet(CRefPtr<CLayoutEntry> layouts, CRefPtr<CRuleNode> rules, CRefPtr<CLayerTable> layers)
        : m_layouts(std::move(layouts)), m_rules(std::move(rules)), m_layers(std::move(layers)) {}

    // The set's shared values are its property list; its entries are the layouts.
    CLayoutEntry* GetLayouts() const { return m_layouts.Get(); }
    const CRuleNode* GetRules() const { return m_rules.Get(); }
    // Null when the file has no "Layers" element.
    CLayerTable* GetLayers() const { return m_layers.Get(); }
    // The layout of that name (the later of two with one name), or null.
    CRefPtr<CLayoutEntry> FindLayout(LPCWSTR name) const;

private:
    CRefPtr<CLayoutEntry> m_layouts;
    CRefPtr<CRuleNode> m_rules;
    CRefPtr<CLayerTable> m_layers;
};
