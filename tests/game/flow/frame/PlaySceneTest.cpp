// The play camera: its yaw follows the character on the ground and stays while it is in the
// air, the eye holds still while a level comes in and then eases toward where it should be,
// a cut-scene keeps the shot's eye, and the display's roll turns the picture.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/VectorMath.h"
#include "game/flow/frame/PlayScene.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/interfaces/PlayWorld.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"
#include "tests/game/flow/FlowFakes.h"

namespace {

using flow_test::FakeScreenHost;
using flow_test::InstalledFakes;

void ExpectNear(const Vector3& actual, const Vector3& expected, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-3f) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-3f) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-3f) << what;
}

class PlaySceneTest : public ::testing::Test {
protected:
    PlaySceneTest() {
        SetProfile(&profile_);
        ResetSceneCamera();
        controller_.camera.target = {10.0f, 20.0f, 0.0f};
        controller_.camera.distance = 50.0f;
    }
    ~PlaySceneTest() override { ResetSceneCamera(); }

    CharacterFacts Character(float facing, float height) {
        CharacterFacts character;
        character.facingDegrees = facing;
        character.position = {10.0f, 20.0f, height};
        return character;
    }

    // Where the eye should be for a yaw of `degrees` about the vertical axis.
    Vector3 DesiredFor(float degrees) const {
        Vector3 behind{0.0f, 0.2f, 1.0f};
        Vector3Normalize(behind);
        Matrix34 yaw;
        Matrix34FromEuler(Vector3{0.0f, 0.0f, degrees * 0.017453292f}, yaw);
        Vector3 d;
        Matrix34TransformVector(yaw, behind, d);
        return {10.0f - 50.0f * d.x, 20.0f - 50.0f * d.y, -50.0f * d.z};
    }

    InstalledFakes fakes_;
    PlayerProfile profile_;
    FakeScreenHost host_;
    IngameController controller_{host_};
};

TEST_F(PlaySceneTest, TheYawFollowsTheCharacterOnTheGroundAndIsFrozenInTheAir) {
    controller_.state = kPlayPlaying;
    struct Step {
        float facing, height, yawOf;
    };
    const Step steps[] = {
        {90.0f, 0.0f, 90.0f},    // on the ground: turns with it
        {180.0f, 4.9f, 180.0f},  // at the ground's height still
        {270.0f, 9.0f, 180.0f},  // jumping: the last yaw stays
        {0.0f, 30.0f, 180.0f},   // falling and turning: still
        {0.0f, 2.0f, 0.0f},      // landed
    };
    for (const Step& step : steps) {
        PlaceSceneCamera(controller_, Character(step.facing, step.height), 0.0f, 0.0f);
        ExpectNear(controller_.camera.desiredEye, DesiredFor(step.yawOf), "desired eye");
    }
}

TEST_F(PlaySceneTest, TheEyeHoldsStillWhileTheLevelComesInThenEasesTowardItsPlace) {
    struct Case {
        std::int32_t state;
        float timer;
        bool moves;
    };
    const Case cases[] = {
        {kPlayLoad, 5.0f, false},     {kPlayFlyIn, 0.5f, false},       {kPlayFlyIn, 1.5f, true},
        {kPlayCutscene, 1.0f, false}, {kPlayCutscene, 1.01f, true},    {kPlayTutorialPage, 0.0f, true},
        {kPlayPlaying, 0.0f, true},   {kPlayResults, 0.0f, true},
    };
    for (const Case& c : cases) {
        controller_.state = c.state;
        controller_.stateTimer = c.timer;
        controller_.camera.eye = {10.0f, 20.0f, -200.0f};
        controller_.camera.desiredEye = {10.0f, 20.0f, -100.0f};
        PlaceSceneCamera(controller_, Character(0.0f, 0.0f), 0.1f, 0.0f);
        const Vector3 eye = controller_.camera.eye;
        if (!c.moves) {
            ExpectNear(eye, Vector3{10.0f, 20.0f, -200.0f}, "still");
            continue;
        }
        // At most 40 units of the way, times the step and three: 12 units toward the place.
        Vector3 toward;
        Vector3Sub(controller_.camera.desiredEye, Vector3{10.0f, 20.0f, -200.0f}, toward);
        Vector3Normalize(toward);
        ExpectNear(eye, Vector3{10.0f + 12.0f * toward.x, 20.0f + 12.0f * toward.y, -200.0f + 12.0f * toward.z},
                   "eased");
    }
    // Close to its place the eye covers three times the rest a second.
    controller_.state = kPlayPlaying;
    controller_.camera.eye = DesiredFor(0.0f);
    controller_.camera.eye.z -= 10.0f;
    PlaceSceneCamera(controller_, Character(0.0f, 0.0f), 0.1f, 0.0f);
    EXPECT_NEAR(controller_.camera.eye.z, DesiredFor(0.0f).z - 7.0f, 1e-3f);
}

TEST_F(PlaySceneTest, ACutsceneKeepsItsShotsEye) {
    controller_.state = kPlayCutscene;
    controller_.camera.desiredEye = {1.0f, 2.0f, 3.0f};
    PlaceSceneCamera(controller_, Character(90.0f, 0.0f), 0.1f, 0.0f);
    ExpectNear(controller_.camera.desiredEye, Vector3{1.0f, 2.0f, 3.0f}, "the shot's eye");
}

TEST_F(PlaySceneTest, TheCameraLooksAtTheTargetAndTheDisplayRollTurnsItsPicture) {
    controller_.state = kPlayPlaying;
    controller_.camera.eye = DesiredFor(0.0f);
    const Matrix34 upright = PlaceSceneCamera(controller_, Character(0.0f, 0.0f), 0.0f, 0.0f);
    const Matrix34 rolled = PlaceSceneCamera(controller_, Character(0.0f, 0.0f), 0.0f, 90.0f);
    Vector3 forward;
    Matrix34TransformVector(upright, Vector3{0.0f, 0.0f, 1.0f}, forward);
    ExpectNear(forward, controller_.camera.look, "forward is the look");
    Vector3 toTarget;
    Vector3Sub(controller_.camera.target, controller_.camera.eye, toTarget);
    Vector3Normalize(toTarget);
    ExpectNear(controller_.camera.look, toTarget, "the look is at the target");
    // Down on the screen is +y in the world (its up is -y).
    Vector3 down;
    Matrix34TransformVector(upright, Vector3{0.0f, 1.0f, 0.0f}, down);
    EXPECT_GT(down.y, 0.9f);
    // Rolled by 90 degrees: the same eye and forward; the screen's right is the upright camera's up.
    Vector3 rolledForward;
    Matrix34TransformVector(rolled, Vector3{0.0f, 0.0f, 1.0f}, rolledForward);
    ExpectNear(rolledForward, forward, "forward");
    Vector3 rolledRight;
    Matrix34TransformVector(rolled, Vector3{1.0f, 0.0f, 0.0f}, rolledRight);
    ExpectNear(rolledRight, Vector3{-down.x, -down.y, -down.z}, "right is the upright up");
    EXPECT_EQ(rolled.m[0][3], upright.m[0][3]);
    EXPECT_EQ(rolled.m[2][3], controller_.camera.eye.z);
}

}  // namespace
