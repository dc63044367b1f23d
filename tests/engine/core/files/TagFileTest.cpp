// TagFile: the grammar table, the value getters, look-ups by path, the write-then-parse round
// trip, loading through FileStream, and nesting far deeper than any call stack would allow.
#include <string>

#include "engine/core/files/FileStream.h"
#include "engine/core/files/TagFile.h"
#include "tests/engine/support/ArchiveTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

class TagFileTest : public engine_test::HeapTest {};

// The tree as one line: name{tag=v|v;...child{...}}.
std::string Describe(const TagFile& node) {
    std::string text = std::string(node.name.Text()) + "{";
    for (KDLLink* link = node.tags.head; link != nullptr; link = link->next) {
        const auto* tag = static_cast<const TagFileTag*>(link->item);
        text += std::string(tag->name.Text()) + "=";
        for (KDLLink* value = tag->values.head; value != nullptr; value = value->next)
            text += std::string(static_cast<const EngineString*>(value->item)->Text()) + (value->next ? "|" : "");
        text += ";";
    }
    for (KDLLink* link = node.children.head; link != nullptr; link = link->next)
        text += Describe(*static_cast<const TagFile*>(link->item));
    return text + "}";
}

struct GrammarCase {
    const char* text;
    int result;  // of ParseText: 0 success, 1 failure
    const char* tree;
};

TEST_F(TagFileTest, GrammarTable) {
    const GrammarCase cases[] = {
        {"Root\n{\nSize 3 4\nChild\n{\n}\n}", 0, "Root{Size=3|4;Child{}}"},
        {"Root\n{\nFlag\n}", 1, "TagFile{}"},  // a lone identifier is a child, and "}" is not "{"
        {"Root\n{\nName \"a b\" (1, 2) [3 4]\n}", 0, "Root{Name=\"a b\"|(1, 2)|[3 4];}"},
        {"Root\n{\nPos [1.0 2.0 3.0] # comment\n}", 0, "Root{Pos=[1.0 2.0 3.0];}"},
        {"Root\n{\nA 1\nChild\n{\nB 2", 0, "Root{A=1;Child{B=2;}}"},  // missing braces at the end
        {"\r\n// header\n  # note\nRoot\r\n\r\n{\r\n\tKey  value  // trailing\r\n}\r\n", 0, "Root{Key=value;}"},
        {"Root\n{\nName {\n}", 0, "Root{Name={;}"},  // "Name {" is a tag with the value "{"
        {"Root\n{\n}\nIgnored\n{\n}", 0, "Root{}"},
        {"Root{\n}", 1, "TagFile{}"},
        {"Ro ot\n{\n}", 1, "TagFile{}"},
        {"Root\n", 1, "TagFile{}"},
        {"", 1, "TagFile{}"},
        {"Root\n{\nv \"open (x\n}", 0, "Root{v=\"open (x;}"},  // an unclosed quote runs to the line's end
        {"Root\n{\nx\x1F 1\n}", 0, "Root{x\x1F=1;}"},           // character 31 is not blank
        {"Root\n{\nx\xA0y 1\n}", 0, "Root{x=y|1;}"},             // bytes from 0x80 are
        {"my-node_2\n{\nc\n{\nd\n{\n}\n}\n}", 0, "my-node_2{c{d{}}}"},
    };
    for (const GrammarCase& testCase : cases) {
        TagFile root;
        EXPECT_EQ(root.ParseText(testCase.text), testCase.result) << testCase.text;
        EXPECT_EQ(Describe(root), testCase.tree) << testCase.text;
    }
    TagFile root;
    const std::string longName(256, 't');
    EXPECT_EQ(root.ParseText(("Root\n{\n" + longName + " 1\n}").c_str()), 1);
    EXPECT_EQ(root.ParseText(("Root\n{\n" + longName.substr(1) + " 1\n}").c_str()), 0);
}

TEST_F(TagFileTest, ValueGetters) {
    TagFile root;
    ASSERT_EQ(root.ParseText("R\n{\n"
                             "S \"a b\" plain \"\"\n"
                             "N 0x10 -12 1.5f +1 1e3 017\n"
                             "V [1 2 3] (1,2) [1 2 3 4] (4, 5, 6 ) [1 +2 3] [7 8 9\n"
                             "C [0.5 0.25 1 0] (1 2 3)\n"
                             "}"),
              0);
    TagFileTag* s = root.FindTag("s");
    EngineString text;
    EXPECT_EQ(s->GetString(0, text), 1);
    EXPECT_STREQ(text.Text(), "a b");
    EXPECT_EQ(s->GetString(1, text), 1);
    EXPECT_STREQ(text.Text(), "plain");
    EXPECT_EQ(s->GetString(2, text), 1);
    EXPECT_STREQ(text.Text(), "");
    EXPECT_EQ(s->GetString(3, text), 0);

    TagFileTag* n = root.FindTag("N");
    std::uint32_t u = 0;
    std::int32_t i = 99;
    float f = 0;
    EXPECT_EQ(n->GetUInt(0, u), 1);
    EXPECT_EQ(u, 16u);
    EXPECT_EQ(n->GetInt(0, i), 1);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(n->GetInt(1, i), 1);
    EXPECT_EQ(i, -12);
    EXPECT_EQ(n->GetFloat(2, f), 1);
    EXPECT_EQ(f, 1.5f);
    f = 7;
    EXPECT_EQ(n->GetFloat(3, f), 0);  // '+' is not a number character
    EXPECT_EQ(f, 7.0f);
    EXPECT_EQ(n->GetFloat(4, f), 1);
    EXPECT_EQ(f, 1000.0f);
    EXPECT_EQ(n->GetUInt(5, u), 1);
    EXPECT_EQ(u, 15u);  // octal
    EXPECT_EQ(n->GetFloat(6, f), 0);

    struct VectorCase {
        std::uint32_t index;
        int result;
        Vector3 value;
    };
    const VectorCase vectors[] = {{0, 1, {1, 2, 3}}, {1, 0, {0, 0, 0}}, {2, 0, {1, 2, 3}},
                                  {3, 1, {4, 5, 6}}, {4, 0, {0, 0, 0}}, {5, 0, {0, 0, 0}}};
    TagFileTag* v = root.FindTag("V");
    for (const VectorCase& expected : vectors) {
        Vector3 out{9, 9, 9};
        EXPECT_EQ(v->GetVector3(expected.index, out), expected.result) << expected.index;
        EXPECT_EQ(out.x, expected.value.x) << expected.index;
        EXPECT_EQ(out.y, expected.value.y) << expected.index;
        EXPECT_EQ(out.z, expected.value.z) << expected.index;
    }
    Color color{};
    EXPECT_EQ(root.FindTag("C")->GetColor(0, color), 1);
    EXPECT_EQ(color.g, 0.25f);
    EXPECT_EQ(root.FindTag("C")->GetColor(1, color), 0);
    EXPECT_EQ(color.a, 1.0f);  // the default stays
    Quaternion q{};
    EXPECT_EQ(root.FindTag("C")->GetQuaternion(1, q), 0);
    EXPECT_EQ(q.w, 1.0f);
}

TEST_F(TagFileTest, FindsNodesAndTagsByPath) {
    TagFile root;
    ASSERT_EQ(root.ParseText("Root\n{\nSize 1\nSize 2\nOther 3\nSize 4\na\n{\nb\n{\nSize 5\n}\n}\n}"), 0);
    TagFile* b = root.FindChild("a/b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(root.FindChild("A\\B/"), b);
    EXPECT_EQ(root.FindChild(""), &root);
    EXPECT_EQ(root.FindChild("a//b"), nullptr);
    EXPECT_EQ(root.FindChild("a/bb"), nullptr);
    EXPECT_EQ(b->parent, root.FindChild("a"));
    EXPECT_EQ(root.FindTagByPath("a/b/Size"), b->FindTag("size"));
    EXPECT_EQ(root.FindTagByPath("SIZE"), root.FindTag("Size"));
    EXPECT_EQ(root.FindTagByPath("a/b/"), nullptr);
    EXPECT_EQ(root.FindTagByPath("S"), nullptr);  // one character
    EXPECT_EQ(root.FindTagByPath("/Size"), nullptr);  // "/Size" as a whole is the tag name

    std::string seen;
    for (TagFileTag* tag = root.FindNextTag(nullptr); tag != nullptr; tag = root.FindNextTag(tag))
        seen += std::string(tag->Value(0)->Text());
    EXPECT_EQ(seen, "124");
    TagFileTag stranger("Size");
    EXPECT_EQ(root.FindNextTag(&stranger), nullptr);
    EXPECT_EQ(root.FindTag("Size")->owner, &root);
}

TEST_F(TagFileTest, WrittenTreesParseBackTheSame) {
    TagFile built("Animation");
    TagFileTag* header = built.AddTag("Header");
    header->AddValue("\"walk cycle\"", 12);
    header->AddValue("25", 2);
    built.AddTag("Position")->AddVector3(Vector3{1.5f, -2.0f, 0.0f});
    built.AddTag("Rotation")->AddVector4(Quaternion{0.0f, 0.0f, 0.7071068f, 0.7071068f});
    TagFile* track = built.AddChild("Track");
    track->AddTag("Key")->AddValue("(0, 1)", 6);
    track->AddChild("Empty");

    const EngineString text = built.WriteText();
    EXPECT_STREQ(text.Text(),
                 "Animation\n{\nHeader \"walk cycle\" 25\nPosition [1.500000 -2.000000 0.000000]\n"
                 "Rotation [0.000000 0.000000 0.707107 0.707107]\nTrack\n{\nKey (0, 1)\nEmpty\n{\n}\n}\n}");
    EXPECT_STREQ(header->WriteText().Text(), "Header \"walk cycle\" 25");
    TagFile parsed;
    ASSERT_EQ(parsed.ParseText(text.Text()), 0);
    EXPECT_EQ(Describe(parsed), Describe(built));
    Quaternion rotation{};
    EXPECT_EQ(parsed.FindTag("Rotation")->GetQuaternion(0, rotation), 1);
    EXPECT_NEAR(rotation.z, 0.7071068f, 1e-6);
}

TEST_F(TagFileTest, NestingDeeperThanTheCallStackParsesWritesAndDeletes) {
    constexpr int kDepth = 10000;
    std::string text;
    for (int i = 0; i < kDepth; ++i) text += "n\n{\nv 1\n";
    TagFile root;
    ASSERT_EQ(root.ParseText(text.c_str()), 0);
    const TagFile* node = &root;
    int depth = 1;
    while (node->children.head != nullptr) {
        node = static_cast<const TagFile*>(node->children.head->item);
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    const EngineString written = root.WriteText();
    // Per node "n", "\n{", "\nv 1" and "\n}", and a "\n" before every node but the root.
    EXPECT_EQ(written.Length(), 10u * kDepth - 1);
    root.Empty();
    EXPECT_EQ(root.children.count, 0u);
}

class TagFileLoadTest : public engine_test::ArchiveTest {};

TEST_F(TagFileLoadTest, LoadsThroughFileStreamAndFailsCleanly) {
    engine_test::WriteWholeFile(DataPath("menus/style.txt"), engine_test::ToBytes("Style\n{\nFont big\n}\n"));
    engine_test::WriteWholeFile(DataPath("menus/bad.txt"), engine_test::ToBytes("Style\n{\nList\n}\n"));
    TagFile file;
    EXPECT_EQ(file.Load("menus/style.txt", 0), 0);
    EXPECT_EQ(Describe(file), "Style{Font=big;}");
    EXPECT_EQ(file.Load("menus/bad.txt", 1), 1);
    EXPECT_EQ(Describe(file), "Style{}");  // emptied, name kept
    EXPECT_EQ(file.Load("menus/missing.txt", 0), 1);
    // A stream positioned past its start cannot give its whole data.
    FileStream stream;
    ASSERT_EQ(stream.Open("menus/style.txt", kStreamReadWhole), 1);
    stream.Seek(1, 0);
    EXPECT_EQ(file.Parse(stream), 1);
}

}  // namespace
