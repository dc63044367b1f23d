// The tolerant in-place parser: the tree it builds from the constructs it knows, and what
// it does with malformed and deeply nested input.
#include <gtest/gtest.h>

#include "dialer/xml/XmlDocument.h"
#include "tests/dialer/xml/XmlTestSupport.h"

namespace {

TEST(XmlDocument, ElementWithBothQuoteStyles) {
    ParsedXml xml(u"<a x='1' y=\"2\"/>");
    CXmlElement a = xml.Root().GetChild(0);
    ASSERT_TRUE(a.IsValid());
    EXPECT_EQ(a.GetType(), XmlNodeType::Element);
    EXPECT_EQ(Text(a.GetName()), u"a");
    ASSERT_EQ(a.GetAttributeCount(), 2);
    EXPECT_EQ(Text(a.GetAttribute(0).GetName()), u"x");
    EXPECT_EQ(Text(a.GetAttribute(0).GetAttributeText()), u"1");
    EXPECT_EQ(Text(a.GetAttribute(1).GetName()), u"y");
    EXPECT_EQ(Text(a.GetAttribute(1).GetAttributeText()), u"2");
    EXPECT_FALSE(a.HasChildren());
    EXPECT_EQ(xml.Root().GetChildCount(), 1);
}

TEST(XmlDocument, TextAfterAStartTag) {
    struct Case {
        const char16_t* text;
        const char16_t* value;  // null: no text child
    };
    const Case cases[] = {
        {u"<a>  </a>", nullptr},
        {u"<a> b  c </a>", u"b c"},
        {u"<a>\tb\n\nc</a>", u"b c"},
        {u"<a>x &amp; y</a>", u"x &amp; y"},
        {u"<a>tail", u"tail"},
    };
    for (const Case& c : cases) {
        ParsedXml xml(c.text);
        CXmlElement a = xml.Root().GetChild(0);
        if (c.value == nullptr) {
            EXPECT_FALSE(a.HasChildren()) << Text(c.text).size();
        } else {
            ASSERT_EQ(a.GetChildCount(), 1);
            EXPECT_EQ(a.GetChild(0).GetType(), XmlNodeType::Text);
            EXPECT_EQ(Text(a.GetChild(0).GetValue()), c.value);
        }
    }
}

TEST(XmlDocument, EndTagNamesAreNotCompared) {
    ParsedXml xml(u"<r><a></b><c/></r>");
    CXmlElement r = xml.Root().GetChild(0);
    ASSERT_EQ(r.GetChildCount(), 2);
    EXPECT_EQ(Text(r.GetChild(1).GetName()), u"c");
    EXPECT_FALSE(r.GetChild(0).HasChildren());
}

TEST(XmlDocument, AnEndTagAtTheTopEndsTheParse) {
    ParsedXml xml(u"<a/></x><b/>");
    EXPECT_EQ(xml.Root().GetChildCount(), 1);
    EXPECT_EQ(xml.StopOffset(), 8);
}

TEST(XmlDocument, ProcessingInstructionCommentsAndCData) {
    ParsedXml xml(u"<?xml version=\"1.0\" encoding='utf-8'?><r><!--  a   note --><![CDATA[ <x>  y ]]></r>");
    CXmlElement root = xml.Root();
    ASSERT_EQ(root.GetChildCount(), 2);
    CXmlElement pi = root.GetChild(0);
    EXPECT_EQ(pi.GetType(), XmlNodeType::ProcessingInstruction);
    EXPECT_EQ(Text(pi.GetName()), u"xml");
    EXPECT_EQ(Text(pi.FindAttribute(u"encoding").GetAttributeText()), u"utf-8");
    CXmlElement r = root.GetChild(1);
    ASSERT_EQ(r.GetChildCount(), 2);
    EXPECT_EQ(r.GetChild(0).GetType(), XmlNodeType::Comment);
    EXPECT_EQ(Text(r.GetChild(0).GetValue()), u"a note");
    EXPECT_EQ(r.GetChild(1).GetType(), XmlNodeType::CData);
    EXPECT_EQ(Text(r.GetChild(1).GetValue()), u"<x> y");
}

TEST(XmlDocument, FlagsDecideWhatBecomesANode) {
    ParsedXml xml(u"<?pi a='1'?><!-- c --><r><![CDATA[lost]]><![INCLUDE[kept]]></r>", XML_TRIM_TEXT);
    CXmlElement root = xml.Root();
    ASSERT_EQ(root.GetChildCount(), 1);
    EXPECT_EQ(Text(root.GetChild(0).GetName()), u"r");
    EXPECT_FALSE(root.GetChild(0).HasChildren());
}

TEST(XmlDocument, DoctypeWithInternalSubset) {
    const std::u16string text = u"<!DOCTYPE r SYSTEM \"r.dtd\" [<!ELEMENT r ANY><!ENTITY % p \"a>b\">]><r/>";
    ParsedXml xml(text);
    CXmlElement doctype = xml.Root().GetChild(0);
    ASSERT_EQ(doctype.GetType(), XmlNodeType::DocType);
    ASSERT_EQ(doctype.GetAttributeCount(), 3);
    EXPECT_EQ(Text(doctype.GetAttribute(0).GetName()), u"r");
    EXPECT_EQ(Text(doctype.GetAttribute(0).GetAttributeText()), u"r");
    EXPECT_EQ(Text(doctype.GetAttribute(1).GetName()), u"SYSTEM");
    EXPECT_EQ(doctype.GetAttribute(2).GetName(), nullptr);
    EXPECT_EQ(Text(doctype.GetAttribute(2).GetAttributeText()), u"r.dtd");
    ASSERT_EQ(doctype.GetChildCount(), 2);
    EXPECT_EQ(doctype.GetChild(0).GetType(), XmlNodeType::ElementDeclaration);
    EXPECT_EQ(Text(doctype.GetChild(0).GetName()), u"r");
    EXPECT_EQ(Text(doctype.GetChild(0).GetValue()), u"ANY");
    EXPECT_EQ(doctype.GetChild(1).GetType(), XmlNodeType::Declaration);
    EXPECT_EQ(Text(doctype.GetChild(1).GetName()), u"%p");
    EXPECT_EQ(Text(doctype.GetChild(1).GetValue()), u"\"a>b\"");
    // With every flag on, the parse ends right after the internal subset.
    EXPECT_EQ(xml.Root().GetChildCount(), 1);
    EXPECT_EQ(xml.StopOffset(), static_cast<std::ptrdiff_t>(text.find(u"]>") + 1));

    ParsedXml whole(text, XML_PARSE_ALL & ~XML_STOP_AFTER_DOCTYPE_SUBSET);
    ASSERT_EQ(whole.Root().GetChildCount(), 2);
    EXPECT_EQ(Text(whole.Root().GetChild(1).GetName()), u"r");

    // An end tag at the subset's own level ends the subset; the document goes on after it.
    ParsedXml early(u"<!DOCTYPE a [<b></b></x><!ELEMENT q ANY>]><r/>", XML_PARSE_ALL & ~XML_STOP_AFTER_DOCTYPE_SUBSET);
    ASSERT_EQ(early.Root().GetChildCount(), 2);
    EXPECT_EQ(early.Root().GetChild(0).GetChildCount(), 1);
    EXPECT_EQ(Text(early.Root().GetChild(1).GetName()), u"r");
}

TEST(XmlDocument, MalformedInputKeepsWhatWasBuilt) {
    const char16_t* cases[] = {
        u"<a x=\"1",  u"<a><!-- open", u"<a><![CDATA[ open", u"<!DOCTYPE a [ <!ELEMENT", u"<!DOCTYPE a [[",
        u"<a b=c d>", u"<<<>>>",       u"<a/><?>",            u"<!x", u"<a><!ATTLIST",
        u"<!DOCTYPE a [<!DOCTYPE b [<c>]>]><d/>",
    };
    for (const char16_t* text : cases) {
        ParsedXml xml(text);
        EXPECT_NE(xml.stop, nullptr);
    }
    ParsedXml unquoted(u"<a b=c d>");
    CXmlElement a = unquoted.Root().GetChild(0);
    ASSERT_EQ(a.GetAttributeCount(), 3);
    EXPECT_EQ(a.GetAttribute(0).GetAttributeText(), nullptr);
    EXPECT_EQ(Text(a.GetAttribute(1).GetName()), u"c");
}

TEST(XmlDocument, DeepNestingParsesAndFreesWithoutRecursion) {
    const int depth = 200000;
    std::u16string text;
    for (int i = 0; i < depth; ++i) text += u"<a>";
    for (int i = 0; i < depth; ++i) text += u"</a>";
    ParsedXml xml(text);
    CXmlElement node = xml.Root();
    int levels = 0;
    while (node.FindChild(u"a")) ++levels;
    EXPECT_EQ(levels, depth);
    EXPECT_FALSE(xml.Root().FindDescendant(u"b").IsValid());

    std::u16string subsets;
    for (int i = 0; i < 20000; ++i) subsets += u"<!DOCTYPE a [";
    for (int i = 0; i < 20000; ++i) subsets += u"]>";
    ParsedXml nested(subsets);
    EXPECT_NE(nested.stop, nullptr);
}

TEST(XmlDocument, FreedTreesLeaveBoundedMemoryToTheNext) {
    std::u16string items;
    for (int i = 0; i < 2000; ++i) items += u"<Item Name='k" + std::u16string(1, u'a' + i % 26) + u"' X='1'/>";
    const std::u16string text = u"<Layouts>" + items + u"</Layouts>";
    { ParsedXml first(text); }
    const std::size_t kept = XmlArena::KeptBytes();
    EXPECT_GT(kept, 0u) << "a freed tree's blocks are kept";
    {
        ParsedXml second(text);
        EXPECT_LT(XmlArena::KeptBytes(), kept) << "the next document takes them";
        // Taken memory is not zeroed again: the tree must not show anything of the last one.
        const CXmlElement layouts = second.Root().GetChild(0);
        ASSERT_EQ(layouts.GetChildCount(), 2000);
        const CXmlElement last = layouts.GetChild(1999);
        EXPECT_EQ(last.GetAttributeCount(), 2);
        EXPECT_EQ(Text(last.GetAttributeValue(u"Name")), u"kx");
        EXPECT_EQ(last.GetChildCount(), 0);
        EXPECT_EQ(Text(last.FindAttribute(u"Added").GetAttributeText()), u"");
    }

    // A tree far larger than what is kept, with one array in a block of its own.
    std::u16string huge = u"<a>";
    for (int i = 0; i < 200000; ++i) huge += u"<b/>";
    huge += u"</a>";
    { ParsedXml large(huge); }
    EXPECT_LE(XmlArena::KeptBytes(), XmlArena::kMaxKeptBytes) << "no more than the bound stays";
}

TEST(XmlDocument, NullTextAndOwnedBuffers) {
    CXmlDocument document;
    EXPECT_EQ(document.Parse(nullptr), nullptr);
    EXPECT_FALSE(document.GetRoot().HasChildren());

    const std::u16string text = u"<Layouts><Layout Name='Main'/></Layouts>";
    std::unique_ptr<WCHAR[]> buffer(new WCHAR[text.size() + 1]);
    std::copy(text.begin(), text.end(), buffer.get());
    buffer[text.size()] = 0;
    ASSERT_NE(document.ParseOwned(std::move(buffer)), nullptr);
    CXmlElement layout = document.GetRoot().SelectPath(u"/Layouts/Layout", u"/");
    EXPECT_EQ(Text(layout.FindAttribute(u"Name").GetAttributeText()), u"Main");
}

}  // namespace
