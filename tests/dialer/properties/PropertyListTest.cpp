// Property lists: look-up by integer key or name, nested groups (the first hit in chain
// order wins), and long or deep lists.
#include <gtest/gtest.h>

#include "dialer/properties/PropertyList.h"

namespace {

TEST(PropertyList, NestedGroupShadowsALaterTopLevelEntry) {
    CPropertyList list;
    AddIntProperty(list, 15, 1);
    CPropertyList nested;
    AddIntProperty(nested, 15, 2);
    AddIntProperty(nested, u"Inner", 3);
    AddGroup(list, nested);
    AddIntProperty(list, 16, 4);

    LONG value = 0;
    ASSERT_TRUE(list.GetInt(15, &value));
    EXPECT_EQ(value, 2);
    ASSERT_TRUE(list.GetInt(u"Inner", &value));
    EXPECT_EQ(value, 3);
    ASSERT_TRUE(list.GetInt(16, &value));
    EXPECT_EQ(value, 4);
    EXPECT_EQ(list.GetHead()->GetNext()->GetType(), PROPERTY_TYPE_GROUP);
}

TEST(PropertyList, IntegerKeysAndNamesNeverMatchEachOther) {
    CPropertyList list;
    AddIntProperty(list, 15, 1);
    AddIntProperty(list, u"Value", 2);
    LONG value = 7;
    EXPECT_FALSE(list.GetInt(u"ScrollY", &value));
    EXPECT_FALSE(list.GetInt(u"value", &value)) << "names compare with case";
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(list.GetInt(MAKEINTRESOURCEW(15), &value));
    EXPECT_EQ(value, 1);
    EXPECT_THROW(CPropertyKey(0x10000), COrmException);
}

TEST(PropertyList, TypedReadsAndTheirDefaults) {
    CPropertyList list;
    AddPointProperty(list, 5, POINT{3, 4});
    AddRectProperty(list, 4, RECT{1, 2, 3, 4});
    AddStringProperty(list, 7, u"Dial");
    POINT point{};
    RECT rect{};
    std::u16string text;
    ASSERT_TRUE(list.GetPoint(5, &point));
    EXPECT_EQ(point.y, 4);
    ASSERT_TRUE(list.GetRect(4, &rect));
    EXPECT_EQ(rect.bottom, 4);
    ASSERT_TRUE(list.GetString(7, &text));
    EXPECT_EQ(text, u"Dial");
    // A read of another type gives that type's default.
    LONG value = 9;
    ASSERT_TRUE(list.GetInt(7, &value));
    EXPECT_EQ(value, 0);
    ASSERT_TRUE(list.GetString(5, &text));
    EXPECT_EQ(text, u"");
    EXPECT_FALSE(list.GetPoint(6, &point));
}

TEST(PropertyList, GroupsOfEmptyAndIntoEmptyLists) {
    CPropertyList list;
    CPropertyList nested;
    AddGroup(list, nested);
    EXPECT_TRUE(list.IsEmpty());
    AddIntProperty(nested, 1, 1);
    AddGroup(list, nested);
    EXPECT_EQ(list.GetHead(), nested.GetHead()) << "an empty list takes the nested head itself";
}

TEST(PropertyList, LongAndDeepListsAreSearchedAndFreedWithoutRecursion) {
    CPropertyList list;
    for (int i = 0; i < 300000; ++i) AddIntProperty(list, 1 + i % 100, i);
    CPropertyList deep;
    AddIntProperty(deep, u"Bottom", 42);
    for (int i = 0; i < 100000; ++i) {
        CPropertyList outer;
        AddIntProperty(outer, 2, i);
        AddGroup(outer, deep);
        deep = outer;
    }
    AddGroup(list, deep);
    LONG value = 0;
    ASSERT_TRUE(list.GetInt(u"Bottom", &value));
    EXPECT_EQ(value, 42);
    EXPECT_FALSE(list.GetInt(u"Nowhere", &value));
    list.Clear();
    deep.Clear();
}

}  // namespace
