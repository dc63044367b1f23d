// Skinned buttons with a highlight and a caption.
#include "dialer/objects/ButtonObject.h"

#include "dialer/surface/SurfaceDrawing.h"
#include "platform/base/Bstr.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Text.h"

HRESULT CButtonObject::Reload() {
    std::u16string face;
    const HRESULT named = ReadString(u"Face", &face);
    if (named != S_OK) return named;
    CRefPtr<CResourcePack> pack = ImagePack();
    CMaskedImage image;
    if (!GetPackImage(pack.Get(), face.c_str(), &image.color, &image.mask, true, PACK_IMAGE_REQUIRE_COLOR))
        return E_FAIL;
    m_face = std::move(image);
    m_highlight.Reset();
    std::u16string mask;
    if (ReadString(u"Mask", &mask) == S_OK) {
        CSharedSurface color;
        CSharedSurface highlight;
        if (GetPackImage(pack.Get(), mask.c_str(), &color, &highlight, true, PACK_IMAGE_REQUIRE_MASK))
            m_highlight = std::move(highlight);
    }
    return QueryRect(0, 0, &m_rect, nullptr, nullptr);
}

HRESULT CButtonObject::GetRect(DWORD, RECT* rect) {
    if (rect == nullptr) return E_INVALIDARG;
    *rect = m_rect;
    return S_OK;
}

HRESULT CButtonObject::RefreshText() {
    std::u16string key;
    if (ReadString(u"StringID", &key) != S_OK || GetHost() == nullptr) return S_OK;
    CInterfacePtr<IPropertyReader> strings;
    if (FAILED(GetHost()->QueryInterface(IID_IPropertyReader, reinterpret_cast<void**>(strings.Receive()))) || !strings)
        return S_OK;
    BSTR text = nullptr;
    if (strings->GetString(key.c_str(), &text) == S_OK && text != nullptr) m_caption = text;
    SysFreeString(text);
    return S_OK;
}

HRESULT CButtonObject::Paint(const ItemEventRecord*, PaintContext* context) {
    CPaintArea area(context);
    if (!area.IsValid()) return S_OK;
    const RECT rect = area.ToView(m_rect);
    const LONG width = GetImageWidth(m_face);
    const LONG height = GetImageHeight(m_face);
    const LONG x = (rect.left + rect.right - width) / 2;
    const LONG y = (rect.top + rect.bottom - height) / 2;
    DrawImage(m_face, area.Surface(), x, y);
    if (context->mode != 0 && m_highlight) {
        const LONG maskWidth = m_highlight->GetWidth();
        const LONG maskHeight = m_highlight->GetHeight();
        FillMaskRGB565(area.Surface(), (rect.left + rect.right - maskWidth) / 2,
                       (rect.top + rect.bottom - maskHeight) / 2, maskWidth, maskHeight, 0xFFFFFF, 0, 0, *m_highlight,
                       100);
    }
    if (m_caption.empty() || context->dc == nullptr) return S_OK;
    CDCStateSaver saver(context->dc);
    SetBkMode(context->dc, TRANSPARENT);
    LONG color = 0;
    if (GetSource() != nullptr && GetSource()->GetInt(u"TextColor", &color) == S_OK)
        SetTextColor(context->dc, static_cast<COLORREF>(color));
    HFONT font = nullptr;
    if (GetSource() != nullptr && GetSource()->GetFont(u"TextFont", &font) == S_OK && font != nullptr)
        SelectObject(context->dc, font);
    RECT device = area.ToDevice(m_rect);
    DrawTextW(context->dc, m_caption.c_str(), static_cast<int>(m_caption.size()), &device,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    return S_OK;
}
