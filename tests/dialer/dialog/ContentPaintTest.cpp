// Painting contents with the layers' scroll caches: a scroll of k rows paints a band of k rows
// and moves the rest, a step past the layer's height repaints it all, cache modes other than
// 2 and 3 keep no cache, and the picture always equals a full repaint, also when the layer
// changed size, scrolled above its top before its first cached paint, or had one object
// repainted in between.
#include <gtest/gtest.h>

#include "dialer/dialog/DialogContent.h"
#include "dialer/surface/SurfaceDrawing.h"
#include "tests/dialer/dialog/DialogTestSupport.h"

namespace {

using dialog_test::LayoutSet;
using dialog_test::PaintLog;
using dialog_test::PixelAt;
using dialog_test::Probe;
using XmlLayouts::CDialogContent;

constexpr LONG kWidth = 100;
constexpr LONG kHeight = 200;

class ContentPaintTest : public dialog_test::DialogTest {
protected:
    ContentPaintTest() {
        // Sixty stripes of ten rows in colours of their own: 600 rows to scroll over.
        std::string stripes;
        for (int i = 0; i < 60; ++i)
            stripes += Probe("s" + std::to_string(i), 0, 10 * i, kWidth, 10, 0x010203u * static_cast<unsigned>(i + 1));
        Define(u"List", LayoutSet("<ScrollY Value=\"On\"/><LayerAlign Cache=\"1\"/>", stripes));
        manager_ = MakeManager(kWidth, kHeight);
        content_ = Load(manager_.Get(), u"List");
        reference_ = Load(manager_.Get(), u"List");
        CreateDibSurface(target_, kWidth, kHeight, DIB_FORMAT_RGB565);
        CreateDibSurface(expected_, kWidth, kHeight, DIB_FORMAT_RGB565);
    }

    static PaintContext ContextFor(CDibSurface& surface) {
        PaintContext context;
        context.dc = surface.SelectIntoMemoryDC();
        context.bitmap = surface.GetBitmap();
        context.mode = 1;
        context.width = surface.GetWidth();
        context.height = surface.GetHeight();
        context.fullRepaint = 1;
        return context;
    }
    // Scrolls the content under test and paints it; returns the stripes' paint records.
    std::vector<dialog_test::PaintRecord> ScrollAndPaint(LONG y) {
        content_->RootLayer()->SetScroll(POINT{0, y});
        PaintLog().clear();
        content_->Paint(ContextFor(target_), nullptr);
        return PaintLog();
    }
    // The same content without caches, at the same place, painted in full.
    ::testing::AssertionResult MatchesFullRepaint() {
        CDialogLayer* layer = content_->RootLayer();
        CDialogLayer* fresh = reference_->RootLayer();
        fresh->SetPosition(layer->Position());
        fresh->SetSize(layer->Extent());
        fresh->SetScroll(layer->Scroll());
        FillRectRGB565(expected_, 0, 0, kWidth, kHeight, 0, 255);
        reference_->Paint(ContextFor(expected_), nullptr);
        const LONG bottom = layer->Position().y + layer->Extent().cy;
        for (LONG y = layer->Position().y; y < bottom; ++y)
            for (LONG x = 0; x < kWidth; ++x)
                if (PixelAt(target_, x, y) != PixelAt(expected_, x, y))
                    return ::testing::AssertionFailure() << "row " << y << " differs from a full repaint";
        return ::testing::AssertionSuccess();
    }

    CInterfacePtr<XmlLayouts::CDialogManager> manager_;
    CInterfacePtr<CDialogContent> content_;
    CInterfacePtr<CDialogContent> reference_;
    CDibSurface target_;
    CDibSurface expected_;
};

TEST_F(ContentPaintTest, AScrollOfTenRowsPaintsATenRowBand) {
    content_->SetCacheMode(3);
    ScrollAndPaint(0);
    EXPECT_TRUE(MatchesFullRepaint());

    const auto down = ScrollAndPaint(10);
    ASSERT_FALSE(down.empty());
    for (const auto& record : down) {
        EXPECT_EQ(record.context.height, 10) << "only the band";
        EXPECT_EQ(record.context.destinationY, kHeight - 10) << "at the bottom";
    }
    ASSERT_EQ(down.size(), 1u) << "one stripe fills the new band";
    EXPECT_EQ(down.front().name, u"s20");
    EXPECT_TRUE(MatchesFullRepaint());

    const auto up = ScrollAndPaint(3);
    for (const auto& record : up) {
        EXPECT_EQ(record.context.height, 7);
        EXPECT_EQ(record.context.destinationY, 0) << "at the top";
    }
    EXPECT_TRUE(MatchesFullRepaint());

    EXPECT_TRUE(ScrollAndPaint(3).empty()) << "unchanged: one block copy";
    EXPECT_TRUE(MatchesFullRepaint());

    const auto far = ScrollAndPaint(3 + kHeight + 50);
    ASSERT_FALSE(far.empty());
    for (const auto& record : far) EXPECT_EQ(record.context.height, kHeight) << "a step past the height repaints all";
    EXPECT_TRUE(MatchesFullRepaint());
}

TEST_F(ContentPaintTest, OtherCacheModesKeepNoCache) {
    for (LONG mode : {0, 1, 4, 3}) {
        content_->SetCacheMode(mode);
        ScrollAndPaint(0);
        const auto painted = ScrollAndPaint(10);
        ASSERT_FALSE(painted.empty());
        EXPECT_EQ(painted.front().context.height, mode == 3 ? 10 : kHeight) << "mode " << mode;
        EXPECT_EQ(static_cast<bool>(content_->EntryAt(0).cache), mode == 3) << "mode " << mode;
        EXPECT_TRUE(MatchesFullRepaint());
    }
    content_->SetCacheMode(0);
    ScrollAndPaint(0);
    EXPECT_FALSE(content_->EntryAt(0).cache) << "dropped as soon as caching is not allowed";
}

TEST_F(ContentPaintTest, ALayerThatGrowsStartsANewCache) {
    content_->SetCacheMode(3);
    content_->RootLayer()->SetSize(SIZE{kWidth, 150});
    ScrollAndPaint(0);
    ScrollAndPaint(5);
    content_->RootLayer()->SetSize(SIZE{kWidth, kHeight});
    ScrollAndPaint(15);
    EXPECT_EQ(content_->EntryAt(0).cache->GetHeight(), kHeight);
    EXPECT_TRUE(MatchesFullRepaint());
    // Laid out again, its items may have changed: the next paint is a full one.
    content_->Layout(kWidth, kHeight, LAYOUT_MODE_NORMAL);
    const auto after = ScrollAndPaint(15);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.front().context.height, kHeight);
}

TEST_F(ContentPaintTest, AFirstCachedPaintAboveTheTopIsAFullOne) {
    content_->SetCacheMode(3);
    // Pulled past the top before anything was cached: nothing to compare with, however close
    // the position lies to the empty cache's mark (-1 is where a 32-bit distance to it
    // overflows).
    for (LONG first : {-30, -1}) {
        SCOPED_TRACE(first);
        content_->Layout(kWidth, kHeight, LAYOUT_MODE_NORMAL);
        const auto pulled = ScrollAndPaint(first);
        ASSERT_FALSE(pulled.empty());
        EXPECT_EQ(pulled.front().context.height, kHeight);
        EXPECT_TRUE(MatchesFullRepaint());
        ScrollAndPaint(first + 10);
        EXPECT_TRUE(MatchesFullRepaint());
    }
}

TEST_F(ContentPaintTest, RepaintingOneObjectIsNotHiddenByTheCache) {
    content_->SetCacheMode(3);
    ScrollAndPaint(0);
    CItemCollection* items = content_->RootLayer()->Arranged();
    ILayoutElement* stripe = items->At(4)->element.Get();
    PaintLog().clear();
    content_->Paint(ContextFor(target_), stripe);
    ASSERT_EQ(PaintLog().size(), 1u) << "the object is painted, not the old picture copied over it";
    EXPECT_EQ(PaintLog().front().name, u"s4");
    const auto next = ScrollAndPaint(0);
    ASSERT_FALSE(next.empty()) << "the cache starts again after such a repaint";
    EXPECT_EQ(next.front().context.height, kHeight);
    EXPECT_TRUE(MatchesFullRepaint());
}

}  // namespace
