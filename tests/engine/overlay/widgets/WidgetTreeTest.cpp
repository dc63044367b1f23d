// The widget tree: creation and destruction links, hit testing through nested widgets with
// the mask bits, visibility, ancestry and absolute positions.
#include <cmath>

#include "tests/engine/overlay/widgets/WidgetTestSupport.h"

namespace {

using widget_test::kButtonBrushId;
using widget_test::RecordingControl;
using widget_test::WidgetTest;

TEST_F(WidgetTest, CreateLinksInOrderAndFailsForAnUnknownBrush) {
    RecordingControl* page = Add("page", nullptr, 10, 20, 300, 200);
    RecordingControl* a = Add("a", page, 0, 0, 10, 10);
    RecordingControl* b = Add("b", page, 0, 0, 10, 10);
    EXPECT_EQ(root_->children.count, 1u);
    EXPECT_EQ(page->children.head->item, a);
    EXPECT_EQ(page->children.tail->item, b);
    EXPECT_EQ(a->flags, kControlShown | kControlModal);
    EXPECT_EQ(a->brush, widget_test::TestBrush());
    EXPECT_EQ(a->created, 1u);

    // An unknown id (by identity: an equal string elsewhere is not the same id) leaves the
    // control as constructed.
    const char otherId[] = "ButtonWndClass";
    auto* stray = new RecordingControl("stray", log_);
    EXPECT_EQ(stray->Create(otherId, nullptr, kControlShown, 1, 2, 3, 4, page, 9), 0);
    EXPECT_EQ(stray->x, 0.0f);
    EXPECT_EQ(stray->parent, nullptr);
    EXPECT_EQ(stray->flags, 0u);
    EXPECT_EQ(page->children.count, 2u);
    delete stray;

    // Created twice would link twice.
    EXPECT_EQ(a->Create(kButtonBrushId, nullptr, 0, 0, 0, 1, 1, page, 0), 0);
    EXPECT_EQ(page->children.count, 2u);

    // Destroying the page deletes its children and unlinks it from the root.
    EXPECT_EQ(page->Destroy(0), 1);
    EXPECT_EQ(page->children.count, 0u);
    EXPECT_EQ(root_->children.count, 0u);
    EXPECT_EQ(page->Destroy(0), 0);
    delete page;
}

TEST_F(WidgetTest, HitTestFindsTheDeepestWidgetAndHonoursTheMask) {
    RecordingControl* page = Add("page", nullptr, 100, 50, 400, 300);
    RecordingControl* panel = Add("panel", page, 10, 10, 200, 100);
    RecordingControl* button = Add("button", panel, 20, 20, 50, 30);
    RecordingControl* hidden = Add("hidden", page, 250, 10, 50, 50, 0);
    RecordingControl* disabled = Add("disabled", page, 320, 10, 50, 50, kControlShown | kControlDisabled);
    // A child lying outside its parent's rectangle is still found through it.
    RecordingControl* overhang = Add("overhang", panel, 150, 150, 20, 20);
    RecordingControl* first = Add("first", page, 0, 200, 50, 50);
    Add("second", page, 0, 200, 50, 50);

    struct Case {
        float x, y;
        DWORD mask;
        Control* expected;
    };
    const Case cases[] = {
        {30, 30, 3, button},       // page-relative: panel at 10, button at 30
        {30 + 49.9f, 30, 3, button},
        {30 + 50, 30, 3, panel},   // the right edge is outside
        {30, 30 + 30, 3, panel},   // the bottom edge too
        {10, 10, 3, panel},        // x = 0 of the panel is inside
        {5, 5, 3, page},
        {-1, 5, 3, nullptr},
        {400, 5, 3, nullptr},
        {260, 20, 3, page},        // hidden skipped with mask bit 0
        {260, 20, 0, hidden},
        {330, 20, 1, disabled},    // disabled only skipped with mask bit 1
        {330, 20, 2, page},
        {165, 165, 3, overhang},
        {10, 210, 3, first},       // overlapping siblings: the first in list order wins
    };
    for (const Case& c : cases) {
        Control* found = HitTestWindow(page, c.x, c.y, c.mask);
        EXPECT_EQ(RecordingControl::NameOf(found), RecordingControl::NameOf(c.expected))
            << "point " << c.x << "," << c.y << " mask " << c.mask;
    }
    EXPECT_EQ(HitTestWindow(nullptr, 0, 0, 0), nullptr);
}

TEST_F(WidgetTest, ShownAncestorAndAbsolutePosition) {
    RecordingControl* page = Add("page", nullptr, 100, 50, 400, 300);
    RecordingControl* panel = Add("panel", page, 10.5f, 20, 200, 100);
    RecordingControl* button = Add("button", panel, 3, 4, 50, 30);
    RecordingControl* other = Add("other", nullptr, 0, 0, 10, 10);

    EXPECT_TRUE(IsWindowShown(button));
    panel->flags &= ~kControlShown;
    EXPECT_FALSE(IsWindowShown(button));
    EXPECT_TRUE(IsWindowShown(page));
    EXPECT_FALSE(IsWindowShown(nullptr));

    EXPECT_TRUE(IsWindowAncestor(button, button));
    EXPECT_TRUE(IsWindowAncestor(button, page));
    EXPECT_FALSE(IsWindowAncestor(page, button));
    EXPECT_FALSE(IsWindowAncestor(button, other));
    EXPECT_TRUE(IsWindowAncestor(other, root_));  // the root counts as everyone's ancestor
    EXPECT_TRUE(IsWindowAncestor(nullptr, root_));
    EXPECT_FALSE(IsWindowAncestor(button, nullptr));

    EXPECT_FLOAT_EQ(WindowAbsX(button), 113.5f);
    EXPECT_FLOAT_EQ(WindowAbsY(button), 74.0f);
    EXPECT_FLOAT_EQ(WindowAbsX(nullptr), 0.0f);
}

TEST_F(WidgetTest, FindChildByIdSearchesDepthFirstInListOrder) {
    RecordingControl* page = Add("page", nullptr, 0, 0, 400, 300);
    RecordingControl* panel = Add("panel", page, 0, 0, 10, 10, kControlShown, 1);
    RecordingControl* deep = Add("deep", panel, 0, 0, 10, 10, kControlShown, 1025);
    Add("late", page, 0, 0, 10, 10, kControlShown, 1025);
    EXPECT_EQ(FindChildById(page, 1025), deep);
    EXPECT_EQ(FindChildById(page, 1), panel);
    EXPECT_EQ(FindChildById(page, 7), nullptr);
}

TEST_F(WidgetTest, DeepTreesNeitherRecurseNorLeak) {
    Control* parent = root_;
    for (int level = 0; level < 20000; ++level) parent = Add("level", parent, 1, 1, 100000, 100000);
    EXPECT_EQ(HitTestWindow(root_, 20001, 20001, 3), parent);
    EXPECT_FLOAT_EQ(WindowAbsX(parent), 20000.0f);
    EXPECT_TRUE(IsWindowShown(parent));
    // The root's destructor destroys the whole chain; the fixture checks nothing is left.
}

}  // namespace
