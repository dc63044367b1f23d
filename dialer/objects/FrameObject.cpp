// Frames drawn with border skins.
#include "dialer/objects/FrameObject.h"

#include "dialer/foundation/OrmException.h"

HRESULT CFrameObject::Reload() {
    m_offsetLeft = ReadInt(u"OffsetLeft", 0);
    m_offsetTop = ReadInt(u"OffsetTop", 0);
    m_offsetRight = ReadInt(u"OffsetRight", 0);
    m_offsetBottom = ReadInt(u"OffsetBottom", 0);
    std::u16string border = u"Border";
    ReadString(u"Border", &border);
    CRefPtr<CResourcePack> pack = ImagePack();
    CSkinImage skin;
    if (!GetPackImage(pack.Get(), border.c_str(), &skin.image.color, &skin.image.mask, true,
                      PACK_IMAGE_REQUIRE_COLOR | PACK_IMAGE_REQUIRE_MASK))
        return E_FAIL;
    LONG opacity = 0;
    if (GetSource()->GetInt(u"BackgrdOpacity", &opacity) != S_OK &&
        !pack->GetValues().GetInt(u"BackgrdOpacity", &opacity))
        ThrowOrm(E_ORM_FAIL);
    skin.centerOpacity = static_cast<DWORD>(opacity);
    m_skin = std::move(skin);
    return S_OK;
}

HRESULT CFrameObject::Paint(const ItemEventRecord*, PaintContext* context) {
    RECT frame{};
    if (QueryRect(0, 0, &frame, nullptr, nullptr) != S_OK) return S_OK;
    CPaintArea area(context);
    if (!area.IsValid()) return S_OK;
    const DWORD stretch = static_cast<DWORD>(ReadInt(u"StretchFlags", 0));
    if (stretch != 0) {
        // An edge whose bit is clear follows the painted area (content coordinates).
        const PaintContext& paint = area.Context();
        if ((stretch & SKIN_EDGE_LEFT) == 0) frame.left = paint.sourceX;
        if ((stretch & SKIN_EDGE_TOP) == 0) frame.top = paint.sourceY;
        if ((stretch & SKIN_EDGE_RIGHT) == 0) frame.right = paint.sourceX + paint.width;
        if ((stretch & SKIN_EDGE_BOTTOM) == 0) frame.bottom = paint.sourceY + paint.height;
    }
    frame.left += m_offsetLeft;
    frame.top += m_offsetTop;
    frame.right -= m_offsetRight;
    frame.bottom -= m_offsetBottom;
    const RECT rect = area.ToView(frame);
    const DWORD edges = static_cast<DWORD>(ReadInt(u"DrawFlags", 15));
    DrawSkinImage(m_skin, area.Surface(), rect.left, rect.top, rect.right, rect.bottom, edges, true, -1);
    return S_OK;
}
