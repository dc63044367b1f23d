// The locked proxies of the dialog objects: the manager's (its site), a content's, a layer's
// and an item collection's. Each forwards its interface's operations to the object under its
// own lock and answers E_FAIL (FALSE for Invalidate) once the object has gone.
#pragma once

#include "dialer/dialog/DialogContentInterface.h"
#include "dialer/dialog/DialogLayerInterface.h"
#include "dialer/dialog/DialogManagerInterface.h"
#include "dialer/dialog/ItemCollectionInterface.h"
#include "dialer/foundation/LockedProxy.h"

class CDialogManagerProxy : public CLockedProxy<IDialogManager> {
public:
    HRESULT OpenDialog(LPCWSTR name, DWORD flags, IUnknown* parameter) override {
        return Forward(&IDialogManager::OpenDialog, name, flags, parameter);
    }
    HRESULT LoadDialog(LPCWSTR name, IUnknown* parameter, IDialogContent** out) override {
        return Forward(&IDialogManager::LoadDialog, name, parameter, out);
    }
    HRESULT ShowDialog(IUnknown* dialog, DWORD flags) override {
        return Forward(&IDialogManager::ShowDialog, dialog, flags);
    }
    HRESULT CloseTopDialog() override { return Forward(&IDialogManager::CloseTopDialog); }
    HRESULT CloseDialogs(BOOL all) override { return Forward(&IDialogManager::CloseDialogs, all); }
    HRESULT GetContentObject(IDialogContentBase** out) override {
        return Forward(&IDialogManager::GetContentObject, out);
    }
    HRESULT GetWindow(HWND* out) override { return Forward(&IDialogManager::GetWindow, out); }
    BOOL Invalidate(BOOL now) override { return ForwardOr<BOOL>(FALSE, &IDialogManager::Invalidate, now); }
    HRESULT RepaintObject(ILayoutElement* element, BOOL update, const RECT* rect) override {
        return Forward(&IDialogManager::RepaintObject, element, update, rect);
    }
    HRESULT RelayoutActive() override { return Forward(&IDialogManager::RelayoutActive); }
    HRESULT RelayoutDialog(IUnknown* dialog) override { return Forward(&IDialogManager::RelayoutDialog, dialog); }
    HRESULT SetTitle(LPCWSTR text) override { return Forward(&IDialogManager::SetTitle, text); }
    HRESULT GetBackBufferBitmap(HBITMAP* out, BOOL detach) override {
        return Forward(&IDialogManager::GetBackBufferBitmap, out, detach);
    }
    HRESULT RenderContent(IUnknown* dialog, HBITMAP* out, BOOL separate) override {
        return Forward(&IDialogManager::RenderContent, dialog, out, separate);
    }
    HRESULT Animate(IDialogAnimation* animation) override { return Forward(&IDialogManager::Animate, animation); }
    HRESULT GetSize(SIZE* out) override { return Forward(&IDialogManager::GetSize, out); }
    HRESULT CloseFlaggedOverlays() override { return Forward(&IDialogManager::CloseFlaggedOverlays); }
    HRESULT IsTopLayerFlagClear() override { return Forward(&IDialogManager::IsTopLayerFlagClear); }
    HRESULT ActivateLayer(LPCWSTR name) override { return Forward(&IDialogManager::ActivateLayer, name); }
};

class CDialogContentProxy : public CLockedProxy<IDialogContentBase> {
public:
    HRESULT GetName(BSTR* out) override { return Forward(&IDialogContentBase::GetName, out); }
    HRESULT InsertLayer(LPCWSTR anchor, BOOL after, const LayerDescription* description) override {
        return Forward(&IDialogContentBase::InsertLayer, anchor, after, description);
    }
    HRESULT RemoveLayer(LPCWSTR name) override { return Forward(&IDialogContentBase::RemoveLayer, name); }
    HRESULT GetLayer(LPCWSTR name, IDialogLayer** out) override {
        return Forward(&IDialogContentBase::GetLayer, name, out);
    }
    HRESULT GetCacheMode(LONG* out) override { return Forward(&IDialogContentBase::GetCacheMode, out); }
    HRESULT SetCacheMode(LONG mode) override { return Forward(&IDialogContentBase::SetCacheMode, mode); }
    HRESULT SendEvent(UINT code, WPARAM argument, void* data) override {
        return Forward(&IDialogContentBase::SendEvent, code, argument, data);
    }
};

class CDialogLayerProxy : public CLockedProxy<IDialogLayer> {
public:
    HRESULT GetSite(IDialogManager** out) override { return Forward(&IDialogLayer::GetSite, out); }
    HRESULT GetOwner(IUnknown** out) override { return Forward(&IDialogLayer::GetOwner, out); }
    HRESULT GetStandardProperties(IStandardProperties** out) override {
        return Forward(&IDialogLayer::GetStandardProperties, out);
    }
    HRESULT QueryHandler(REFIID iid, void** out) override { return Forward(&IDialogLayer::QueryHandler, iid, out); }
    HRESULT GetName(BSTR* out) override { return Forward(&IDialogLayer::GetName, out); }
    HRESULT GetProxy(IItemCollection** out) override { return Forward(&IDialogLayer::GetProxy, out); }
    HRESULT HandleEvent(UINT code, WPARAM argument, void* data) override {
        return Forward(&IDialogLayer::HandleEvent, code, argument, data);
    }
    HRESULT SelectItemByName(LPCWSTR name) override { return Forward(&IDialogLayer::SelectItemByName, name); }
    HRESULT GetSelectedItemName(BSTR* out) override { return Forward(&IDialogLayer::GetSelectedItemName, out); }
    HRESULT SelectItemById(LONG id, LONG subId) override { return Forward(&IDialogLayer::SelectItemById, id, subId); }
    HRESULT GetSelectedItemIds(LONG* id, LONG* subId) override {
        return Forward(&IDialogLayer::GetSelectedItemIds, id, subId);
    }
    HRESULT DrawPressedHighlight(const PaintContext* context, const RECT* rect) override {
        return Forward(&IDialogLayer::DrawPressedHighlight, context, rect);
    }
    HRESULT GetPosition(POINT* out) override { return Forward(&IDialogLayer::GetPosition, out); }
    HRESULT GetSize(SIZE* out) override { return Forward(&IDialogLayer::GetSize, out); }
    HRESULT GetContentBounds(RECT* out) override { return Forward(&IDialogLayer::GetContentBounds, out); }
    HRESULT SetScroll(POINT scroll) override { return Forward(&IDialogLayer::SetScroll, scroll); }
    HRESULT GetScroll(POINT* out, const POINT* offset) override {
        return Forward(&IDialogLayer::GetScroll, out, offset);
    }
    HRESULT EnsureVisible(const RECT* rect, const POINT* offset) override {
        return Forward(&IDialogLayer::EnsureVisible, rect, offset);
    }
    HRESULT LayerToDialog(POINT* point, const POINT* offset) override {
        return Forward(&IDialogLayer::LayerToDialog, point, offset);
    }
    HRESULT DialogToLayer(POINT* point, const POINT* offset) override {
        return Forward(&IDialogLayer::DialogToLayer, point, offset);
    }
    HRESULT RelayoutInPlace() override { return Forward(&IDialogLayer::RelayoutInPlace); }
    HRESULT SetPosition(POINT position) override { return Forward(&IDialogLayer::SetPosition, position); }
    HRESULT SetSize(SIZE size) override { return Forward(&IDialogLayer::SetSize, size); }
};

class CItemCollectionProxy : public CLockedProxy<IItemCollection> {
public:
    HRESULT GetCount(LONG* out) override { return Forward(&IItemCollection::GetCount, out); }
    HRESULT FindByName(LPCWSTR name, LONG* index) override { return Forward(&IItemCollection::FindByName, name, index); }
    HRESULT FindById(LONG id, LONG* index) override { return Forward(&IItemCollection::FindById, id, index); }
    HRESULT FindByNameAndSubId(LPCWSTR name, LONG subId, LONG* index) override {
        return Forward(&IItemCollection::FindByNameAndSubId, name, subId, index);
    }
    HRESULT FindByIdAndSubId(LONG id, LONG subId, LONG* index) override {
        return Forward(&IItemCollection::FindByIdAndSubId, id, subId, index);
    }
    HRESULT GetElement(LONG index, ILayoutElement** out) override {
        return Forward(&IItemCollection::GetElement, index, out);
    }
    HRESULT GetLayoutObject(LONG index, IStandardProperties** out) override {
        return Forward(&IItemCollection::GetLayoutObject, index, out);
    }
    HRESULT GetOffset(LONG index, POINT* out) override { return Forward(&IItemCollection::GetOffset, index, out); }
    HRESULT GetSubId(LONG index, LONG* out) override { return Forward(&IItemCollection::GetSubId, index, out); }
    HRESULT AddItem(const ItemDescription* description) override {
        return Forward(&IItemCollection::AddItem, description);
    }
    HRESULT InsertItem(LONG index, const ItemDescription* description) override {
        return Forward(&IItemCollection::InsertItem, index, description);
    }
    HRESULT RemoveItem(LONG index) override { return Forward(&IItemCollection::RemoveItem, index); }
};
