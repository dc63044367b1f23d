// The drawn generic objects made by the factory from the demo layout "Controls": what their
// shared slots answer, how each paints as its properties say (pixel probes), and how they
// fail when their images or properties are missing.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "dialer/foundation/OrmException.h"
#include "dialer/layout/LayoutRepository.h"
#include "dialer/objects/ButtonObject.h"
#include "dialer/objects/ObjectFactory.h"
#include "dialer/properties/PropertySet.h"
#include "dialer/properties/StandardProperties.h"
#include "dialer/surface/MaskedImage.h"
#include "dialer/surface/Rgb565.h"
#include "dialer/surface/ScreenDpi.h"
#include "dialer/surface/SurfaceDrawing.h"
#include "tests/dialer/pack/PackTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr std::uint16_t kPaper = 0x8410;  // mid grey: (128, 128, 128) expanded

HRESULT Thrown(const std::function<void()>& call) {
    try {
        call();
    } catch (const COrmException& error) {
        return error.code;
    }
    return S_OK;
}

// A host that answers the string service with the captions of the controls page.
CInterfacePtr<IPropertyReader> MakeHost() {
    CPropertyList strings;
    AddStringProperty(strings, u"Call", u"Call");
    return CreatePropertySet(strings, nullptr);
}

class GenericObjectsTest : public testing::Test {
protected:
    void SetUp() override {
        SetScreenDpi(kLayoutDpi, kLayoutDpi);
        pack_ = pack_test::OpenDemoPack();
        packs_ = std::make_unique<pack_test::ScopedPacks>(kLayoutPackName, pack_);
        set_ = LoadLayoutSet(pack_.Get(), u"Controls");
        layout_ = set_->FindLayout(u"Controls");
        ASSERT_TRUE(layout_);
        ASSERT_TRUE(CreateDibSurface(target_, 240, 400, DIB_FORMAT_RGB565));
        FillRectRGB565(target_, 0, 0, 240, 400, RGB(128, 128, 128), 255);
    }

    // The element made for a plug-in of the page, set up and attached to its properties.
    CInterfacePtr<ILayoutElement> Make(LPCWSTR name, const CPropertyList* replaced = nullptr) {
        CRefPtr<CLayoutEntry> entry = layout_->GetEntries()->FindByName(name);
        EXPECT_TRUE(entry);
        std::u16string className;
        entry->GetProperties().GetString(PROPERTY_STRING2, &className);
        CInterfacePtr<IUnknown> made = CInterfacePtr<IUnknown>::Adopt(factory_.CreateObject(className.c_str()));
        EXPECT_TRUE(made) << std::string(className.begin(), className.end());
        CInterfacePtr<ILayoutElement> element;
        made->QueryInterface(IID_ILayoutElement, reinterpret_cast<void**>(element.Receive()));
        element->SetSite(host_.Get(), host_.Get());
        CInterfacePtr<IStandardProperties> source =
            CreateStandardProperties(replaced ? *replaced : entry->GetProperties());
        attached_ = element->Attach(source.Get());
        return element;
    }

    void Paint(ILayoutElement* element, LONG mode = 1) {
        PaintContext context;
        context.dc = target_.SelectIntoMemoryDC();
        context.bitmap = target_.GetBitmap();
        context.mode = mode;
        context.width = 240;
        context.height = 400;
        EXPECT_EQ(element->Paint(nullptr, &context), S_OK);
    }

    std::uint16_t At(LONG x, LONG y) const { return reinterpret_cast<const std::uint16_t*>(target_.Row(y))[x]; }

    handset_test::TempHandsetRoot root_;
    CObjectFactory factory_;
    CRefPtr<CResourcePack> pack_;
    std::unique_ptr<pack_test::ScopedPacks> packs_;
    CRefPtr<CLayoutSet> set_;
    CRefPtr<CLayoutEntry> layout_;
    CInterfacePtr<IPropertyReader> host_ = MakeHost();
    CDibSurface target_;
    HRESULT attached_ = E_FAIL;
};

TEST_F(GenericObjectsTest, SharedSlotsAnswerAlike) {
    for (LPCWSTR name : {u"Band", u"Contacts", u"Panel", u"Call"}) {
        SCOPED_TRACE(std::string(name, name + 4));
        CInterfacePtr<ILayoutElement> element = Make(name);
        ASSERT_TRUE(element);
        EXPECT_EQ(attached_, S_OK);
        void* out = nullptr;
        for (const IID& iid : {IID_IUnknown, IID_ILayoutObject, IID_ILayoutElement}) {
            EXPECT_EQ(element->QueryInterface(iid, &out), S_OK);
            static_cast<IUnknown*>(out)->Release();
        }
        EXPECT_EQ(element->QueryInterface(IID_IPropertyReader, &out), E_NOINTERFACE);
        EXPECT_EQ(element->QueryInterface(IID_ILayoutObject, nullptr), E_INVALIDARG);
        EXPECT_EQ(element->Prepare(), S_FALSE);
        EXPECT_EQ(element->Measure(nullptr, nullptr, nullptr), S_FALSE);
        EXPECT_EQ(element->IsInactive(), S_FALSE);
        EXPECT_EQ(element->HandleEvent(17, 0, nullptr), S_FALSE);
        EXPECT_EQ(element->Select(40, 0, 0), S_OK);
        LONG state = -1;
        EXPECT_EQ(element->GetState(&state), S_OK);
        EXPECT_EQ(state, 0);
        BOOL handled = TRUE;
        EXPECT_EQ(element->OnKey(38, &handled), S_OK);
        EXPECT_FALSE(handled);
        EXPECT_EQ(Thrown([&] { element->OnKey(38, nullptr); }), E_INVALIDARG);
        EXPECT_EQ(Thrown([&] { element->SetSite(nullptr, host_.Get()); }), E_INVALIDARG);
        EXPECT_EQ(element->Attach(nullptr), E_INVALIDARG);
        RECT rect{};
        EXPECT_EQ(element->GetRect(1, &rect), S_OK);
        EXPECT_GT(rect.right, rect.left);
        auto* object = static_cast<CLayoutObject*>(element.Get());
        EXPECT_EQ(object->GetItemRect(&rect), E_FAIL);
        EXPECT_EQ(object->GetValue(0, nullptr), E_INVALIDARG);
    }
}

TEST_F(GenericObjectsTest, RectanglesFillOrOutline) {
    Paint(Make(u"Band").Get());
    EXPECT_EQ(At(5, 5), PackColor565(0xE67D3C));
    EXPECT_EQ(At(239, 39), PackColor565(0xE67D3C));
    EXPECT_EQ(At(5, 40), kPaper);

    Paint(Make(u"Outline").Get());
    const std::uint16_t line = BlendPixel565(kPaper, 0xFFFF, 128);
    for (const POINT p : {POINT{10, 50}, POINT{11, 51}, POINT{60, 109}, POINT{109, 80}, POINT{10, 80}})
        EXPECT_EQ(At(p.x, p.y), line) << p.x << ", " << p.y;
    EXPECT_EQ(At(12, 52), kPaper);
    EXPECT_EQ(At(107, 80), kPaper);
    EXPECT_EQ(At(110, 80), kPaper);

    // Without opacity nothing shows; a zero width draws one column.
    CPropertyList thin;
    AddStringProperty(thin, PROPERTY_STRING2, u"Orm.LSP.Rect");
    AddRectProperty(thin, PROPERTY_BOUND_RECT, RECT{200, 300, 200, 320});
    AddIntProperty(thin, u"LineColor", 0x0000FF);
    Paint(Make(u"Band", &thin).Get());
    EXPECT_EQ(At(200, 310), kPaper);
    AddIntProperty(thin, u"LineOpacity", 255);
    Paint(Make(u"Band", &thin).Get());
    EXPECT_EQ(At(200, 310), 0xF800);
    EXPECT_EQ(At(201, 310), kPaper);
}

TEST_F(GenericObjectsTest, IconsAreCutFromTheStripAndCentred) {
    Paint(Make(u"Contacts").Get());
    CSharedSurface strip;
    CSharedSurface mask;
    ASSERT_TRUE(GetPackImage(pack_.Get(), u"Icons", &strip, &mask, true, PACK_IMAGE_REQUIRE_COLOR));
    // Icon 2 (rows 48 to 71 of the 24-wide strip) centred in (130, 50)-(170, 90).
    int covered = 0;
    for (LONG y = 0; y < 24; ++y)
        for (LONG x = 0; x < 24; ++x) {
            const bool set = ((mask->Row(48 + y)[x >> 3] >> (7 - (x & 7))) & 1) != 0;
            const std::uint16_t colour = reinterpret_cast<const std::uint16_t*>(strip->Row(48 + y))[x];
            const std::uint16_t expected = set ? colour : kPaper;
            ASSERT_EQ(At(138 + x, 58 + y), expected) << x << ", " << y;
            covered += set;
        }
    EXPECT_GT(covered, 0);
    EXPECT_EQ(At(137, 58), kPaper);

    CPropertyList beyond = layout_->GetEntries()->FindByName(u"Contacts")->GetProperties();
    AddIntProperty(beyond, u"Index", 4);
    EXPECT_EQ(Thrown([&] { Make(u"Contacts", &beyond); }), E_ORM_FAIL);
    CPropertyList unnamed;
    AddStringProperty(unnamed, PROPERTY_STRING2, u"Orm.LSP.Icon");
    EXPECT_EQ(Thrown([&] { Make(u"Contacts", &unnamed); }), E_FAIL);
}

TEST_F(GenericObjectsTest, FramesDrawTheBorderSkinAndShadeTheInside) {
    Paint(Make(u"Panel").Get());
    // The frame (12, 122)-(228, 198): the skin's line is two pixels along the outer edge.
    auto grey = [this](LONG x, LONG y) { return static_cast<int>(Red8(At(x, y))); };
    EXPECT_NEAR(grey(12 + 10, 122), 220, 8);
    EXPECT_NEAR(grey(12 + 10, 123), 220, 8);
    EXPECT_NEAR(grey(12, 160), 220, 8);
    EXPECT_NEAR(grey(227, 160), 220, 8);
    EXPECT_NEAR(grey(120, 197), 220, 8);
    EXPECT_EQ(At(12, 122), kPaper) << "the corner's outermost pixel is not covered";
    EXPECT_EQ(At(11, 160), kPaper);
    // Inside: black at the pack's opacity 160.
    EXPECT_EQ(At(120, 160), BlendPixel565(kPaper, 0, 160));

    CPropertyList bare;
    AddStringProperty(bare, PROPERTY_STRING2, u"Orm.LSP.Frame");
    AddRectProperty(bare, PROPERTY_BOUND_RECT, RECT{0, 0, 50, 50});
    AddStringProperty(bare, u"Border", u"Key");  // 16-bit: not a border skin, yet it loads
    EXPECT_EQ((Make(u"Panel", &bare), attached_), S_OK);
    AddStringProperty(bare, u"Border", u"Nothing");
    EXPECT_EQ((Make(u"Panel", &bare), attached_), E_FAIL);
}

TEST_F(GenericObjectsTest, ButtonsShowTheirFaceHighlightAndCaption) {
    CInterfacePtr<ILayoutElement> button = Make(u"Call");
    ASSERT_EQ(button->Layout(nullptr), S_OK);
    EXPECT_EQ(static_cast<CButtonObject*>(button.Get())->GetCaption(), u"Call");
    Paint(button.Get(), 0);
    CDibSurface plain;
    ASSERT_TRUE(CreateDibSurface(plain, 240, 400, DIB_FORMAT_RGB565));
    CopySurfaceRect(plain, 0, 0, 240, 400, target_, 0, 0);
    Paint(button.Get(), 1);

    // The 40 × 40 face centred in (70, 220)-(170, 270); pressed, it is lit through its mask.
    CSharedSurface face;
    CSharedSurface faceMask;
    ASSERT_TRUE(GetPackImage(pack_.Get(), u"Key", &face, &faceMask, true, PACK_IMAGE_REQUIRE_COLOR));
    const BYTE coverage = faceMask->Row(20)[20];
    ASSERT_EQ(coverage, 255);
    const std::uint16_t faceCentre = reinterpret_cast<const std::uint16_t*>(face->Row(20))[20];
    // The caption lies over the face's centre, so probe a covered pixel away from it.
    const std::uint16_t faceEdge = reinterpret_cast<const std::uint16_t*>(face->Row(3))[20];
    EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(plain.Row(228))[120], faceEdge);
    EXPECT_EQ(At(120, 228), BlendPixel565(faceEdge, 0xFFFF, (faceMask->Row(3)[20] * 100) >> 8));
    EXPECT_NE(faceCentre, 0);
    EXPECT_EQ(At(99, 245), kPaper);

    // The caption: white ink, centred about the button's middle on one line.
    LONG left = 240, right = 0;
    for (LONG y = 220; y < 270; ++y)
        for (LONG x = 70; x < 170; ++x)
            if (At(x, y) == 0xFFFF) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
    ASSERT_LT(left, right);
    EXPECT_NEAR((left + right) / 2, 120, 3);

    CPropertyList faceless;
    AddStringProperty(faceless, PROPERTY_STRING2, u"Orm.LSP.Button");
    EXPECT_EQ((Make(u"Call", &faceless), attached_), E_FAIL);
}

}  // namespace
