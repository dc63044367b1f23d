// Contents: building a dialog from its layout set, the layer list, events and the active
// layer.
#include "dialer/dialog/DialogContent.h"

#include <algorithm>
#include <new>

#include "dialer/foundation/OrmException.h"
#include "dialer/foundation/Services.h"
#include "platform/base/WideString.h"

namespace XmlLayouts {

namespace {

// Layers whose layout sets insert further layers nest; this many levels are enough for any
// dialog and keep the loading from recursing as deep as a file asks.
constexpr int kMaxLayerNesting = 8;

}  // namespace

CDialogContent::CDialogContent(CDialogLayer* root, IDialogManager* site, LPCWSTR name)
    : m_site(site), m_root(root) {
    if (!m_root || !m_site) ThrowOrm(E_ORM_FAIL);
    if (name != nullptr) m_name = name;
    if (!CreateLockedProxy(&m_proxy, static_cast<IDialogContentBase*>(this))) ThrowOrm(E_OUTOFMEMORY);
    m_root->SetOwner(m_proxy.Get());
}

CDialogContent::~CDialogContent() {
    m_active.Reset();
    std::vector<LayerEntry> layers = std::move(m_layers);
    layers.clear();
    m_root.Reset();
    CWeakLink::Detach(&m_proxy);
    m_site.Reset();
}

CInterfacePtr<CDialogLayer> CDialogContent::CreateLayer(LPCWSTR layout, IDialogManager* site) {
    CRefPtr<CLayoutSet> set = CRefPtr<CLayoutSet>::Adopt(GetLayoutDocument(layout));
    if (!set)
        ThrowOrm(E_ORM_FAIL, std::u16string(u"The layout set ") + (layout != nullptr ? layout : u"(none)") +
                                 u" cannot be had: no layout repository is installed.");
    auto* layer = new (std::nothrow) CDialogLayer(std::move(set), site);
    if (layer == nullptr) ThrowOrm(E_OUTOFMEMORY);
    return CInterfacePtr<CDialogLayer>(layer);
}

CInterfacePtr<CDialogContent> CDialogContent::Load(LPCWSTR name, IDialogManager* site, IUnknown* handler) {
    CInterfacePtr<CDialogLayer> root = CreateLayer(name, site);
    auto* made = new (std::nothrow) CDialogContent(root.Get(), site, name);
    if (made == nullptr) ThrowOrm(E_OUTOFMEMORY);
    CInterfacePtr<CDialogContent> content(made);
    content->m_layers.clear();
    content->m_layers.push_back(LayerEntry{root, {}});
    if (!root->Load(handler)) return {};
    return content;
}

HRESULT CDialogContent::GetName(BSTR* out) {
    if (out == nullptr) return E_INVALIDARG;
    BSTR copy = SysAllocStringLen(m_name.c_str(), static_cast<UINT>(m_name.size()));
    if (copy == nullptr) return E_FAIL;
    *out = copy;
    return S_OK;
}

bool CDialogContent::FindLayerIndex(LPCWSTR name, std::size_t* index) const {
    LPCWSTR wanted = name != nullptr ? name : u"";
    for (std::size_t i = m_layers.size(); i-- > 0;)
        if (_wcsicmp(m_layers[i].layer->Name().c_str(), wanted) == 0) {
            if (index != nullptr) *index = i;
            return true;
        }
    return false;
}

HRESULT CDialogContent::InsertLayer(LPCWSTR anchor, BOOL after, const LayerDescription* description) {
    if (description == nullptr) return E_INVALIDARG;
    std::size_t at = 0;
    if (FindLayerIndex(description->name, nullptr) || !FindLayerIndex(anchor, &at)) return E_FAIL;
    if (m_insertDepth >= kMaxLayerNesting) return E_FAIL;
    CInterfacePtr<CDialogContent> self(this);
    CInterfacePtr<CDialogLayer> layer;
    try {
        layer = CreateLayer(description->layout, m_site.Get());
    } catch (const COrmException&) {
        return E_FAIL;
    }
    layer->SetOwner(m_proxy.Get());
    if (description->name != nullptr) layer->SetName(description->name);
    const std::size_t position = std::min(after ? at + 1 : at, m_layers.size());
    m_layers.insert(m_layers.begin() + static_cast<std::ptrdiff_t>(position), LayerEntry{layer, {}});
    ++m_insertDepth;
    HRESULT result = S_OK;
    try {
        layer->Load(description->handler);
    } catch (const COrmException& error) {
        // A layer that cannot load leaves again, and the dialog shows without it.
        std::size_t index = 0;
        if (FindLayerIndex(description->name, &index) && m_layers[index].layer.Get() == layer.Get())
            m_layers.erase(m_layers.begin() + static_cast<std::ptrdiff_t>(index));
        result = FAILED(error.code) ? error.code : E_FAIL;
    }
    --m_insertDepth;
    return result;
}

HRESULT CDialogContent::RemoveLayer(LPCWSTR name) {
    std::size_t index = 0;
    if (name == nullptr || name[0] == 0 || !FindLayerIndex(name, &index)) return E_INVALIDARG;
    m_layers.erase(m_layers.begin() + static_cast<std::ptrdiff_t>(index));
    return S_OK;
}

HRESULT CDialogContent::GetLayer(LPCWSTR name, IDialogLayer** out) {
    std::size_t index = 0;
    if (!FindLayerIndex(name, &index)) return S_FALSE;
    if (out != nullptr) {
        *out = m_layers[index].layer->Proxy();
        (*out)->AddRef();
    }
    return S_OK;
}

HRESULT CDialogContent::GetCacheMode(LONG* out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = m_cacheMode;
    return S_OK;
}

HRESULT CDialogContent::SetCacheMode(LONG mode) {
    m_cacheMode = mode;
    return S_OK;
}

HRESULT CDialogContent::SendEvent(UINT code, WPARAM argument, void* data) {
    BOOL handled = FALSE;
    DispatchEvent(code, &handled, argument, data);
    return handled ? S_OK : S_FALSE;
}

HRESULT CDialogContent::GetContent(CDialogContent** out) {
    if (out == nullptr) return E_INVALIDARG;
    AddRef();
    *out = this;
    return S_OK;
}

void CDialogContent::DispatchEvent(UINT code, BOOL* handled, WPARAM argument, void* data) {
    BOOL ignored = FALSE;
    if (handled == nullptr) handled = &ignored;
    *handled = FALSE;
    CInterfacePtr<CDialogContent> self(this);
    // By index from the top: a handler may insert or remove layers meanwhile.
    for (std::size_t i = m_layers.size(); i-- > 0;) {
        if (i >= m_layers.size()) continue;
        CInterfacePtr<CDialogLayer> layer = m_layers[i].layer;
        layer->OnPointerEvent(code, handled, argument, data);
        if (*handled) return;
    }
}

HRESULT CDialogContent::SetActiveLayer(CDialogLayer* layer, BOOL ask) {
    if (m_active && m_active.Get() != layer) {
        bool takenOver = false;
        if (ask && layer != nullptr) takenOver = layer->HandlerCommand(reinterpret_cast<WPARAM>(m_proxy.Get()), ask) == S_OK;
        if (!takenOver) m_active->SelectItemByName(nullptr);
    }
    m_active.Reset(layer);
    return S_OK;
}

CInterfacePtr<CDialogContent> GetDialogContent(IUnknown* object) {
    if (object == nullptr) return {};
    CInterfacePtr<IDialogContent> face;
    if (FAILED(object->QueryInterface(IID_IDialogContent, reinterpret_cast<void**>(face.Receive()))) || !face)
        return {};
    CDialogContent* content = nullptr;
    if (FAILED(face->GetContent(&content)) || content == nullptr) return {};
    return CInterfacePtr<CDialogContent>::Adopt(content);
}

}  // namespace XmlLayouts
