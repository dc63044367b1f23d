// Icons cut from icon strips.
#include "dialer/objects/IconObject.h"

#include "dialer/foundation/OrmException.h"

HRESULT CIconObject::Reload() {
    const LONG index = ReadInt(u"Index", 0);
    std::u16string strip;
    const HRESULT found = ReadString(u"Icons", &strip);
    if (found != S_OK) ThrowOrm(found);
    CRefPtr<CResourcePack> pack = ImagePack();
    CMaskedImage image;
    if (!GetPackImage(pack.Get(), strip.c_str(), &image.color, &image.mask, true, PACK_IMAGE_REQUIRE_COLOR))
        ThrowOrm(E_ORM_FAIL);
    const LONGLONG size = GetImageWidth(image);
    if (index < 0 || (index + 1LL) * size > GetImageHeight(image)) ThrowOrm(E_ORM_FAIL);
    m_image = std::move(image);
    m_index = index;
    return S_OK;
}

HRESULT CIconObject::Paint(const ItemEventRecord*, PaintContext* context) {
    RECT bounds{};
    if (QueryRect(0, 0, &bounds, nullptr, nullptr) != S_OK) return S_OK;
    CPaintArea area(context);
    if (!area.IsValid()) return S_OK;
    const RECT rect = area.ToView(bounds);
    const LONG size = GetImageWidth(m_image);
    DrawImageRegion(m_image, area.Surface(), (rect.left + rect.right - size) / 2, (rect.top + rect.bottom - size) / 2,
                    size, size, 0, m_index * size);
    return S_OK;
}
