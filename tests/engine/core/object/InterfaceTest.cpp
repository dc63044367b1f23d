// Tests of the engine object model: reference counting, the type queries over a small class
// tree, and the GUID registry.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "engine/core/object/Engine.h"
#include "engine/core/object/GameEngine.h"
#include "engine/core/object/Interface.h"
#include "engine/core/object/KGlobalInterface.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

using engine_test::CapturedLog;

int destroyed = 0;

class TestNode : public KGlobalInterface {
    KEL_DECLARE_TYPE(TestNode, KGlobalInterface, "Node")

public:
    ~TestNode() override { ++destroyed; }
};

class TestCamera : public TestNode {
    KEL_DECLARE_TYPE(TestCamera, TestNode, "Camera")
};

class TestTexture : public Interface {
    KEL_DECLARE_TYPE(TestTexture, Interface, "Texture")
};

// The smallest game object: the five operations do nothing.
class TestGame : public GameEngine {
public:
    DWORD Init() override { return 0; }
    void Shutdown() override {}
    DWORD Run() override { return 0; }
    DWORD Render() override { return 0; }
    void OnEvent(DWORD, LPARAM, LPARAM) override {}
};

TEST(Interface, ReleaseDeletesWhenTheCountIsZero) {
    destroyed = 0;
    auto* node = new TestNode();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->ReferenceCount(), 0u);
    EXPECT_EQ(node->Release(), 0u);
    EXPECT_EQ(destroyed, 1);

    node = new TestNode();
    EXPECT_EQ(node->AddRef(), 1u);
    EXPECT_EQ(node->AddRef(), 2u);
    EXPECT_EQ(node->Release(), 1u);
    EXPECT_EQ(node->Release(), 0u);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(node->GetObject(), node);
    EXPECT_EQ(node->OwningModule(), nullptr);
    EXPECT_EQ(node->Release(), 0u);
    EXPECT_EQ(destroyed, 2);
}

TEST(Interface, TypeQueriesWalkTheClassTree) {
    auto* camera = new TestCamera();
    EXPECT_STREQ(camera->GetTypeName(), "Camera");
    EXPECT_STREQ(camera->GetBaseTypeName(), "Node");
    EXPECT_EQ(camera->GetTypeId(), TestCamera::StaticTypeId());
    EXPECT_EQ(camera->GetBaseTypeId(), TestNode::StaticTypeId());

    const struct {
        TypeId id;
        int distance;
    } distances[] = {
        {TestCamera::StaticTypeId(), 1},  {TestNode::StaticTypeId(), 2},   {KGlobalInterface::StaticTypeId(), 3},
        {Interface::StaticTypeId(), 4},   {TestTexture::StaticTypeId(), 0}, {Engine::StaticTypeId(), 0},
        {nullptr, 0},
    };
    for (const auto& expected : distances) {
        SCOPED_TRACE(expected.id != nullptr ? expected.id->name : "null");
        EXPECT_EQ(camera->GetTypeDistance(expected.id), expected.distance);
        EXPECT_EQ(camera->IsKindOf(expected.id), expected.distance != 0);
    }

    const struct {
        const char* name;
        bool is;
    } names[] = {
        {"Camera", true}, {"Node", true},     {"GlobalInterface", true}, {"Interface", true},
        {"node", false},  {"Texture", false}, {"", false},               {nullptr, false},
    };
    for (const auto& expected : names) {
        SCOPED_TRACE(expected.name != nullptr ? expected.name : "null");
        EXPECT_EQ(camera->IsA(expected.name), expected.is);
    }
    camera->Release();

    auto* texture = new TestTexture();
    EXPECT_STREQ(texture->GetBaseTypeName(), "Interface");
    EXPECT_EQ(texture->GetTypeDistance(Interface::StaticTypeId()), 2);
    EXPECT_FALSE(texture->IsA("GlobalInterface"));
    texture->Release();
}

TEST(Interface, GameObjectIsAKindOfEngine) {
    auto* game = new TestGame();
    EXPECT_STREQ(game->GetTypeName(), "GameEngine");
    EXPECT_STREQ(game->GetBaseTypeName(), "Engine");
    EXPECT_TRUE(game->IsKindOf(Engine::StaticTypeId()));
    EXPECT_TRUE(game->IsA("Engine"));
    EXPECT_EQ(game->GetTypeDistance(GameEngine::StaticTypeId()), 1);
    EXPECT_EQ(game->GetTypeDistance(Interface::StaticTypeId()), 3);
    EXPECT_EQ(game->GetTypeDistance(KGlobalInterface::StaticTypeId()), 0);
    Engine* engine = game;
    EXPECT_EQ(engine->Init(), 0u);
    // The two reserved operations answer 0 in every class.
    for (Interface* object : std::initializer_list<Interface*>{game, new TestCamera(), new TestTexture()}) {
        EXPECT_EQ(object->ReservedOperation1(), 0);
        EXPECT_EQ(object->ReservedOperation2(), 0);
        object->Release();
    }
}

class GuidRegistry : public ::testing::Test {
protected:
    void SetUp() override { ClearGuidRegistry(); }
    void TearDown() override { ClearGuidRegistry(); }
};

TEST_F(GuidRegistry, NoGuidRegistersNothing) {
    auto* node = new TestNode();
    EXPECT_EQ(node->SetGUID(kNoGuid), 1);
    EXPECT_EQ(node->GetGUID(), kNoGuid);
    EXPECT_EQ(node->SavedWord(), 4u);
    EXPECT_EQ(node->UnsavedWord(), 4u);
    node->Release();
}

TEST_F(GuidRegistry, GuidsSharingABucketAreAllFound) {
    CapturedLog log;
    auto* first = new TestNode();
    auto* second = new TestNode();
    auto* third = new TestNode();
    // 0x001 and 0x1001 share a bucket (the low 12 bits).
    ASSERT_EQ(first->SetGUID(0x001), 1);
    ASSERT_EQ(second->SetGUID(0x1001), 1);
    // Both the head and the one behind it are found as duplicates.
    EXPECT_EQ(third->SetGUID(0x1001), 0);
    EXPECT_EQ(third->GetGUID(), kNoGuid);
    EXPECT_TRUE(log.Contains("SetGUID: tried to assign duplicate GUID (0x00001001)"));
    EXPECT_EQ(third->SetGUID(0x001), 0);

    // The head leaves the chain on destruction; the rest stays reachable.
    first->Release();
    EXPECT_EQ(third->SetGUID(0x1001), 0);
    EXPECT_EQ(third->SetGUID(0x001), 1);
    second->Release();
    auto* fourth = new TestNode();
    EXPECT_EQ(fourth->SetGUID(0x1001), 1);
    EXPECT_FALSE(log.Contains("not found"));
    third->Release();
    fourth->Release();
}

TEST_F(GuidRegistry, AGuidIsAssignedOnce) {
    CapturedLog log;
    auto* node = new TestNode();
    ASSERT_EQ(node->SetGUID(5), 1);
    EXPECT_EQ(node->SetGUID(5), 1);
    EXPECT_EQ(node->SetGUID(6), 0);
    EXPECT_EQ(node->GetGUID(), 5u);
    EXPECT_TRUE(log.Contains("SetGUID: GUID already assigned (0x00000006)"));
    node->Release();
}

TEST_F(GuidRegistry, DestroyingAnUnregisteredGuidIsLoggedAndCompletes) {
    CapturedLog log;
    destroyed = 0;
    auto* node = new TestNode();
    ASSERT_EQ(node->SetGUID(7), 1);
    ClearGuidRegistry();
    node->Release();
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(log.Contains("~KGlobalInterface: object with GUID not found (0x00000007)"));
}

}  // namespace
