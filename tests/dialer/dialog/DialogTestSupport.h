// The dialog tests' fixtures: layout sets written inline and served by a layout repository,
// probe elements that paint a colour and log what they are asked, a handler plug-in that
// logs its events and serves data items, a dialog manager stand-in that records repaints,
// and the profiler library stand-in that logs every scope.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dialer/dialog/DialogManager.h"
#include "dialer/dialog/PanelPlugin.h"
#include "dialer/foundation/Services.h"
#include "dialer/objects/LayoutElement.h"
#include "dialer/objects/PaintContext.h"
#include "dialer/properties/PropertyReader.h"
#include "tests/support/TestSupport.h"

namespace dialog_test {

// A layout set with one layout "Main" (its General values and plug-ins as given, and the
// attributes of its element) chosen by default, and the layer table when one is given.
std::string LayoutSet(const std::string& general, const std::string& plugins, const std::string& layers = "",
                      const std::string& layoutAttributes = "");
// A probe plug-in at x, y of w × h filled with colour (0xBBGGRR), with extra children.
std::string Probe(const std::string& name, int x, int y, int w, int h, unsigned colour, const std::string& extra = "");

// What a probe was asked to paint.
struct PaintRecord {
    std::u16string name;
    PaintContext context;
};
std::vector<PaintRecord>& PaintLog();
// Event codes the probes and plug-ins were given, in order, with who got them.
struct EventRecord {
    std::u16string who;
    UINT code;
};
std::vector<EventRecord>& EventLog();

// What the probes were pressed, released and typed: "press Name", "release Name",
// "key Name 65", in order.
std::vector<std::string>& InputLog();

// A probe element ("Test.Probe"): its rectangle is its "BoundRect", it fills it with "Fill"
// and logs the paint, its state is "State" (0 when absent), it refuses the selection when
// "Refuse" is set, answers "Handled" events, throws E_ORM_FAIL on the event "ThrowOn", and
// measures "MeasureW" × "MeasureH" when it has them. Presses, releases and keys go to the
// input log; it takes a press when "TakesPress" is set, a release when "TakesRelease" is,
// and uses the key "UsesKey".
class CProbeElement : public CUnknownImpl<ILayoutElement> {
public:
    HRESULT Prepare() override { return S_FALSE; }
    HRESULT SetSite(IUnknown* host, IUnknown* layer) override;
    HRESULT Attach(IUnknown* layoutObject) override;
    HRESULT Paint(const ItemEventRecord* item, PaintContext* context) override;
    HRESULT GetState(LONG* state) override;
    HRESULT GetRect(DWORD flags, RECT* rect) override;
    HRESULT Measure(HDC dc, LONG* width, LONG* height) override;
    HRESULT IsInactive() override { return S_FALSE; }
    HRESULT Select(LONG code, LPARAM first, LPARAM second) override;
    HRESULT OnKey(UINT key, BOOL* handled) override;
    HRESULT OnPress(POINT, BOOL) override;
    HRESULT OnRelease(LPARAM) override;
    HRESULT Layout(LayoutBlock*) override { return S_OK; }
    HRESULT HandleEvent(UINT code, WPARAM argument, void* data) override;

    LONG Int(LPCWSTR name, LONG fallback) const;
    std::u16string Name() const;

private:
    CInterfacePtr<IStandardProperties> m_properties;
};

// A handler plug-in: logs its events, serves `dataItems` data items (keys 100 + index), throws
// E_ORM_FAIL on the event `throwOn`, and counts the layer records it was given.
class CTestPlugin : public CUnknownImpl<IPanelPlugin> {
public:
    HRESULT GetService(REFIID, void**) override { return S_FALSE; }
    HRESULT OnLayer(const ItemEventRecord* layer) override;
    BOOL IsItemHidden(const ItemEventRecord* item) override;
    HRESULT PaintItem(const ItemEventRecord* item, PaintContext*) override;
    HRESULT GetItemState(const ItemEventRecord*, LONG* state) override;
    HRESULT GetItemRect(const ItemEventRecord*, DWORD, RECT*) override { return S_FALSE; }
    HRESULT QueryNavigation(const ItemEventRecord*) override { return S_FALSE; }
    HRESULT OnReleaseOffItem(const ItemEventRecord*) override { return S_FALSE; }
    HRESULT Reserved() override { return S_FALSE; }
    HRESULT Command(WPARAM, LPARAM) override { return S_FALSE; }
    HRESULT OnPointerReleased(WPARAM, LPARAM) override { return S_OK; }
    HRESULT MeasureItem(const ItemEventRecord*, HDC, LONG*, LONG*) override { return S_FALSE; }
    HRESULT OnLayoutPhase(const ItemEventRecord* layer, LONG phase, LayoutBlock* block) override;
    HRESULT OnItemClick(const ItemEventRecord*, POINT, BOOL*, BOOL) override { return S_FALSE; }
    HRESULT OnItemRelease(const ItemEventRecord*, LPARAM) override { return S_FALSE; }
    HRESULT HandleEvent(const ItemEventRecord* layer, UINT code, WPARAM argument, void* data) override;
    HRESULT GetDataItem(LONG parent, LONG templateId, LONG index, LONG* key) override;

    std::u16string name = u"plugin";
    LONG dataItems = 0;
    UINT throwOn = 0;
    HRESULT accept = S_OK;            // OnLayer's answer
    std::vector<LONG> phases;         // layout phases told
    std::vector<std::pair<UINT, WPARAM>> events;  // events offered
    std::vector<std::u16string> hidden;           // item names it hides
    bool paintsItems = false;                     // PaintItem answers S_OK
    std::vector<std::u16string> painted;          // the items it was asked to paint
    std::function<void(LayoutBlock*)> onArranging;
    std::function<void(UINT)> onEvent;  // called for each event before it is answered
    std::vector<DragEventData> drags;   // the records of the drag events offered
    bool takesDrags = false;            // answers S_OK to drag events
};

// Serves layout sets from text by name (without case); an unknown name throws E_ORM_FAIL as
// the real repository does.
class CTextLayouts : public CLayoutRepositoryService {
public:
    CLayoutSet* GetDocument(LPCWSTR name) override;
    std::map<std::u16string, std::string> sets;
};

// Makes "Test.Probe" and "Test.Plugin" objects, and the framework's own for other names.
class CTestFactory : public CObjectFactoryService {
public:
    IUnknown* CreateObject(LPCWSTR className) override;
};

// Installs the text layouts and the test factory while it lives; the dpi is 96.
class DialogTest : public testing::Test {
protected:
    DialogTest();
    ~DialogTest() override;

    // A manager of width × height (the site proxy ready), with no window.
    CInterfacePtr<XmlLayouts::CDialogManager> MakeManager(LONG width, LONG height);
    // Loads the named dialog (with handler when given) in a manager and lays it out.
    CInterfacePtr<XmlLayouts::CDialogContent> Load(XmlLayouts::CDialogManager* manager, LPCWSTR name,
                                                   IUnknown* handler = nullptr);
    void Define(const std::u16string& name, const std::string& text) { layouts_->sets[name] = text; }

    handset_test::TempHandsetRoot root_;
    CRefPtr<CTextLayouts> layouts_;
    CRefPtr<CTestFactory> factory_;
};

// A plain pop-up window of its own class (registered on first use), at (0, 0).
HWND MakeWindow(LPCWSTR className, int width, int height);

// The RGB565 pixel at x, y of a surface.
std::uint16_t PixelAt(const CDibSurface& surface, LONG x, LONG y);
std::uint16_t Rgb565(unsigned colour);

// A dialog manager that only records: each Invalidate logs the value at `watched`, the tick
// count and the thread's priority.
class CRecordingManager : public CUnknownImpl<IDialogManager> {
public:
    struct Frame {
        LONG position;
        DWORD tick;
        int priority;
    };
    LONG* watched = nullptr;
    std::vector<Frame> frames;
    HWND window = nullptr;

    HRESULT OpenDialog(LPCWSTR, DWORD, IUnknown*) override { return E_NOTIMPL; }
    HRESULT LoadDialog(LPCWSTR, IUnknown*, IDialogContent**) override { return E_NOTIMPL; }
    HRESULT ShowDialog(IUnknown*, DWORD) override { return E_NOTIMPL; }
    HRESULT CloseTopDialog() override { return E_NOTIMPL; }
    HRESULT CloseDialogs(BOOL) override { return E_NOTIMPL; }
    HRESULT GetContentObject(IDialogContentBase**) override { return E_NOTIMPL; }
    HRESULT GetWindow(HWND* out) override {
        *out = window;
        return S_OK;
    }
    BOOL Invalidate(BOOL now) override;
    HRESULT RepaintObject(ILayoutElement*, BOOL, const RECT*) override { return E_NOTIMPL; }
    HRESULT RelayoutActive() override { return E_NOTIMPL; }
    HRESULT RelayoutDialog(IUnknown*) override { return E_NOTIMPL; }
    HRESULT SetTitle(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT GetBackBufferBitmap(HBITMAP*, BOOL) override { return E_NOTIMPL; }
    HRESULT RenderContent(IUnknown*, HBITMAP*, BOOL) override { return E_NOTIMPL; }
    HRESULT Animate(IDialogAnimation*) override { return E_NOTIMPL; }
    HRESULT GetSize(SIZE*) override { return E_NOTIMPL; }
    HRESULT CloseFlaggedOverlays() override { return E_NOTIMPL; }
    HRESULT IsTopLayerFlagClear() override { return E_NOTIMPL; }
    HRESULT ActivateLayer(LPCWSTR) override { return E_NOTIMPL; }
};

// The scopes the profiler stand-in saw, "+name" for a begin and "-name" for an end.
std::vector<std::u16string>& ProfilerLog();

}  // namespace dialog_test
