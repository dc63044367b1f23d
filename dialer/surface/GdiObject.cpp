// Deleting held GDI objects, and the shared font cell.
#include "dialer/surface/GdiObject.h"

#include <new>

#include "platform/gdi/GdiObject.h"

CGdiObject& CGdiObject::operator=(CGdiObject&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
}

void CGdiObject::Attach(HGDIOBJ object) {
    if (object == m_object) return;
    Delete();
    m_object = object;
}

bool CGdiObject::Delete() {
    if (m_object == nullptr) return false;
    if (!DeleteObject(m_object)) return false;
    m_object = nullptr;
    return true;
}

CSharedFont MakeSharedFont(CGdiObject&& font) {
    auto* cell = new (std::nothrow) CGdiObject(std::move(font));
    if (cell == nullptr) {
        font.Delete();
        ThrowOrm(E_OUTOFMEMORY);
    }
    return CSharedFont::Make(cell, [](CGdiObject* held) { delete held; });
}
