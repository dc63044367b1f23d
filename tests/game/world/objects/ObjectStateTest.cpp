// The other classes: collectables shrink away, the portal opens once, the spawn effect flares
// up and dies down, the spike cube bounces, the damper top follows the character; and save,
// restore and reset of every class.
#include "engine/core/math/VectorMath.h"
#include "game/world/objects/DamperObject.h"
#include "game/world/objects/PickupObjects.h"
#include "game/world/objects/PortalObjects.h"
#include "game/world/objects/SpikeCubeObject.h"
#include "tests/game/world/objects/ObjectTestSupport.h"

namespace world_test {
namespace {

using ObjectStateTest = ObjectTest;

TEST_F(ObjectStateTest, ACollectedSphereShrinksAtFourPerSecondAndSnapsToNothing) {
    auto* sphere = Make<SphereObject>(6);
    EXPECT_STREQ(sphere->flare.texture.Text(), "gfx/fx/pickupglow2.dds");
    sphere->Update(0.1f);
    EXPECT_FLOAT_EQ(sphere->scale, 1.0f);
    sphere->SetFlag(kObjectCollected, true);
    sphere->Update(0.1f);
    EXPECT_NEAR(sphere->scale, 0.6f, 1e-6f);
    EXPECT_NEAR(sphere->flare.intensity, 0.6f, 1e-6f);
    EXPECT_NEAR(Part(sphere, "pickup")->Transform().scale.x, 0.6f, 1e-6f);
    sphere->Update(0.1f);  // 0.2 is not below the limit
    EXPECT_NEAR(sphere->scale, 0.2f, 1e-6f);
    sphere->Update(0.01f);
    EXPECT_FLOAT_EQ(sphere->scale, 0.0f);
    EXPECT_FLOAT_EQ(sphere->flare.intensity, 0.0f);
    sphere->Reset();
    EXPECT_FLOAT_EQ(sphere->scale, 1.0f);
    EXPECT_EQ(sphere->flags & kObjectCollected, 0u);

    auto* key = Make<KeyObject>(0);
    Run(key, 0.5f);
    EXPECT_NEAR(key->model->Transform().position.z, 0.5f * 24.0f / 23.0f, 1e-4f);  // placed and lifted
    EXPECT_FLOAT_EQ(key->model->Transform().position.x, 20.0f);
}

TEST_F(ObjectStateTest, APortalOpensOnceGrowsItsEffectAndClosesAgain) {
    auto* portal = Make<ExitPortalObject>(11);
    EXPECT_FLOAT_EQ(portal->offset.x, -5.0f);
    EXPECT_FLOAT_EQ(portal->flare.intensity, 0.0f);
    EXPECT_TRUE(portal->Open(true));
    EXPECT_FALSE(portal->Open(true));
    EXPECT_EQ(services_.sounds, std::vector<int>{kSoundPortalOpen});
    portal->Update(0.1f);
    EXPECT_EQ(portal->state, kPortalOpen);
    EXPECT_FLOAT_EQ(portal->effectScale.x, 0.0f);  // nothing else in the frame it opens
    Run(portal, 0.25f, 0.05f);
    EXPECT_NEAR(portal->effectScale.x, 0.5f, 1e-5f);
    EXPECT_NEAR(Part(portal, "portaleffect1")->Transform().scale.y, 0.5f, 1e-5f);
    Run(portal, 1.0f, 0.05f);
    EXPECT_GE(portal->effectScale.x, 1.0f);
    EXPECT_LT(portal->effectScale.x, 1.11f);
    EXPECT_TRUE(portal->Close());
    portal->Update(0.1f);
    EXPECT_EQ(portal->state, kPortalClosed);
    EXPECT_FLOAT_EQ(Part(portal, "portaleffect1")->Transform().scale.x, 0.0f);
    EXPECT_FLOAT_EQ(portal->flare.intensity, 0.0f);
}

TEST_F(ObjectStateTest, TheSpawnEffectGrowsForHalfASecondAndShrinksForTheNext) {
    auto* spawn = Make<SpawnEffectObject>(35);
    Run(spawn, 0.25f, 0.05f);
    EXPECT_NEAR(spawn->effectScale.x, 1.0f, 1e-5f);
    Run(spawn, 0.5f, 0.05f);
    EXPECT_LT(spawn->effectScale.x, 0.5f);
    Run(spawn, 0.3f, 0.05f);
    EXPECT_FLOAT_EQ(spawn->effectScale.x, 0.0f);
    EXPECT_FLOAT_EQ(spawn->flare.intensity, 0.0f);
    spawn->Reset();
    EXPECT_FLOAT_EQ(spawn->lifeTime, 0.0f);
    spawn->Update(0.1f);
    EXPECT_NEAR(spawn->effectScale.x, 0.4f, 1e-5f);
}

TEST_F(ObjectStateTest, TheSpikeCubeLaunchesAfterRestingAndEachBounceKeepsSixTenths) {
    auto* cube = Make<SpikeCubeObject>(14);
    SetPlayerPosition({25, 35, 0});
    cube->Update(0.5f);
    cube->Bounce();  // not rested long enough: nothing to keep
    EXPECT_FLOAT_EQ(cube->motion.y, 0.0f);
    EXPECT_TRUE(services_.sounds.empty());
    cube->Update(0.6f);
    cube->Bounce();
    EXPECT_FLOAT_EQ(cube->motion.y, -24.0f);
    EXPECT_EQ(services_.sounds, std::vector<int>{kSoundSpikeCubeLand});
    EXPECT_EQ(services_.rumbles, 1);
    const float expected[] = {-14.4f, -8.64f, 0.0f};
    for (float y : expected) {
        cube->Update(0.05f);  // the bounce keeps the rest timer at 0
        cube->Bounce();
        EXPECT_NEAR(cube->motion.y, y, 1e-4f);
        EXPECT_NEAR(cube->bounce.y, y, 1e-4f);
    }
    EXPECT_EQ(services_.sounds.size(), 1u);
    // A sliding object never falls faster than 48.
    cube->motion = {0, 60, 0};
    cube->Update(0.01f);
    EXPECT_FLOAT_EQ(cube->motion.y, kSlideSpeedLimit);
}

TEST_F(ObjectStateTest, TheDamperTopSinksOnLandingAndFollowsTheStepPaths) {
    auto* damper = Make<DamperObject>(16);
    EXPECT_FLOAT_EQ(damper->offset.x, -10.0f);
    KNode* top = Part(damper, "damper_01_top");
    damper->Trigger();
    damper->Activate();
    Run(damper, 0.2f, 0.05f);
    EXPECT_LT(top->Transform().position.z, -0.5f);
    Run(damper, 0.5f, 0.05f);
    EXPECT_EQ(damper->triggered, 0u);
    damper->Deactivate();
    EXPECT_FLOAT_EQ(damper->stepOffTime, 0.0f);
    damper->Update(0.1f);
    EXPECT_NEAR(damper->stepOffTime, 0.1f, 1e-6f);
    damper->Reset();
    EXPECT_EQ(damper->active, 0u);
}

TEST_F(ObjectStateTest, EveryClassSavesRestoresAndResetsItsPlace) {
    for (std::uint32_t code = 0; code < kObjectNone; ++code) {
        LevelObject* object = Make(code);
        ASSERT_NE(object, nullptr);
        ASSERT_NE(object->model, nullptr) << code;
        EXPECT_EQ(object->kind, code);
        const DWORD initial = object->flags;
        object->position = {21, 31, 0};
        object->motion = {0, 2, 0};
        object->SaveState(7);
        object->position = {50, 50, 0};
        object->motion = {1, 1, 1};
        object->flags |= kObjectCollected;
        object->scale = 0.5f;
        object->RestoreState();
        EXPECT_FLOAT_EQ(object->position.x, 21.0f) << code;
        EXPECT_FLOAT_EQ(object->motion.y, 2.0f) << code;
        EXPECT_EQ(object->flags, initial) << code;
        EXPECT_FLOAT_EQ(object->scale, 1.0f) << code;
        EXPECT_EQ(object->attemptId, 7) << code;
        object->Reset();
        EXPECT_FLOAT_EQ(object->position.x, 20.0f) << code;
        EXPECT_FLOAT_EQ(object->savedPosition.y, 30.0f) << code;
        EXPECT_FLOAT_EQ(Vector3Length(object->motion), 0.0f) << code;
        EXPECT_EQ(object->attemptId, -1) << code;
        object->Update(0.05f);
    }
    // Codes of no class: a plain object without a model, or nothing at all.
    EXPECT_EQ(NewLevelObject(37), nullptr);
    LevelObject* plain = NewLevelObject(-1);
    ASSERT_NE(plain, nullptr);
    made_.push_back(plain);
    EXPECT_TRUE(plain->Init(40));
    EXPECT_EQ(plain->model, nullptr);
    EXPECT_FALSE(Make(0)->Init(0));  // a second Init finds the model there
    made_.push_back(NewLevelObject(20));
    EXPECT_FALSE(made_.back()->Init(23));  // a code of another class
}

}  // namespace
}  // namespace world_test
