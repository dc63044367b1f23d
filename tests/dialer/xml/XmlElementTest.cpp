// Walking the document: wildcard names, children and siblings, depth-first search, slash
// paths with their backtracking, attribute look-up and empty handles.
#include <gtest/gtest.h>

#include "dialer/xml/WildcardMatch.h"
#include "dialer/xml/XmlElement.h"
#include "tests/dialer/xml/XmlTestSupport.h"

namespace {

TEST(WildcardMatch, Patterns) {
    struct Case {
        const char16_t* pattern;
        const char16_t* text;
        int expected;
    };
    const Case cases[] = {
        {u"La*", u"Layout", 1},       {u"La*", u"Layers", 1},     {u"La*", u"Dialog", 0},
        {u"a?c", u"ac", 0},           {u"a?c", u"abc", 1},        {u"[!A-K]*", u"Layout", 1},
        {u"[!A-K]*", u"Dialog", 0},   {u"[A-K]*", u"Dialog", 1},  {u"*", u"", 1},
        {u"", u"", 1},                {u"", u"a", 0},             {u"abc", u"ABC", 0},
        {u"*b*b*", u"abab", 1},       {u"*b*b*", u"ab", 0},       {u"a*?", u"a", 0},
        {u"a*?", u"ab", 1},           {u"[]x]", u"]", 1},         {u"[!]x]", u"]", 0},
        {u"[a-]", u"-", 1},           {u"[z-a]", u"-", 1},        {u"[z-a]", u"m", 0},
        {u"[ab", u"b", 1},            {u"***a", u"bba", 1},       {u"a[0-9][0-9]", u"a42", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.expected) << Text(c.pattern).size() << " " << Text(c.text).size();
    EXPECT_EQ(WildcardMatch(nullptr, u"a"), 0);
}

const char16_t kLayouts[] =
    u"<Layouts>"
    u"<Layout Name='A'><Layer Name='A1'/></Layout>"
    u"<Style/>"
    u"<Layout Name='B'><Layer Name='B1'><Item Name='deep'/></Layer><Frame/></Layout>"
    u"</Layouts>";

TEST(XmlElement, ChildrenSiblingsAndDepthFirstSearch) {
    ParsedXml xml(kLayouts);
    CXmlElement layout = xml.Root();
    ASSERT_TRUE(layout.FindChild(u"Layouts"));
    ASSERT_TRUE(layout.FindChild(u"Layout"));
    std::u16string names;
    do names += Text(layout.FindAttribute(u"Name").GetAttributeText());
    while (layout.NextSibling(u"Layout"));
    EXPECT_EQ(names, u"AB");

    CXmlElement layouts = xml.Root().GetChild(0);
    EXPECT_FALSE(layouts.GetChild(3).IsValid());
    EXPECT_FALSE(layouts.GetChild(-1).IsValid());
    EXPECT_EQ(Text(layouts.FindDescendant(u"Item").FindAttribute(u"Name").GetAttributeText()), u"deep");
    EXPECT_EQ(Text(layouts.FindDescendant(u"La?er").FindAttribute(u"Name").GetAttributeText()), u"A1")
        << "pre-order finds A1 before B1";

    CXmlElement root = xml.Root();
    EXPECT_FALSE(root.NextSibling(u"*"));
    EXPECT_FALSE(root.MoveToParent());
    CXmlElement frame = layouts.FindDescendant(u"Frame");
    frame.MoveToRoot();
    EXPECT_EQ(frame.GetType(), XmlNodeType::Document);
}

TEST(XmlElement, SelectPath) {
    ParsedXml xml(kLayouts);
    CXmlElement frame = xml.Root().GetChild(0).FindDescendant(u"Frame");
    CXmlElement layouts = frame.SelectPath(u"/Layouts", u"/");
    ASSERT_TRUE(layouts.IsValid());
    EXPECT_EQ(Text(layouts.GetName()), u"Layouts");
    EXPECT_FALSE(layouts.SelectPath(u"..", u"/").IsValid()) << "the parent of the top element is the document";
    EXPECT_FALSE(layouts.SelectPath(u"", u"/").IsValid());
    EXPECT_FALSE(layouts.SelectPath(u"Missing", u"/").IsValid());

    // The first Layout has no Layer B1: the walk backtracks to the next Layout.
    CXmlElement b1 = layouts.SelectPath(u"Layout/Layer/Item", u"/");
    EXPECT_EQ(Text(b1.FindAttribute(u"Name").GetAttributeText()), u"deep");
    EXPECT_EQ(Text(frame.SelectPath(u"../Layer/./Item", u"/").GetName()), u"Item");
    EXPECT_EQ(Text(layouts.SelectPath(u"Layout\\Frame", u"/\\").GetName()), u"Frame");
}

TEST(XmlElement, FindAttributeAppendsAnAbsentAttribute) {
    ParsedXml xml(u"<a x='1'/>");
    CXmlElement a = xml.Root().GetChild(0);
    EXPECT_EQ(a.FindAttributeIndex(u"Missing"), -1);
    EXPECT_EQ(a.GetAttributeCount(), 1) << "FindAttributeIndex adds nothing";
    EXPECT_EQ(a.GetAttributeValue(u"Missing"), nullptr);
    CXmlAttribute missing = a.FindAttribute(u"Missing");
    EXPECT_EQ(Text(missing.GetAttributeText()), u"");
    EXPECT_EQ(a.GetAttributeCount(), 2);
    EXPECT_EQ(a.FindAttributeIndex(u"Missing"), 1);
    EXPECT_EQ(Text(a.FindAttribute(u"?").GetAttributeText()), u"1");

    CXmlElement empty;
    EXPECT_FALSE(empty.FindAttribute(u"x").IsValid());
    EXPECT_EQ(empty.GetAttributeCount(), 0);
}

TEST(XmlElement, CopiesOfEmptyHandlesPointAtTheirOwnEmptyNode) {
    CXmlElement copy;
    CXmlAttribute attributeCopy;
    {
        CXmlElement original;
        CXmlAttribute attribute;
        copy = original;
        attributeCopy = attribute;
    }
    EXPECT_FALSE(copy.IsValid());
    EXPECT_FALSE(copy.HasChildren());
    EXPECT_FALSE(copy.MoveToParent());
    EXPECT_FALSE(copy.FindChild(u"*"));
    EXPECT_EQ(copy.GetNode(), nullptr);
    EXPECT_EQ(attributeCopy.GetAttributeText(), nullptr);

    CXmlElement returned = CXmlElement().GetChild(0);
    EXPECT_FALSE(returned.IsValid());
    EXPECT_FALSE(returned.SelectPath(u"/a", u"/").IsValid());
}

}  // namespace
