// The dialog tests' fixtures.
#include "tests/dialer/dialog/DialogTestSupport.h"

#include <cstring>

#include "dialer/foundation/OrmException.h"
#include "dialer/foundation/SharedBuffer.h"
#include "dialer/layout/LayoutRepository.h"
#include "dialer/objects/LayoutObject.h"
#include "dialer/objects/ObjectFactory.h"
#include "dialer/surface/Rgb565.h"
#include "dialer/surface/ScreenDpi.h"
#include "dialer/surface/SurfaceDrawing.h"
#include "platform/base/Clock.h"
#include "platform/base/Library.h"
#include "platform/base/WideString.h"
#include "platform/sync/Thread.h"
#include "platform/user/Window.h"

namespace dialog_test {

namespace {


void LogBegin(LPCWSTR scope) { ProfilerLog().push_back(u"+" + std::u16string(scope)); }
void LogEnd(LPCWSTR scope) { ProfilerLog().push_back(u"-" + std::u16string(scope)); }
void LogFlush(LPCWSTR) {}

// The profiler library is present for the whole test program, before anything loads it.
class ProfilerEnvironment : public testing::Environment {
public:
    void SetUp() override {
        platform::RegisterStandInLibrary(u"ormprofiler.dll",
                                         {{"BeginDuration", 0, reinterpret_cast<FARPROC>(&LogBegin)},
                                          {"EndDuration", 0, reinterpret_cast<FARPROC>(&LogEnd)},
                                          {"Flush", 0, reinterpret_cast<FARPROC>(&LogFlush)}});
    }
};
const testing::Environment* const g_profiler = testing::AddGlobalTestEnvironment(new ProfilerEnvironment);

}  // namespace

std::vector<std::u16string>& ProfilerLog() {
    static std::vector<std::u16string> log;
    return log;
}

std::vector<PaintRecord>& PaintLog() {
    static std::vector<PaintRecord> log;
    return log;
}

std::vector<EventRecord>& EventLog() {
    static std::vector<EventRecord> log;
    return log;
}

std::string LayoutSet(const std::string& general, const std::string& plugins, const std::string& layers,
                      const std::string& layoutAttributes) {
    std::string text = "<Layouts><Layout Name=\"Main\" " + layoutAttributes + "><General>" + general + "</General><Plugins>" + plugins +
                       "</Plugins></Layout><Rules><Default><UseLayout Name=\"Main\"/></Default></Rules>";
    if (!layers.empty()) text += "<Layers>" + layers + "</Layers>";
    return text + "</Layouts>";
}

std::string Probe(const std::string& name, int x, int y, int w, int h, unsigned colour, const std::string& extra) {
    char fill[16];
    std::snprintf(fill, sizeof fill, "%06X", colour);
    return "<Plugin Name=\"" + name + "\" Class=\"Test.Probe\" BoundRect=\"" + std::to_string(x) + "," +
           std::to_string(y) + "," + std::to_string(w) + "," + std::to_string(h) + "\"><Color Name=\"Fill\" Value=\"" +
           fill + "\"/>" + extra + "</Plugin>";
}

HRESULT CProbeElement::SetSite(IUnknown* host, IUnknown* layer) {
    return host != nullptr && layer != nullptr ? S_OK : E_INVALIDARG;
}

HRESULT CProbeElement::Attach(IUnknown* layoutObject) {
    if (layoutObject == nullptr) return E_INVALIDARG;
    m_properties.Reset();
    layoutObject->QueryInterface(IID_IStandardProperties, reinterpret_cast<void**>(m_properties.Receive()));
    return m_properties && Int(u"RefuseAttach", 0) == 0 ? S_OK : E_FAIL;
}

LONG CProbeElement::Int(LPCWSTR name, LONG fallback) const {
    LONG value = fallback;
    if (!m_properties || m_properties->GetInt(name, &value) != S_OK) return fallback;
    return value;
}

std::u16string CProbeElement::Name() const {
    BSTR name = nullptr;
    std::u16string text;
    if (m_properties && m_properties->GetString1(&name) == S_OK && name != nullptr) text = name;
    SysFreeString(name);
    return text;
}

HRESULT CProbeElement::Paint(const ItemEventRecord*, PaintContext* context) {
    PaintLog().push_back(PaintRecord{Name(), *context});
    RECT bounds{};
    if (!m_properties || m_properties->GetBoundRect(&bounds) != S_OK) return S_OK;
    CPaintArea area(context);
    if (!area.IsValid()) return S_OK;
    const RECT rect = area.ToView(bounds);
    FillRectRGB565(area.Surface(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   static_cast<COLORREF>(Int(u"Fill", 0)), static_cast<int>(Int(u"Opacity", 255)));
    return S_OK;
}

HRESULT CProbeElement::GetState(LONG* state) {
    if (state == nullptr) return E_INVALIDARG;
    *state = Int(u"State", 0);
    return S_OK;
}

HRESULT CProbeElement::GetRect(DWORD, RECT* rect) {
    if (rect == nullptr || !m_properties || Int(u"NoRect", 0) != 0) return E_FAIL;
    return m_properties->GetBoundRect(rect) == S_OK ? S_OK : E_FAIL;
}

HRESULT CProbeElement::Measure(HDC, LONG* width, LONG* height) {
    const LONG w = Int(u"MeasureW", -1);
    const LONG h = Int(u"MeasureH", -1);
    if (w < 0 || h < 0) return S_FALSE;
    *width = w;
    *height = h;
    return S_OK;
}

HRESULT CProbeElement::Select(LONG, LPARAM, LPARAM) { return Int(u"Refuse", 0) != 0 ? S_FALSE : S_OK; }

std::vector<std::string>& InputLog() {
    static std::vector<std::string> log;
    return log;
}

namespace {

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

}  // namespace

HRESULT CProbeElement::OnKey(UINT key, BOOL* handled) {
    InputLog().push_back("key " + Narrow(Name()) + " " + std::to_string(key));
    *handled = static_cast<UINT>(Int(u"UsesKey", -1)) == key ? TRUE : FALSE;
    return S_OK;
}

HRESULT CProbeElement::OnPress(POINT, BOOL) {
    InputLog().push_back("press " + Narrow(Name()));
    return Int(u"TakesPress", 0) != 0 ? S_OK : S_FALSE;
}

HRESULT CProbeElement::OnRelease(LPARAM) {
    InputLog().push_back("release " + Narrow(Name()));
    return Int(u"TakesRelease", 0) != 0 ? S_OK : S_FALSE;
}

HRESULT CProbeElement::HandleEvent(UINT code, WPARAM, void*) {
    EventLog().push_back(EventRecord{Name(), code});
    if (static_cast<UINT>(Int(u"ThrowOn", -1)) == code) ThrowOrm(E_ORM_FAIL, u"The probe refuses this event.");
    return static_cast<UINT>(Int(u"Handled", -1)) == code ? S_OK : S_FALSE;
}

HRESULT CTestPlugin::OnLayer(const ItemEventRecord* layer) {
    return layer != nullptr && layer->site != nullptr && layer->layer != nullptr ? accept : E_INVALIDARG;
}

BOOL CTestPlugin::IsItemHidden(const ItemEventRecord* item) {
    for (const std::u16string& name : hidden)
        if (item->name != nullptr && name == item->name) return TRUE;
    return FALSE;
}

HRESULT CTestPlugin::PaintItem(const ItemEventRecord* item, PaintContext*) {
    painted.push_back(item->name != nullptr ? item->name : u"");
    return paintsItems ? S_OK : S_FALSE;
}

HRESULT CTestPlugin::GetItemState(const ItemEventRecord*, LONG* state) {
    *state = 1;
    return S_OK;
}

HRESULT CTestPlugin::OnLayoutPhase(const ItemEventRecord*, LONG phase, LayoutBlock* block) {
    phases.push_back(phase);
    if (phase == LAYOUT_PHASE_ARRANGING && onArranging) onArranging(block);
    return S_FALSE;
}

HRESULT CTestPlugin::HandleEvent(const ItemEventRecord*, UINT code, WPARAM argument, void* data) {
    events.emplace_back(code, argument);
    if (code == DIALOG_EVENT_DRAG && data != nullptr) {
        drags.push_back(*static_cast<const DragEventData*>(data));
        if (takesDrags) return S_OK;
    }
    EventLog().push_back(EventRecord{name, code});
    if (onEvent) onEvent(code);
    if (throwOn != 0 && code == throwOn) ThrowOrm(E_ORM_FAIL, u"The plug-in refuses this event.");
    return S_FALSE;
}

HRESULT CTestPlugin::GetDataItem(LONG, LONG, LONG index, LONG* key) {
    if (index >= dataItems) return S_FALSE;
    *key = 100 + index;
    return S_OK;
}

CLayoutSet* CTextLayouts::GetDocument(LPCWSTR name) {
    if (name == nullptr) ThrowOrm(E_INVALIDARG);
    for (const auto& [key, text] : sets) {
        if (_wcsicmp(key.c_str(), name) != 0) continue;
        CSharedBuffer bytes = MakeSharedArray<BYTE>(text.size());
        std::memcpy(bytes.Data(), text.data(), text.size());
        return ParseLayoutSetFile(bytes, key).Detach();
    }
    ThrowOrm(E_ORM_FAIL, std::u16string(name) + u": no such layout set.");
}

IUnknown* CTestFactory::CreateObject(LPCWSTR className) {
    if (className != nullptr && std::u16string(className) == u"Test.Probe") {
        auto* probe = new CProbeElement();
        probe->AddRef();
        return static_cast<ILayoutElement*>(probe);
    }
    if (className != nullptr && std::u16string(className) == u"Test.Plugin") {
        auto* plugin = new CTestPlugin();
        plugin->AddRef();
        return static_cast<IPanelPlugin*>(plugin);
    }
    return CObjectFactory().CreateObject(className);
}

DialogTest::DialogTest() : layouts_(new CTextLayouts()), factory_(new CTestFactory()) {
    SetScreenDpi(kLayoutDpi, kLayoutDpi);
    CRefPtr<CLayoutRepositoryService> layouts(layouts_.Get());
    SetLayoutRepository(layouts.Holder());
    CRefPtr<CObjectFactoryService> factory(factory_.Get());
    SetObjectFactory(factory.Holder());
    PaintLog().clear();
    EventLog().clear();
    InputLog().clear();
}

DialogTest::~DialogTest() {
    SetLayoutRepository(nullptr);
    SetObjectFactory(nullptr);
}

CInterfacePtr<XmlLayouts::CDialogManager> DialogTest::MakeManager(LONG width, LONG height) {
    XmlLayouts::CDialogManager* made = nullptr;
    XmlLayouts::CreateDialogManager(&made);
    EXPECT_NE(made, nullptr);
    CInterfacePtr<XmlLayouts::CDialogManager> manager = CInterfacePtr<XmlLayouts::CDialogManager>::Adopt(made);
    manager->SetSize(width, height);
    return manager;
}

CInterfacePtr<XmlLayouts::CDialogContent> DialogTest::Load(XmlLayouts::CDialogManager* manager, LPCWSTR name,
                                                           IUnknown* handler) {
    CInterfacePtr<IDialogContent> face;
    EXPECT_EQ(manager->LoadDialog(name, handler, face.Receive()), S_OK);
    CInterfacePtr<XmlLayouts::CDialogContent> content = XmlLayouts::GetDialogContent(face.Get());
    if (content) content->Layout(manager->Width(), manager->Height(), LAYOUT_MODE_NORMAL);
    return content;
}

HWND MakeWindow(LPCWSTR className, int width, int height) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, u"", WS_POPUP, 0, 0, width, height, nullptr, nullptr, nullptr, nullptr);
}

std::uint16_t PixelAt(const CDibSurface& surface, LONG x, LONG y) {
    return reinterpret_cast<const std::uint16_t*>(surface.Row(y))[x];
}

std::uint16_t Rgb565(unsigned colour) { return PackColor565(colour); }

BOOL CRecordingManager::Invalidate(BOOL) {
    frames.push_back(Frame{watched != nullptr ? *watched : 0, GetTickCount(), GetThreadPriority(GetCurrentThread())});
    return TRUE;
}

}  // namespace dialog_test
