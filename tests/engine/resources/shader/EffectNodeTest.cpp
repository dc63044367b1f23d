// Effect nodes: which effects a pass draws (the later-pass bit against the draw-in-every-pass
// flag), the hand-back of effects to the registry's two pools, and the order of the node's
// destruction (unregister unless the registry tears down, release, recycle).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/memory/EngineMemory.h"
#include "engine/core/object/Module.h"
#include "engine/resources/scene/RenderContext.h"
#include "engine/resources/shader/EffectNode.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

std::vector<std::string> events;

class RecordingEffect : public EffectInstance {
public:
    explicit RecordingEffect(std::string name) : name_(std::move(name)) {}
    void Render(RenderContext&, EffectInstance** place) override {
        events.push_back("render " + name_ + (*place == this ? "" : " (wrong place)"));
    }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

bool tearingDown = false;

void InstallRecordingRegistry() {
    EffectRegistryHooks hooks;
    hooks.returnEffect = [](EffectInstance* effect, int pool) {
        events.push_back("pool " + std::to_string(pool) + " " + static_cast<RecordingEffect*>(effect)->Name());
        delete effect;
    };
    hooks.recycleInstance = [](EffectCollectionInstance* instance) {
        events.push_back("recycle");
        delete instance;
    };
    hooks.unregisterNode = [](KNode*) { events.push_back("unregister"); };
    hooks.tearingDown = [] { return tearingDown; };
    SetEffectRegistryHooks(hooks);
}

class EffectNodeTest : public engine_test::HeapTest {
protected:
    void SetUp() override {
        HeapTest::SetUp();
        events.clear();
        tearingDown = false;
        InstallRecordingRegistry();
        description_ = new EffectCollectionDesc;
        for (int i = 0; i < 3; ++i) {
            description_->entries[i] = new EffectEntry;
            description_->entries[i]->name.Assign(("effect" + std::to_string(i)).c_str());
        }
        description_->entries[1]->drawInEveryPass = 1;
        description_->entries[2]->poolWord = 1;
        description_->count = 3;
    }
    void TearDown() override {
        SetEffectRegistryHooks(EffectRegistryHooks{});
        description_->Release();
        HeapTest::TearDown();
    }

    // An instance with effects for the entries named (entry i gets "e<i>").
    EffectCollectionInstance* MakeInstance(std::vector<int> entries) {
        auto* instance = new EffectCollectionInstance;
        instance->description = description_;
        for (int i : entries) {
            auto* effect = new RecordingEffect("e" + std::to_string(i));
            effect->entry = description_->entries[i];
            instance->effects[i] = effect;
        }
        return instance;
    }

    EffectCollectionDesc* description_ = nullptr;
};

TEST_F(EffectNodeTest, ALaterPassDrawsOnlyTheEffectsThatAskForEveryPass) {
    auto* node = new EffectNode;
    node->SetInstance(MakeInstance({0, 1, 2}));
    RenderContext context;
    node->RenderEffects(context);
    EXPECT_EQ(events, (std::vector<std::string>{"render e0", "render e1", "render e2"}));

    events.clear();
    context.flags = kRenderContextLaterPass;
    node->RenderEffects(context);
    EXPECT_EQ(events, (std::vector<std::string>{"render e1"}));

    // Effects past the description's count are not drawn.
    events.clear();
    context.flags = 0;
    description_->count = 1;
    node->RenderEffects(context);
    EXPECT_EQ(events, (std::vector<std::string>{"render e0"}));
    description_->count = 3;
    node->Release();
}

TEST_F(EffectNodeTest, ANodeUnregistersReleasesItsEffectsToTheirPoolsThenRecycles) {
    auto* node = new EffectNode;
    node->SetInstance(MakeInstance({0, 2}));
    events.clear();
    node->Release();
    EXPECT_EQ(events, (std::vector<std::string>{"unregister", "pool 0 e0", "pool 1 e2", "recycle"}));

    // While the registry tears down, nodes do not unregister themselves.
    events.clear();
    tearingDown = true;
    auto* last = new EffectNode;
    last->SetInstance(MakeInstance({1}));
    last->Release();
    EXPECT_EQ(events, (std::vector<std::string>{"pool 0 e1", "recycle"}));
}

TEST_F(EffectNodeTest, ReleasingEffectsNeedsADescriptionAndClearsThePointers) {
    EffectCollectionInstance* instance = MakeInstance({0, 1});
    EXPECT_EQ(ReleaseEffectCollection(*instance), 1);
    for (EffectInstance* effect : instance->effects) EXPECT_EQ(effect, nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"pool 0 e0", "pool 0 e1"}));

    instance->description = nullptr;
    EXPECT_EQ(ReleaseEffectCollection(*instance), 0);
    delete instance;

    // Without a registry, what a node gives back goes with it.
    SetEffectRegistryHooks(EffectRegistryHooks{});
    const std::size_t blocks = EngineBlockCount();
    auto* node = new EffectNode;
    node->SetInstance(MakeInstance({0, 1, 2}));
    node->Release();
    EXPECT_EQ(EngineBlockCount(), blocks);
}

TEST_F(EffectNodeTest, AClonedEffectNodeIsAnEffectNodeWithoutEffects) {
    auto* node = new EffectNode;
    node->SetInstance(MakeInstance({0}));
    KNode* copy = node->Clone(nullptr);
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(copy->IsKindOf(EffectNode::StaticTypeId()));
    EXPECT_EQ(static_cast<EffectNode*>(copy)->Instance(), nullptr);
    EXPECT_STREQ(copy->GetTypeName(), "EffectNode");
    copy->Release();
    node->Release();
}

}  // namespace
