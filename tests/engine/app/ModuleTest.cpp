// Tests of modules and creation by class name: module and entry look-up with their case
// rules, the kind check that releases a wrong object, bounded entry names, enumeration,
// and shutdown order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/app/CoreModule.h"
#include "engine/core/node/KNode.h"
#include "engine/core/object/Module.h"
#include "engine/resources/scene/Camera.h"

namespace {

int widgetsDestroyed = 0;
std::vector<std::string> events;

class TestWidget : public Interface {
    KEL_DECLARE_TYPE(TestWidget, Interface, "TestWidget")

public:
    ~TestWidget() override { ++widgetsDestroyed; }
};

class TestGadget : public TestWidget {
    KEL_DECLARE_TYPE(TestGadget, TestWidget, "TestGadget")
};

Interface* CreateTestWidget() { return new TestWidget(); }
Interface* CreateTestGadget() { return new TestGadget(); }
Interface* CreateNothing() { return nullptr; }

const ModuleClass kTestClasses[] = {
    {"TestWidget", TestWidget::StaticTypeId()},
    {"TestGadget", TestGadget::StaticTypeId()},
    {nullptr, nullptr},
};
void EnumerateTest(KDLList* names, TypeId type) { AppendClassNamesOfKind(names, type, kTestClasses); }
int InitTest() {
    events.push_back("init first");
    return 0;
}
int TermTest() {
    events.push_back("term first");
    return 0;
}
int InitSecond() {
    events.push_back("init second");
    return 5;
}
int TermSecond() {
    events.push_back("term second");
    return 0;
}

// "Create_" and 120 characters: 127 with the terminator still fits the 128 of the entry name.
const std::string kLongestClass(120, 'L');
const std::string kLongestEntry = "Create_" + kLongestClass;

const ModuleEntry kTestTable[] = {
    {"Create_TestWidget", AsModuleFunction(&CreateTestWidget)},
    {"Create_TestGadget", AsModuleFunction(&CreateTestGadget)},
    {"Create_Nothing", AsModuleFunction(&CreateNothing)},
    {kLongestEntry.c_str(), AsModuleFunction(&CreateTestWidget)},
    {"EnumerateInterfaces", AsModuleFunction(&EnumerateTest)},
    {"Init", AsModuleFunction(&InitTest)},
    {"Term", AsModuleFunction(&TermTest)},
    {nullptr, nullptr},
};

const ModuleEntry kSecondTable[] = {
    {"Init", AsModuleFunction(&InitSecond)},
    {"Term", AsModuleFunction(&TermSecond)},
    {nullptr, nullptr},
};

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        events.clear();
        widgetsDestroyed = 0;
        first_ = RegisterModule("TestModule", kTestTable);
        second_ = RegisterModule("Second", kSecondTable);
        ASSERT_NE(first_, nullptr);
        ASSERT_NE(second_, nullptr);
    }
    void TearDown() override { ShutdownModules(); }

    Module* first_ = nullptr;
    Module* second_ = nullptr;
};

TEST_F(ModuleTest, ModulesAreFoundWithoutRegardToCase) {
    // An "Init" result does not stop the registration.
    EXPECT_EQ(events, (std::vector<std::string>{"init first", "init second"}));
    EXPECT_EQ(FindModule("testmodule"), first_);
    EXPECT_EQ(FindModule("SECOND"), second_);
    EXPECT_EQ(FindModule(nullptr), first_);
    EXPECT_EQ(FindModule(""), first_);
    EXPECT_EQ(FindModule("Third"), nullptr);
    EXPECT_STREQ(first_->Name().Text(), "TestModule");
}

TEST_F(ModuleTest, EntriesAreFoundOnlyWithTheirExactCase) {
    EXPECT_NE(first_->FindEntry("Create_TestWidget"), nullptr);
    EXPECT_EQ(first_->FindEntry("create_testwidget"), nullptr);
    EXPECT_EQ(first_->FindEntry("Create_TestWidge"), nullptr);
    EXPECT_EQ(first_->FindEntry(nullptr), nullptr);
    Module bare;
    EXPECT_EQ(bare.FindEntry("Init"), nullptr);
    EXPECT_EQ(bare.Init("bare"), 0);
    bare.Term();
}

TEST_F(ModuleTest, CreationChecksTheKindAndReleasesAWrongObject) {
    Interface* widget = CreateByName("TESTMODULE", "TestWidget", TestWidget::StaticTypeId());
    ASSERT_NE(widget, nullptr);
    EXPECT_STREQ(widget->GetTypeName(), "TestWidget");
    EXPECT_EQ(widget->OwningModule(), first_);
    EXPECT_EQ(widget->ReferenceCount(), 0u);
    widget->Release();
    EXPECT_EQ(widgetsDestroyed, 1);

    // A widget is not a gadget: made, then released again.
    EXPECT_EQ(CreateByName("TestModule", "TestWidget", TestGadget::StaticTypeId()), nullptr);
    EXPECT_EQ(widgetsDestroyed, 2);

    // No type skips the check; a gadget answers to the widget's type.
    Interface* any = CreateByName("TestModule", "TestWidget", nullptr);
    ASSERT_NE(any, nullptr);
    any->Release();
    Interface* gadget = CreateByClassName(first_, "TestGadget", TestWidget::StaticTypeId());
    ASSERT_NE(gadget, nullptr);
    EXPECT_EQ(gadget->OwningModule(), first_);
    gadget->Release();
}

TEST_F(ModuleTest, UnknownOrOverlongNamesCreateNothing) {
    const std::string tooLong = kLongestClass + "L";
    const struct {
        const char* module;
        const char* className;
    } cases[] = {
        {"TestModule", "Nothing"},  {"TestModule", "Unknown"}, {"Nowhere", "TestWidget"},
        {"TestModule", nullptr},    {"TestModule", ""},        {"TestModule", tooLong.c_str()},
        {"Second", "TestWidget"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.className != nullptr ? c.className : "null");
        EXPECT_EQ(CreateByName(c.module, c.className, nullptr), nullptr);
    }
    EXPECT_EQ(CreateByClassName(nullptr, "TestWidget", nullptr), nullptr);
    const std::string huge(100000, 'H');
    EXPECT_EQ(CreateByName("TestModule", huge.c_str(), nullptr), nullptr);

    Interface* longest = CreateByName("TestModule", kLongestClass.c_str(), nullptr);
    ASSERT_NE(longest, nullptr);
    longest->Release();
    EXPECT_EQ(widgetsDestroyed, 1);
}

TEST_F(ModuleTest, EnumerationListsTheClassesOfAKind) {
    auto enumerate = reinterpret_cast<ModuleEnumerateFunction>(first_->FindEntry("EnumerateInterfaces"));
    ASSERT_NE(enumerate, nullptr);
    const struct {
        TypeId type;
        std::vector<std::string> expected;
    } cases[] = {
        {Interface::StaticTypeId(), {"TestWidget", "TestGadget"}},
        {TestWidget::StaticTypeId(), {"TestWidget", "TestGadget"}},
        {TestGadget::StaticTypeId(), {"TestGadget"}},
        {nullptr, {}},
    };
    for (const auto& c : cases) {
        KDLList names;
        enumerate(&names, c.type);
        std::vector<std::string> found;
        for (KDLLink* link = names.head; link != nullptr; link = link->next)
            found.emplace_back(static_cast<EngineString*>(link->item)->Text());
        EXPECT_EQ(found, c.expected);
        ListDeleteAll(names, EngineString::DeleteItem);
    }
}

TEST_F(ModuleTest, ShutdownEndsModulesInRegistrationOrder) {
    events.clear();
    ShutdownModules();
    EXPECT_EQ(events, (std::vector<std::string>{"term first", "term second"}));
    EXPECT_EQ(ModuleList().count, 0u);
    EXPECT_EQ(FindModule(nullptr), nullptr);
}

TEST(CoreModule, RegistersLibkelFirst) {
    ASSERT_EQ(RegisterCoreModule(), 0);
    Module* core = FindModule("LIBKEL");
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(FindModule(nullptr), core);
    EXPECT_STREQ(core->Name().Text(), "libkel");
    EXPECT_NE(core->FindEntry("EnumerateInterfaces"), nullptr);
    EXPECT_NE(core->FindEntry("Init"), nullptr);
    EXPECT_EQ(core->FindEntry("Term"), nullptr);
    ShutdownModules();
}

TEST(CoreModule, CreatesSceneNodesByTheirClassNames) {
    ASSERT_EQ(RegisterCoreModule(), 0);
    Interface* node = CreateByName("libkel", "Node", KNode::StaticTypeId());
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(static_cast<KNode*>(node)->GetClassId(), "libkel/Node");
    EXPECT_EQ(node->OwningModule(), FindModule("libkel"));
    node->Release();
    Interface* camera = CreateByName("libkel", "Camera", KNode::StaticTypeId());
    ASSERT_NE(camera, nullptr);
    EXPECT_STREQ(camera->GetTypeName(), "Camera");
    camera->Release();

    KDLList names;
    auto enumerate = reinterpret_cast<ModuleEnumerateFunction>(FindModule(nullptr)->FindEntry("EnumerateInterfaces"));
    enumerate(&names, KNode::StaticTypeId());
    ASSERT_EQ(names.count, 7u);
    EXPECT_STREQ(static_cast<EngineString*>(names.head->item)->Text(), "Node");
    EXPECT_STREQ(static_cast<EngineString*>(names.head->next->item)->Text(), "Camera");
    EXPECT_STREQ(static_cast<EngineString*>(names.head->next->next->item)->Text(), "EffectNode");
    EXPECT_STREQ(static_cast<EngineString*>(names.tail->item)->Text(), "SkelObject");
    ListDeleteAll(names, EngineString::DeleteItem);
    Interface* effectNode = CreateByName("libkel", "EffectNode", KNode::StaticTypeId());
    ASSERT_NE(effectNode, nullptr);
    EXPECT_STREQ(static_cast<KNode*>(effectNode)->GetClassId(), "libkel/EffectNode");
    effectNode->Release();
    ShutdownModules();
}

}  // namespace
