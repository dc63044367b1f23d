// The layout repository: sets from the pack "qa_layouts", read once whatever the case of
// their name, and failures that name the file and are not cached.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "dialer/foundation/OrmException.h"
#include "dialer/layout/LayoutRepository.h"
#include "platform/base/WideString.h"
#include "platform/fs/FileOperations.h"
#include "tests/dialer/pack/PackTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using pack_test::TextBytes;

COrmException Thrown(const std::function<void()>& call) {
    try {
        call();
    } catch (const COrmException& error) {
        return error;
    }
    return COrmException{S_OK, {}};
}

class LayoutRepositoryTest : public testing::Test {
protected:
    void SetUp() override {
        pack_test::MakeHandsetFolders(kFolder);
        Write(u"Dialer.xml", R"(<Layouts><Layout Name="Main"/></Layouts>)");
        packs_ = std::make_unique<pack_test::ScopedPacks>(kLayoutPackName, OpenResourcePack(kFolder));
    }

    static void Write(const std::u16string& name, const std::string& text) {
        pack_test::WriteHandsetFile(std::u16string(kFolder) + u"\\" + name, TextBytes(text));
    }

    static constexpr const char16_t* kFolder = u"\\Packs\\qa_layouts";
    handset_test::TempHandsetRoot root_;
    std::unique_ptr<pack_test::ScopedPacks> packs_;
    CLayoutRepository repository_;
};

TEST_F(LayoutRepositoryTest, ReadsEachSetOnceWhateverTheCase) {
    CRefPtr<CLayoutSet> first = CRefPtr<CLayoutSet>::Adopt(repository_.GetDocument(u"Dialer"));
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->FindLayout(u"Main"));
    // The file is gone: only the cache can answer now.
    ASSERT_TRUE(DeleteFileW((std::u16string(kFolder) + u"\\Dialer.xml").c_str()));
    CRefPtr<CLayoutSet> second = CRefPtr<CLayoutSet>::Adopt(repository_.GetDocument(u"DIALER"));
    EXPECT_EQ(second.Get(), first.Get());
}

TEST_F(LayoutRepositoryTest, FailuresNameTheFileAndAreNotCached) {
    COrmException missing = Thrown([&] { repository_.GetDocument(u"Popup"); });
    EXPECT_EQ(missing.code, E_ORM_FAIL);
    EXPECT_EQ(missing.message, "qa_layouts/Popup.xml: the pack has no such layout file.");
    Write(u"Popup.xml", R"(<Layouts><Layout Name="Overlay"/></Layouts>)");
    CRefPtr<CLayoutSet> popup = CRefPtr<CLayoutSet>::Adopt(repository_.GetDocument(u"Popup"));
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->FindLayout(u"Overlay"));

    Write(u"Blank.xml", "   \r\n");
    EXPECT_EQ(Thrown([&] { repository_.GetDocument(u"Blank"); }).message,
              "qa_layouts/Blank.xml: the layout file holds no element.");
    Write(u"Broken.xml", R"(<Layouts><Layout Name="A"><Plugins Extends="A"/></Layout></Layouts>)");
    EXPECT_EQ(Thrown([&] { repository_.GetDocument(u"Broken"); }).message,
              "qa_layouts/Broken.xml: the layout \"A\" extends itself; an Extends chain must not loop.");
    EXPECT_EQ(Thrown([&] { repository_.GetDocument(nullptr); }).code, E_INVALIDARG);

    SetPackRepository(nullptr);
    EXPECT_EQ(Thrown([&] { repository_.GetDocument(u"Other"); }).message,
              "qa_layouts/Other.xml: the layout pack is not installed.");
}

}  // namespace
