// Layout-set files: blocks of values and layout elements, layouts with their plug-ins and
// groups, inheritance through "Extends", and the set's rules and layers.
#include "dialer/layout/LayoutReader.h"

#include <new>
#include <string>
#include <vector>

#include "dialer/foundation/OrmException.h"
#include "dialer/layout/DeviceConditions.h"
#include "dialer/layout/SkinName.h"
#include "dialer/properties/PropertyReader.h"
#include "dialer/properties/ValueReader.h"
#include "platform/base/WideString.h"

namespace {

bool NameIs(LPCWSTR name, LPCWSTR wanted) { return name != nullptr && wcscmp(name, wanted) == 0; }

// The value reader of layout blocks: value elements as every reader reads them, and the
// layout elements through ReadOther.
class CLayoutValueReader : public CScaledValueReader {
public:
    using CScaledValueReader::CScaledValueReader;

    void ReadOther(LPCWSTR elementName, const CXmlElement& element, CPropertyList& list) override {
        if (elementName == nullptr) return;
        if (NameIs(elementName, u"BoundRect") || NameIs(elementName, u"DialogRect")) {
            RECT rect{};
            if (ReadRect(element, &rect))
                AddRectProperty(list, NameIs(elementName, u"BoundRect") ? PROPERTY_BOUND_RECT : PROPERTY_DIALOG_RECT,
                                rect);
        } else if (NameIs(elementName, u"LeftTop") || NameIs(elementName, u"Center")) {
            POINT point{};
            if (ReadPoint(element, &point))
                AddPointProperty(list, NameIs(elementName, u"LeftTop") ? PROPERTY_LEFT_TOP : PROPERTY_CENTER, point);
        } else if (NameIs(elementName, u"NoGesture") || NameIs(elementName, u"NoKbdNavigation")) {
            LONG value = 0;
            const bool set = ReadInt(element, &value) && value != 0;
            AddIntProperty(list, NameIs(elementName, u"NoGesture") ? PROPERTY_NO_GESTURE : PROPERTY_NO_KBD_NAVIGATION,
                           set ? 1 : 0);
        } else if (NameIs(elementName, u"DefaultFont")) {
            ReadDefaultFont(element, list);
        } else if (NameIs(elementName, u"ScrollY")) {
            std::u16string value;
            ReadString(element, &value);
            LONG mode = 0;
            if (_wcsicmp(value.c_str(), u"Auto") == 0)
                mode = 2;
            else if (_wcsicmp(value.c_str(), u"On") == 0)
                mode = 1;
            AddIntProperty(list, PROPERTY_SCROLL_Y, mode);
        } else if (NameIs(elementName, u"DialogObject")) {
            std::u16string value;
            if (ReadString(element, &value)) AddStringProperty(list, PROPERTY_DIALOG_OBJECT, value);
        } else if (NameIs(elementName, u"LayerAlign")) {
            ReadLayerAlign(element, list);
        } else if (NameIs(elementName, u"Skin")) {
            LPCWSTR skin = GetSkinName(element, GetScale() != FALSE);
            if (skin == nullptr) return;
            LPCWSTR name = element.GetAttributeValue(u"Name");
            if (name != nullptr)
                AddStringProperty(list, name, skin);
            else
                AddStringProperty(list, PROPERTY_SKIN, skin);
        }
    }

private:
    void ReadDefaultFont(const CXmlElement& element, CPropertyList& list) {
        // The font as written (its "Color" is required), then the same face bold and normal.
        CGdiObject written;
        DWORD color = 0;
        ReadFont(element, &written, 0, &color);
        CSharedFont fonts[3] = {MakeSharedFont(std::move(written)), {}, {}};
        const LONG weights[2] = {700, 400};
        for (int i = 0; i < 2; ++i) {
            CGdiObject weighted;
            ReadFont(element, &weighted, weights[i], nullptr);
            fonts[i + 1] = MakeSharedFont(std::move(weighted));
        }
        AddFontProperty(list, PROPERTY_FONT9, fonts[0]);
        AddFontProperty(list, PROPERTY_FONT10, fonts[1]);
        AddFontProperty(list, PROPERTY_FONT11, fonts[2]);
        AddIntProperty(list, PROPERTY_DEFAULT_FONT, static_cast<LONG>(color));
    }

    void ReadLayerAlign(const CXmlElement& element, CPropertyList& list) {
        std::u16string value;
        ReadString(element, &value);
        if (!value.empty()) {
            static constexpr LPCWSTR kSides[] = {u"Left", u"Right", u"Top", u"Bottom", u"Screen"};
            LONG side = 0;
            for (LONG i = 0; i < 5; ++i)
                if (_wcsicmp(value.c_str(), kSides[i]) == 0) side = i + 1;
            AddIntProperty(list, PROPERTY_LAYER_ALIGN, side);
        }
        const struct {
            LPCWSTR attribute;
            int key;
        } numbers[] = {{u"Clip", PROPERTY_CLIP}, {u"Cache", PROPERTY_CACHE}, {u"FromTop", PROPERTY_FROM_TOP}};
        for (const auto& number : numbers) {
            LONG parsed = 0;
            if (ParseDecimalValue(element.GetAttributeValue(number.attribute), &parsed))
                AddIntProperty(list, number.key, parsed);
        }
    }
};

// A plug-in, group or general block: its attributes, then its children.
void ReadObjectBlock(CLayoutValueReader& reader, const CXmlElement& element, CPropertyList& list) {
    if (LPCWSTR skin = GetSkinName(element, reader.GetScale() != FALSE)) AddStringProperty(list, PROPERTY_SKIN, skin);
    if (LPCWSTR className = element.GetAttributeValue(u"Class")) AddStringProperty(list, PROPERTY_STRING2, className);
    if (LPCWSTR bounds = element.GetAttributeValue(u"BoundRect")) {
        RECT rect{};
        reader.ParseRectText(bounds, &rect);
        AddRectProperty(list, PROPERTY_BOUND_RECT, rect);
    }
    LONG id = 0;
    if (ParseDecimalValue(element.GetAttributeValue(u"ID"), &id)) AddIntProperty(list, PROPERTY_INT3, id);
    if (LPCWSTR bold = element.GetAttributeValue(u"BoldFont"))
        AddIntProperty(list, PROPERTY_FLAG8, _wcsicmp(bold, u"n") == 0 ? 0 : 1);
    ParseValueElement(reader, element, list);
}

bool IsGroup(const CLayoutEntry& entry) { return entry.GetEntries() != nullptr; }

CRefPtr<CLayoutEntry> MakeEntry(const std::u16string& name, CPropertyList properties, bool group) {
    CRefPtr<CEntryList> entries;
    if (group) {
        auto* list = new (std::nothrow) CEntryList();
        if (list == nullptr) ThrowOrm(E_OUTOFMEMORY);
        entries.Reset(list);
    }
    auto* entry = new (std::nothrow) CLayoutEntry(name, std::move(properties), std::move(entries));
    if (entry == nullptr) ThrowOrm(E_OUTOFMEMORY);
    return CRefPtr<CLayoutEntry>(entry);
}

// The properties of an entry copied from a base layout: the base entry's list, with the
// copying layout's own general values in front when it has any.
CPropertyList WithGeneral(const CPropertyList& base, const CPropertyList& general) {
    CPropertyList list = base;
    AddGroup(list, general);
    return list;
}

class CLayoutSetReader {
public:
    explicit CLayoutSetReader(const std::u16string& sourceName) : m_sourceName(sourceName), m_pocketPC(IsPocketPC()) {}

    CRefPtr<CLayoutSet> Read(const CXmlDocument& document) {
        const CXmlElement layouts = document.GetRoot().SelectPath(u"Layouts", u"/");
        CPropertyList shared;
        CXmlElement general = layouts;
        if (layouts.IsValid() && general.FindChild(u"General")) {
            CLayoutValueReader reader(m_pocketPC ? TRUE : FALSE);
            ReadObjectBlock(reader, general, shared);
        }
        CRefPtr<CLayoutEntry> root = MakeEntry(u"", shared, true);
        CXmlElement layout = layouts;
        if (layouts.IsValid() && layout.FindChild(u"Layout")) {
            do {
                LPCWSTR name = layout.GetAttributeValue(u"Name");
                CRefPtr<CLayoutEntry> entry = MakeEntry(name != nullptr ? name : u"", shared, true);
                ReadLayout(entry, shared, layout, *root->GetEntries());
                root->GetEntries()->Append(entry.Get());
            } while (layout.NextSibling(u"Layout"));
        }
        CRefPtr<CLayerTable> layers;
        CXmlElement layersElement = layouts;
        if (layouts.IsValid() && layersElement.FindChild(u"Layers")) layers = ReadLayers(layersElement);
        auto* set = new (std::nothrow) CLayoutSet(root, ReadRules(layouts), layers);
        if (set == nullptr) ThrowOrm(E_OUTOFMEMORY);
        return CRefPtr<CLayoutSet>(set);
    }

private:
    // One layout or group being read. Groups nest, so frames are kept on a stack of their
    // own instead of the call stack.
    struct Frame {
        CRefPtr<CLayoutEntry> entry;
        CPropertyList inherited;
        CXmlElement element;
        BOOL scale = FALSE;
        CPropertyList general;  // this layout's own "General" values (may be empty)
        CXmlElement plugins;    // the "Plugins" block being read
        bool hasPlugins = false;
        int child = 0;  // the next child of that block
    };

    [[noreturn]] void FailLoop(const std::u16string& what, const std::u16string& name) const {
        ThrowOrm(E_ORM_FAIL, m_sourceName + u": the " + what + u" \"" + name +
                                 u"\" extends itself; an Extends chain must not loop.");
    }

    // An "Extends" that names the layout or group being read, or one that holds it.
    void CheckNotEnclosing(LPCWSTR extends, const std::vector<Frame>& stack) const {
        for (const Frame& frame : stack)
            if (_wcsicmp(frame.entry->GetName().c_str(), extends) == 0)
                FailLoop(stack.size() == 1 ? u"layout" : u"group", stack.back().entry->GetName());
    }

    // The layout "Extends" names among those read so far, when it has a plug-in list.
    CRefPtr<CLayoutEntry> BaseLayout(const CXmlElement& plugins, const CEntryList& layouts,
                                     const std::vector<Frame>& stack) const {
        LPCWSTR extends = plugins.GetAttributeValue(u"Extends");
        if (extends == nullptr) return {};
        CheckNotEnclosing(extends, stack);
        CRefPtr<CLayoutEntry> base = layouts.FindByName(extends);
        return base && IsGroup(*base) ? base : CRefPtr<CLayoutEntry>();
    }

    void ReadLayout(CRefPtr<CLayoutEntry> entry, const CPropertyList& inherited, const CXmlElement& element,
                    const CEntryList& layouts) {
        std::vector<Frame> stack;
        Begin(stack, std::move(entry), inherited, element, layouts);
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (!frame.hasPlugins) {
                stack.pop_back();
                continue;
            }
            if (frame.child >= frame.plugins.GetChildCount()) {
                frame.hasPlugins = frame.plugins.NextSibling(u"Plugins");
                frame.child = 0;
                if (frame.hasPlugins) CopyBase(frame, layouts, stack);
                continue;
            }
            const CXmlElement child = frame.plugins.GetChild(frame.child++);
            if (CRefPtr<CLayoutEntry> group = ReadChild(frame, child)) {
                // A group is read as a layout of its own before the next child; `frame` is
                // not used after the stack grows.
                const CPropertyList groupInherited = frame.inherited;
                Begin(stack, group, groupInherited, child, layouts);
            }
        }
    }

    // Steps of a layout or group before its plug-ins: scaling, the base layout's list as the
    // inherited one, the general values, and the first "Plugins" block.
    void Begin(std::vector<Frame>& stack, CRefPtr<CLayoutEntry> entry, const CPropertyList& inherited,
               const CXmlElement& element, const CEntryList& layouts) {
        Frame frame;
        frame.entry = std::move(entry);
        frame.inherited = inherited;
        frame.element = element;
        LONG dontScale = 0;
        ParseDecimalValue(element.GetAttributeValue(u"DontScale"), &dontScale);
        frame.scale = m_pocketPC && dontScale == 0 ? TRUE : FALSE;
        stack.push_back(frame);
        Frame& pushed = stack.back();

        CXmlElement plugins = element;
        pushed.hasPlugins = plugins.FindChild(u"Plugins");
        if (pushed.hasPlugins)
            if (CRefPtr<CLayoutEntry> base = BaseLayout(plugins, layouts, stack))
                pushed.inherited = base->GetProperties();
        CXmlElement general = element;
        if (general.FindChild(u"General")) {
            CLayoutValueReader reader(pushed.scale);
            ReadObjectBlock(reader, general, pushed.general);
            AddGroup(pushed.inherited, pushed.general);
            AddGroup(pushed.entry->GetProperties(), pushed.general);
        }
        pushed.plugins = plugins;
        if (pushed.hasPlugins) CopyBase(pushed, layouts, stack);
    }

    // "Plugins Extends": every entry of the base layout is copied into this one, groups
    // with new lists of their own, walked without recursion.
    void CopyBase(Frame& frame, const CEntryList& layouts, const std::vector<Frame>& stack) {
        CRefPtr<CLayoutEntry> base = BaseLayout(frame.plugins, layouts, stack);
        if (!base) return;
        std::vector<std::pair<const CEntryList*, CEntryList*>> pending{{base->GetEntries(), frame.entry->GetEntries()}};
        while (!pending.empty()) {
            auto [from, to] = pending.back();
            pending.pop_back();
            for (std::size_t i = 0; i < from->GetCount(); ++i) {
                const CLayoutEntry* original = from->GetAt(i);
                CRefPtr<CLayoutEntry> copy = MakeEntry(
                    original->GetName(), WithGeneral(original->GetProperties(), frame.general), IsGroup(*original));
                to->Append(copy.Get());
                if (IsGroup(*original)) pending.emplace_back(original->GetEntries(), copy->GetEntries());
            }
        }
    }

    // A "Plugin" or "Group" child of a "Plugins" block; returns the group entry whose own
    // layout is to be read next.
    CRefPtr<CLayoutEntry> ReadChild(Frame& frame, const CXmlElement& child) {
        const bool group = NameIs(child.GetName(), u"Group");
        if (!group && !NameIs(child.GetName(), u"Plugin")) return {};
        LPCWSTR name = child.GetAttributeValue(u"Name");
        if (name == nullptr) return {};
        CEntryList& entries = *frame.entry->GetEntries();
        CRefPtr<CLayoutEntry> entry = entries.FindByName(name);
        if (entry && IsGroup(*entry) != group) return {};
        if (!entry) {
            CPropertyList properties = frame.inherited;
            if (LPCWSTR extends = child.GetAttributeValue(u"Extends")) {
                if (_wcsicmp(extends, name) == 0) FailLoop(group ? u"group" : u"plug-in", name);
                if (CRefPtr<CLayoutEntry> base = entries.FindByName(extends)) properties = base->GetProperties();
            }
            AddStringProperty(properties, PROPERTY_STRING1, name);
            entry = MakeEntry(name, properties, group);
            entries.Append(entry.Get());
        }
        CLayoutValueReader reader(frame.scale);
        ReadObjectBlock(reader, child, entry->GetProperties());
        return group ? entry : CRefPtr<CLayoutEntry>();
    }

    CRefPtr<CLayerTable> ReadLayers(const CXmlElement& layersElement) {
        auto* table = new (std::nothrow) CLayerTable();
        if (table == nullptr) ThrowOrm(E_OUTOFMEMORY);
        CRefPtr<CLayerTable> layers(table);
        CXmlElement layer = layersElement;
        if (layer.FindChild(u"Layer")) {
            do {
                LPCWSTR name = layer.GetAttributeValue(u"Name");
                LPCWSTR dialog = layer.GetAttributeValue(u"Dialog");
                auto* entry =
                    new (std::nothrow) CLayerEntry(name != nullptr ? name : u"", dialog != nullptr ? dialog : u"");
                if (entry == nullptr) ThrowOrm(E_OUTOFMEMORY);
                layers->Append(CRefPtr<CLayerEntry>(entry));
            } while (layer.NextSibling(u"Layer"));
        }
        return layers;
    }

    const std::u16string& m_sourceName;
    const bool m_pocketPC;
};

}  // namespace

CRefPtr<CLayoutSet> ReadLayoutSet(const CXmlDocument& document, const std::u16string& sourceName) {
    try {
        return CLayoutSetReader(sourceName).Read(document);
    } catch (const std::bad_alloc&) {
        ThrowOrm(E_OUTOFMEMORY);
    }
}
