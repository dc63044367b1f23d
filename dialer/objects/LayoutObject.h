// CLayoutObject: the base of the generic layout objects that the object factory makes for
// "Orm.LSP." types. It keeps the item's host and layout node (SetSite), its property source
// (the item's standard-properties reader, set by Attach) and a value word, and answers
// the element operations that the drawn classes share; each class paints, and reloads
// what it draws when its source changes.
#pragma once

#include <string>

#include "dialer/foundation/Unknown.h"
#include "dialer/objects/LayoutElement.h"
#include "dialer/objects/PaintContext.h"
#include "dialer/pack/ResourcePack.h"
#include "dialer/properties/PropertyReader.h"
#include "dialer/surface/DibSurface.h"

class CLayoutObject : public CUnknownImpl<ILayoutElement> {
public:
    // Shared answers of the element operations (in slot order).
    HRESULT Prepare() override { return S_FALSE; }
    // Both are required: a null one throws E_INVALIDARG.
    HRESULT SetSite(IUnknown* host, IUnknown* node) override;
    // The property source (its standard-properties reader). When the new source names
    // another skin than the old one, Unload runs first (a failure is returned); then Reload,
    // whose result is returned. E_INVALIDARG for a null source or one without that reader.
    HRESULT Attach(IUnknown* source) override;
    HRESULT Paint(const ItemEventRecord*, PaintContext*) override { return S_OK; }
    // The value word.
    HRESULT GetState(LONG* state) override { return GetValue(0, state); }
    // The source's bound rectangle (QueryRect).
    HRESULT GetRect(DWORD flags, RECT* rect) override { return QueryRect(0, flags, rect, nullptr, nullptr); }
    HRESULT Measure(HDC, LONG*, LONG*) override { return S_FALSE; }
    // Generic objects are inactive: presses go past them.
    HRESULT IsInactive() override { return S_FALSE; }
    HRESULT Select(LONG, LPARAM, LPARAM) override { return S_OK; }
    // Never uses a key: *handled becomes FALSE (a null out throws E_INVALIDARG).
    HRESULT OnKey(UINT key, BOOL* handled) override;
    HRESULT OnPress(POINT, BOOL) override { return S_OK; }
    HRESULT OnRelease(LPARAM) override { return S_OK; }
    HRESULT Layout(LayoutBlock*) override { return Refresh(); }
    HRESULT HandleEvent(UINT, WPARAM, void*) override { return S_FALSE; }

    // The rectangle of the item's layout object: generic objects have none.
    virtual HRESULT GetItemRect(RECT*) { return E_FAIL; }
    // The value word; E_INVALIDARG for a null out.
    virtual HRESULT GetValue(DWORD flags, LONG* value);
    // The source's bound rectangle; E_FAIL without one. The two optional outs are cleared.
    virtual HRESULT QueryRect(DWORD flags, DWORD rectFlags, RECT* rect, LONG* first, LONG* second);
    // Called by Layout; nothing to refresh in the base.
    virtual HRESULT Refresh() { return S_OK; }
    virtual HRESULT Unload() { return S_OK; }
    // Reads what the object draws from its source.
    virtual HRESULT Reload() { return S_OK; }

    IUnknown* GetHost() const { return m_host.Get(); }
    IStandardProperties* GetSource() const { return m_source.Get(); }

protected:
    ~CLayoutObject() override;
    bool IsOwnInterface(REFIID iid) const override { return iid == IID_ILayoutElement || iid == IID_ILayoutObject; }

    // Typed reads of the source by name: the default when there is no such value.
    LONG ReadInt(LPCWSTR name, LONG fallback) const;
    // S_OK with the text, or the source's failure code.
    HRESULT ReadString(LPCWSTR name, std::u16string* text) const;
    // The pack the images come from ("qa_layouts"), with its index loaded; throws
    // E_ORM_FAIL without one.
    static CRefPtr<CResourcePack> ImagePack();

private:
    CInterfacePtr<IUnknown> m_host;
    CInterfacePtr<IUnknown> m_node;
    CInterfacePtr<IStandardProperties> m_source;
    LONG m_value = 0;
};

// The part of a paint context's target one object may draw on: a view of the target
// bitmap over the context's area, with the mapping from layer content coordinates.
class CPaintArea {
public:
    explicit CPaintArea(const PaintContext* context);
    CPaintArea(const CPaintArea&) = delete;
    CPaintArea& operator=(const CPaintArea&) = delete;

    bool IsValid() const { return m_valid; }
    CDibSurface& Surface() { return m_view; }
    // A content rectangle on the view, and on the target's device context.
    RECT ToView(const RECT& content) const;
    RECT ToDevice(const RECT& content) const;
    const PaintContext& Context() const { return *m_context; }

private:
    const PaintContext* m_context;
    CDibSurface m_target;
    CDibSurface m_view;
    POINT m_viewOrigin{};
    bool m_valid = false;
};
