// The dialer's demo pack in data/dialer/packs/qa_layouts, packed as the data build packs
// it: its index names images that load, its layout's rules choose by screen, every class
// its layout names is one the object factory knows, and every layout file reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "dialer/foundation/OrmException.h"
#include "dialer/layout/LayoutRepository.h"
#include "dialer/layout/RuleNode.h"
#include "dialer/objects/ObjectFactory.h"
#include "dialer/pack/ResourcePack.h"
#include "dialer/properties/PropertyReader.h"
#include "dialer/surface/ScreenDpi.h"
#include "dialer/xml/XmlDocument.h"
#include "platform/user/Window.h"
#include "tests/dialer/pack/PackTestSupport.h"

namespace {

namespace fs = std::filesystem;
using pack_test::DemoPackFolder;
using pack_test::OpenDemoPack;

TEST(DemoPack, IndexedImagesLoad) {
    ASSERT_TRUE(fs::is_directory(DemoPackFolder())) << DemoPackFolder();
    CRefPtr<CResourcePack> pack = OpenDemoPack();
    CPackAccess use(pack.Get(), true, false);
    LONG count = 0;
    EXPECT_TRUE(pack->GetValues().GetInt(u"IconCount", &count));
    EXPECT_EQ(count, 4);
    struct Case {
        LPCWSTR image;
        DWORD required;
        LONG colorBits;
        LONG maskBits;
    };
    for (const Case& c : {Case{u"Background", PACK_IMAGE_REQUIRE_COLOR, 24, 0},
                          Case{u"Key", PACK_IMAGE_REQUIRE_COLOR | PACK_IMAGE_REQUIRE_MASK, 16, 8},
                          Case{u"Icons", PACK_IMAGE_REQUIRE_COLOR | PACK_IMAGE_REQUIRE_MASK, 16, 1},
                          Case{u"Border", PACK_IMAGE_REQUIRE_COLOR | PACK_IMAGE_REQUIRE_MASK, 8, 8}}) {
        CSharedSurface color;
        CSharedSurface mask;
        ASSERT_TRUE(GetPackImage(pack.Get(), c.image, &color, &mask, true, c.required));
        EXPECT_EQ(color->GetBitsPerPixel(), c.colorBits);
        EXPECT_EQ(mask ? mask->GetBitsPerPixel() : 0, c.maskBits);
    }
}

TEST(DemoPack, TheDialerLayoutChoosesByScreenAndNamesKnownClasses) {
    CRefPtr<CResourcePack> pack = OpenDemoPack();
    CSharedBuffer bytes;
    ASSERT_TRUE(pack->FindDocument(u"Dialer.xml", &bytes, false));
    CSharedWideText text = Utf8ToWideBuffer(bytes);
    CXmlDocument document;
    document.Parse(text.Data());
    CRefPtr<CRuleNode> rules = ReadRules(document.GetRoot());

    struct Screen {
        int width;
        int height;
        int dpi;
        const char16_t* layout;
    };
    for (const Screen& s : {Screen{480, 800, 192, u"Portrait"}, Screen{800, 480, 192, u"Landscape"},
                            Screen{400, 240, 96, u"Landscape"}, Screen{240, 320, 96, u"Portrait"}}) {
        platform::SetDisplaySize(s.width, s.height);
        SetScreenDpi(s.dpi, s.dpi);
        std::u16string chosen;
        EXPECT_TRUE(rules->Evaluate(nullptr, &chosen));
        EXPECT_EQ(chosen, s.layout) << s.width << " x " << s.height << " at " << s.dpi;
    }
    platform::SetDisplaySize(480, 800);
    SetScreenDpi(kLayoutDpi, kLayoutDpi);

    // Every "Plugin" of the file, wherever it stands.
    int classes = 0;
    std::vector<CXmlElement> pending{document.GetRoot()};
    while (!pending.empty()) {
        const CXmlElement node = pending.back();
        pending.pop_back();
        for (int i = 0; i < node.GetChildCount(); ++i) pending.push_back(node.GetChild(i));
        LPCWSTR className = node.GetAttributeValue(u"Class");
        if (node.GetName() == nullptr || std::u16string(node.GetName()) != u"Plugin" || className == nullptr) continue;
        ++classes;
        const LayoutClassName name = ParseLayoutClassName(className);
        const bool known = name.family == LayoutClassFamily::Generic
                               ? FindGenericObjectType(name.type.c_str()) != nullptr
                               : FindDataObjectType(name.type.c_str()) != nullptr;
        EXPECT_TRUE(known) << std::string(name.type.begin(), name.type.end());
    }
    EXPECT_GE(classes, 4);
}

// Every layout-set file of the pack reads through the loader, at both densities.
TEST(DemoPack, EveryLayoutFileReads) {
    CRefPtr<CResourcePack> pack = OpenDemoPack();
    int files = 0;
    for (const auto& entry : fs::directory_iterator(DemoPackFolder())) {
        const fs::path path = entry.path();
        if (path.extension() != ".xml" || path.filename() == "Index.xml") continue;
        ++files;
        const std::string stem = path.stem().string();
        for (int dpi : {96, 192}) {
            SetScreenDpi(dpi, dpi);
            CRefPtr<CLayoutSet> set;
            try {
                set = LoadLayoutSet(pack.Get(), std::u16string(stem.begin(), stem.end()));
            } catch (const COrmException& error) {
                ADD_FAILURE() << stem << ": " << error.message;
                continue;
            }
            EXPECT_GT(set->GetLayouts()->GetEntries()->GetCount(), 0u) << stem;
            std::u16string chosen;
            EXPECT_TRUE(set->GetRules()->Evaluate(nullptr, &chosen)) << stem;
            EXPECT_TRUE(set->FindLayout(chosen.c_str())) << stem;
        }
    }
    SetScreenDpi(kLayoutDpi, kLayoutDpi);
    EXPECT_GE(files, 3);

    // The popup's second button inherits the first one's face; the landscape form copies
    // the group with its own general values in front.
    CRefPtr<CLayoutSet> popup = LoadLayoutSet(pack.Get(), u"Popup");
    CRefPtr<CLayoutEntry> commands = popup->FindLayout(u"PopupLandscape")->GetEntries()->FindByName(u"Commands");
    ASSERT_TRUE(commands && commands->GetEntries() != nullptr);
    CRefPtr<CLayoutEntry> message = commands->GetEntries()->FindByName(u"Message");
    ASSERT_TRUE(message);
    std::u16string text;
    EXPECT_TRUE(message->GetProperties().GetString(u"Face", &text));
    EXPECT_EQ(text, u"Key");
    EXPECT_TRUE(message->GetProperties().GetString(u"StringID", &text));
    EXPECT_EQ(text, u"Message");
    RECT dialog{};
    EXPECT_TRUE(message->GetProperties().GetRect(PROPERTY_DIALOG_RECT, &dialog));
    EXPECT_EQ(dialog.right, 400);
    LONG side = 0;
    EXPECT_TRUE(message->GetProperties().GetInt(PROPERTY_LAYER_ALIGN, &side));
    EXPECT_EQ(side, 4);
}

}  // namespace
