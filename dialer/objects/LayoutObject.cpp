// The generic layout objects' shared operations and the paint area they draw in.
#include "dialer/objects/LayoutObject.h"

#include <algorithm>

#include "dialer/foundation/OrmException.h"
#include "dialer/foundation/Services.h"
#include "dialer/layout/LayoutRepository.h"
#include "platform/base/Bstr.h"
#include "platform/base/WideString.h"

namespace {

// The skin name a source gives (empty when it gives none).
std::u16string SkinOf(IStandardProperties* source) {
    BSTR name = nullptr;
    if (source == nullptr || source->GetObjectName(&name) != S_OK || name == nullptr) return {};
    std::u16string text = name;
    SysFreeString(name);
    return text;
}

}  // namespace

CLayoutObject::~CLayoutObject() {
    m_source.Reset();
    m_node.Reset();
    m_host.Reset();
}

HRESULT CLayoutObject::SetSite(IUnknown* host, IUnknown* node) {
    if (host == nullptr || node == nullptr) ThrowOrm(E_INVALIDARG);
    m_host.Reset(host);
    m_node.Reset(node);
    return S_OK;
}

HRESULT CLayoutObject::Attach(IUnknown* source) {
    if (source == nullptr) return E_INVALIDARG;
    CInterfacePtr<IStandardProperties> properties;
    if (FAILED(source->QueryInterface(IID_IStandardProperties, reinterpret_cast<void**>(properties.Receive()))) ||
        !properties)
        return E_INVALIDARG;
    const bool sameSkin = SkinOf(m_source.Get()) == SkinOf(properties.Get());
    m_source = std::move(properties);
    if (!sameSkin) {
        const HRESULT unloaded = Unload();
        if (FAILED(unloaded)) return unloaded;
    }
    return Reload();
}

HRESULT CLayoutObject::OnKey(UINT, BOOL* handled) {
    if (handled == nullptr) ThrowOrm(E_INVALIDARG);
    *handled = FALSE;
    return S_OK;
}

HRESULT CLayoutObject::GetValue(DWORD, LONG* value) {
    if (value == nullptr) return E_INVALIDARG;
    *value = m_value;
    return S_OK;
}

HRESULT CLayoutObject::QueryRect(DWORD, DWORD, RECT* rect, LONG* first, LONG* second) {
    RECT bounds{};
    if (!m_source || m_source->GetBoundRect(&bounds) != S_OK) return E_FAIL;
    if (rect != nullptr) *rect = bounds;
    if (first != nullptr) *first = 0;
    if (second != nullptr) *second = 0;
    return S_OK;
}

LONG CLayoutObject::ReadInt(LPCWSTR name, LONG fallback) const {
    LONG value = fallback;
    if (!m_source || m_source->GetInt(name, &value) != S_OK) return fallback;
    return value;
}

HRESULT CLayoutObject::ReadString(LPCWSTR name, std::u16string* text) const {
    if (!m_source) return E_FAIL;
    BSTR value = nullptr;
    const HRESULT result = m_source->GetString(name, &value);
    if (result == S_OK && value != nullptr) *text = value;
    SysFreeString(value);
    return result == S_OK ? S_OK : (FAILED(result) ? result : E_FAIL);
}

CRefPtr<CResourcePack> CLayoutObject::ImagePack() {
    CRefPtr<CResourcePack> pack = CRefPtr<CResourcePack>::Adopt(GetResourcePack(kLayoutPackName));
    if (!pack) ThrowOrm(E_ORM_FAIL);
    // Images are named by the pack's index.
    CPackAccess use(pack.Get(), true, false);
    return pack;
}

CPaintArea::CPaintArea(const PaintContext* context) : m_context(context) {
    if (context == nullptr || !AttachSurfaceBitmap(m_target, context->bitmap, context->dc)) return;
    m_valid =
        m_view.AttachView(m_target, context->destinationX, context->destinationY, context->width, context->height);
    m_viewOrigin = POINT{std::max<LONG>(context->destinationX, 0), std::max<LONG>(context->destinationY, 0)};
}

RECT CPaintArea::ToDevice(const RECT& content) const {
    const LONG dx = m_context->OffsetX();
    const LONG dy = m_context->OffsetY();
    return RECT{content.left + dx, content.top + dy, content.right + dx, content.bottom + dy};
}

RECT CPaintArea::ToView(const RECT& content) const {
    const RECT device = ToDevice(content);
    return RECT{device.left - m_viewOrigin.x, device.top - m_viewOrigin.y, device.right - m_viewOrigin.x,
                device.bottom - m_viewOrigin.y};
}
