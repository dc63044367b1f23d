// Level objects made by type code with their models and path animations in place.
#pragma once

#include "engine/core/node/KNode.h"
#include "game/world/objects/LevelObject.h"
#include "tests/game/world/WorldTestSupport.h"

namespace world_test {

class ObjectTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        WriteObjectPaths();
        AddObjectModels();
    }
    void TearDown() override {
        for (LevelObject* object : made_) delete object;
        WorldTest::TearDown();
    }
    // Initialised and placed on tile (2, 3); the test's objects are deleted after it.
    template <typename T = LevelObject>
    T* Make(std::uint32_t code) {
        LevelObject* object = NewLevelObject(static_cast<std::int32_t>(code));
        EXPECT_NE(object, nullptr);
        if (object == nullptr) return nullptr;
        made_.push_back(object);
        EXPECT_TRUE(object->Init(code)) << code << ": " << KeptExceptions();
        object->position = object->placement = {20, 30, 0};
        return static_cast<T*>(object);
    }
    static KNode* Part(LevelObject* object, const char* name) { return FindNodeByName(object->model, name); }
    static void Run(LevelObject* object, float seconds, float step = 1.0f / 30.0f) {
        for (float time = 0.0f; time < seconds - 1e-6f; time += step) object->Update(step);
    }

    std::vector<LevelObject*> made_;
};

}  // namespace world_test
