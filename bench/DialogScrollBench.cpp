// Scrolling a list layer of 1,000 rows by 10 pixels a frame through the dialog manager, with
// the layer's scroll cache (the content's cache mode 3, as while a finger drags it) against the
// plain way, a full repaint of the same list every frame (no cache), measured in the same run.
// A row draws what the dialer's list rows draw: its background, an icon blended through an
// 8-bit mask and a line of text. Goal: a cached frame under 2 ms on one core.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>

#include "bench/BenchCompare.h"
#include "dialer/dialog/DialogContent.h"
#include "dialer/dialog/DialogManager.h"
#include "dialer/foundation/Services.h"
#include "dialer/layout/LayoutRepository.h"
#include "dialer/objects/LayoutObject.h"
#include "dialer/objects/ObjectFactory.h"
#include "dialer/surface/ScreenDpi.h"
#include "dialer/surface/SurfaceDrawing.h"
#include "platform/base/WideString.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Text.h"

namespace {

constexpr LONG kWidth = 480;
constexpr LONG kHeight = 696;
constexpr int kRows = 1000;
constexpr LONG kRowHeight = 48;
constexpr LONG kStep = 10;

// What every row shares: the icon, its mask and the font.
struct RowArt {
    CDibSurface icon;
    CDibSurface mask;
    HFONT font = nullptr;
    RowArt() {
        CreateDibSurface(icon, 32, 32, DIB_FORMAT_RGB565);
        CreateDibSurface(mask, 32, 32, DIB_FORMAT_MASK8);
        FillRectRGB565(icon, 0, 0, 32, 32, RGB(60, 140, 220), 255);
        for (LONG y = 0; y < 32; ++y)
            for (LONG x = 0; x < 32; ++x) {
                const double distance = std::hypot(x + 0.5 - 16.0, y + 0.5 - 16.0);
                mask.Row(y)[x] = static_cast<BYTE>(std::fmin(1.0, std::fmax(0.0, 15.0 - distance)) * 255.0);
            }
        LOGFONTW description{};
        description.lfHeight = -18;
        description.lfQuality = ANTIALIASED_QUALITY;
        const char16_t face[] = u"DejaVu Sans";
        std::memcpy(description.lfFaceName, face, sizeof face);
        font = CreateFontIndirectW(&description);
    }
};

RowArt& Art() {
    static RowArt* art = new RowArt();
    return *art;
}

// One row of the list: "Bench.Row", at its bound rectangle.
class CBenchRow : public CUnknownImpl<ILayoutElement> {
public:
    HRESULT Prepare() override { return S_FALSE; }
    HRESULT SetSite(IUnknown*, IUnknown*) override { return S_OK; }
    HRESULT Attach(IUnknown* layoutObject) override {
        CInterfacePtr<IStandardProperties> properties;
        layoutObject->QueryInterface(IID_IStandardProperties, reinterpret_cast<void**>(properties.Receive()));
        if (!properties || properties->GetBoundRect(&m_rect) != S_OK) return E_FAIL;
        BSTR name = nullptr;
        properties->GetString1(&name);
        m_text = std::u16string(u"Contact ") + (name != nullptr ? name : u"");
        SysFreeString(name);
        m_index = m_rect.top / kRowHeight;
        return S_OK;
    }
    HRESULT Paint(const ItemEventRecord*, PaintContext* context) override {
        CPaintArea area(context);
        if (!area.IsValid()) return S_OK;
        const RECT rect = area.ToView(m_rect);
        CDibSurface& target = area.Surface();
        FillRectRGB565(target, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       m_index % 2 == 0 ? RGB(24, 28, 36) : RGB(34, 40, 50), 255);
        BlendSurfaceMasked(target, rect.left + 8, rect.top + 8, 32, 32, Art().icon, 0, 0, Art().mask, 255);
        CDCStateSaver saver(context->dc);
        SelectObject(context->dc, Art().font);
        SetTextColor(context->dc, RGB(230, 230, 230));
        SetBkMode(context->dc, TRANSPARENT);
        const RECT device = area.ToDevice(m_rect);
        ExtTextOutW(context->dc, device.left + 52, device.top + 14, 0, nullptr, m_text.c_str(),
                    static_cast<UINT>(m_text.size()), nullptr);
        return S_OK;
    }
    HRESULT GetState(LONG* state) override {
        *state = 0;
        return S_OK;
    }
    HRESULT GetRect(DWORD, RECT* rect) override {
        *rect = m_rect;
        return S_OK;
    }
    HRESULT Measure(HDC, LONG*, LONG*) override { return S_FALSE; }
    HRESULT IsInactive() override { return S_FALSE; }
    HRESULT Select(LONG, LPARAM, LPARAM) override { return S_OK; }
    HRESULT OnKey(UINT, BOOL* handled) override {
        *handled = FALSE;
        return S_OK;
    }
    HRESULT OnPress(POINT, BOOL) override { return S_FALSE; }
    HRESULT OnRelease(LPARAM) override { return S_FALSE; }
    HRESULT Layout(LayoutBlock*) override { return S_OK; }
    HRESULT HandleEvent(UINT, WPARAM, void*) override { return S_FALSE; }

private:
    RECT m_rect{};
    std::u16string m_text;
    LONG m_index = 0;
};

class CBenchFactory : public CObjectFactoryService {
public:
    IUnknown* CreateObject(LPCWSTR className) override {
        if (className == nullptr || std::u16string(className) != u"Bench.Row") return CObjectFactory().CreateObject(className);
        auto* row = new CBenchRow();
        row->AddRef();
        return static_cast<ILayoutElement*>(row);
    }
};

// "List": a page, and a layer of the rows that scrolls and may cache.
class CBenchLayouts : public CLayoutRepositoryService {
public:
    CLayoutSet* GetDocument(LPCWSTR name) override {
        const bool rows = _wcsicmp(name, u"Rows") == 0;
        std::string text = "<Layouts><Layout Name=\"Main\">";
        if (rows) {
            text += "<General><ScrollY Value=\"On\"/><LayerAlign Cache=\"1\"/></General><Plugins>";
            for (int i = 0; i < kRows; ++i)
                text += "<Plugin Name=\"" + std::to_string(i) + "\" Class=\"Bench.Row\" BoundRect=\"0," +
                        std::to_string(i * kRowHeight) + ",480," + std::to_string(kRowHeight) + "\"/>";
        } else {
            text += "<Plugins><Plugin Name=\"Page\" Class=\"Orm.LSP.Rect\" BoundRect=\"0,0,480,696\">"
                    "<Color Name=\"LineColor\" Value=\"101010\"/><Int Name=\"LineOpacity\" Value=\"255\"/></Plugin>";
        }
        text += "</Plugins></Layout><Rules><Default><UseLayout Name=\"Main\"/></Default></Rules>";
        if (!rows) text += "<Layers><Layer Dialog=\"List\"/><Layer Name=\"Rows\" Dialog=\"Rows\"/></Layers>";
        text += "</Layouts>";
        CSharedBuffer bytes = MakeSharedArray<BYTE>(text.size());
        std::memcpy(bytes.Data(), text.data(), text.size());
        return ParseLayoutSetFile(bytes, name).Detach();
    }
};

// One manager showing the list, scrolled back and forth by kStep a frame.
class ScrollingList {
public:
    explicit ScrollingList(LONG cacheMode) {
        XmlLayouts::CDialogManager* made = nullptr;
        XmlLayouts::CreateDialogManager(&made);
        m_manager = CInterfacePtr<XmlLayouts::CDialogManager>::Adopt(made);
        m_manager->SetSize(kWidth, kHeight);
        m_manager->OpenDialog(u"List", DIALOG_PUSH_REPLACE_TOP, nullptr);
        m_content = m_manager->Stack().GetTop();
        m_content->SetCacheMode(cacheMode);
        std::size_t index = 0;
        m_content->FindLayerIndex(u"Rows", &index);
        m_rows = m_content->LayerAt(index);
        m_manager->Invalidate(TRUE);
    }
    bool Ready() const { return m_rows != nullptr; }
    // Scrolls one step and paints the frame.
    void Frame() {
        const LONG limit = m_rows->Bounds().bottom - m_rows->Extent().cy;
        LONG y = m_rows->Scroll().y + m_direction * kStep;
        if (y < 0 || y > limit) {
            m_direction = -m_direction;
            y = m_rows->Scroll().y + m_direction * kStep;
        }
        m_rows->SetScroll(POINT{0, y});
        m_manager->Invalidate(TRUE);
    }

private:
    CInterfacePtr<XmlLayouts::CDialogManager> m_manager;
    CInterfacePtr<XmlLayouts::CDialogContent> m_content;
    CDialogLayer* m_rows = nullptr;
    LONG m_direction = 1;
};

void InstallServices() {
    static const bool installed = [] {
        SetScreenDpi(kLayoutDpi, kLayoutDpi);
        CRefPtr<CLayoutRepositoryService> layouts(new CBenchLayouts());
        SetLayoutRepository(layouts.Holder());
        CRefPtr<CObjectFactoryService> factory(new CBenchFactory());
        SetObjectFactory(factory.Holder());
        return true;
    }();
    (void)installed;
}

// Frames of one list, scrolled kStep a frame, in the given cache mode.
void ScrollFrames(benchmark::State& state, LONG cacheMode) {
    InstallServices();
    ScrollingList list(cacheMode);
    if (!list.Ready()) {
        state.SkipWithError("the list dialog did not load");
        return;
    }
    for (auto _ : state) list.Frame();
}

void BM_ScrollCached(benchmark::State& state) { ScrollFrames(state, 3); }
BENCHMARK(BM_ScrollCached)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The baseline: no cache, every frame paints the whole list area.
void BM_ScrollFullRepaint(benchmark::State& state) { ScrollFrames(state, 0); }
BENCHMARK(BM_ScrollFullRepaint)->Unit(benchmark::kMillisecond)->MinTime(1.0);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare(
    {"BM_ScrollCached", "BM_ScrollFullRepaint", Ratio::Speed, Clock::Cpu, 0, bench::TimeAtMost(2e-3)});

}  // namespace
