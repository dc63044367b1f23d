// TESK's states: sleep, wake-up, idle, three attacks and three deaths.
#include "game/world/objects/TeskObject.h"

#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/KNode.h"
#include "game/world/objects/ObjectParts.h"
#include "game/world/services/WorldServices.h"

namespace {

constexpr DWORD kBlockingInitialFlags = 14;
constexpr char kBodyNode[] = "tesk1";
constexpr float kPi = 3.14159265f;
// Killing this many earns award 11.
constexpr std::int32_t kTeskKillsForAward = 15;

struct TeskShape {
    const char* model;
    Vector3 offset;
    std::int32_t reach[8];
    float reachLength[2];
};

const TeskShape kTeskShapes[] = {
    {"tesk1_left_up", {0, -5, 0}, {1, -3, 1, -5, -2, 1, -4, 1}, {0, 10}},
    {"tesk1_left_down", {-5, 0, 0}, {1, 3, 1, 5, 2, 1, 4, 1}, {0, -10}},
    {"tesk1_left_left", {-5, -5, 0}, {-3, 1, -5, 1, 1, 2, 1, 4}, {10, 0}},
    {"tesk1_left_right", {5, 0, 0}, {3, 1, 5, 1, 1, -2, 1, -4}, {-10, 0}},
    {"tesk1_right_up", {0, -5, 0}, {1, -3, 1, -5, 2, 1, 4, 1}, {0, 10}},
    {"tesk1_right_down", {-5, 0, 0}, {1, 3, 1, 5, -2, 1, -4, 1}, {0, -10}},
    {"tesk1_right_left", {-5, -5, 0}, {-3, 1, -5, 1, 1, -2, 1, -4}, {10, 0}},
    {"tesk1_right_right", {5, 0, 0}, {3, 1, 5, 1, 1, 2, 1, 4}, {-10, 0}},
};

const char* const kTeskAnimationNames[kTeskAnimationCount] = {
    "tesk1_sleep",      "tesk1_wakeup",    "tesk1_idle",       "tesk1_attacklow", "tesk1_attackmedium",
    "tesk1_attackhigh", "tesk1_deathback", "tesk1_deathfront", "tesk1_deathtop"};

}  // namespace

TeskObject::TeskObject() { SetFlags(kBlockingInitialFlags); }

TeskObject::~TeskObject() {
    if (KNode* body = ModelPart(model, kBodyNode)) body->StopAnimations(0.0f);
    for (Animation*& animation : animations) ReleaseAnimation(animation);
}

bool TeskObject::Init(std::uint32_t typeCode) {
    if (typeCode < kObjectFirstTesk || typeCode > kObjectLastTesk) return false;
    const TeskShape& shape = kTeskShapes[typeCode - kObjectFirstTesk];
    if (!InitModel(typeCode, shape.model)) return false;
    offset = shape.offset;
    bodyPart.Bind(model, kBodyNode);
    for (int i = 0; i < 8; ++i) reach[i] = shape.reach[i];
    reachLength[0] = shape.reachLength[0];
    reachLength[1] = shape.reachLength[1];
    playId = -1;
    current = kTeskSleep;
    alive = 1;
    for (int i = 0; i < kTeskAnimationCount; ++i) {
        ReleaseAnimation(animations[i]);
        animations[i] = CachedAnimation(kTeskAnimationNames[i]);
    }
    playId = PlayOnNode(ModelPart(model, kBodyNode), animations[kTeskSleep], 5.0f, true);
    attackTimer = 1.0f;
    secondTimer = 0.0f;
    return true;
}

void TeskObject::PoseBody() {
    if (bodyPart.node == nullptr) return;
    bodyPart.node->Transform().position = bodyPart.rest;
    bodyPart.node->Transform().rotation = kIdentityQuaternion;
    // The right-hand variants face the other way.
    if (kind >= kObjectFirstTesk + 4)
        QuaternionFromAxisAngle(Vector3{0, 1, 0}, kPi, bodyPart.node->Transform().rotation);
    RebuildNode(bodyPart.node);
}

void TeskObject::PlaySleepAfresh() {
    KNode* body = ModelPart(model, kBodyNode);
    if (body == nullptr) return;
    body->StopAnimations(0.0f);
    playId = PlayOnNode(body, animations[kTeskSleep], 5.0f, true);
    current = kTeskSleep;
}

void TeskObject::Reset() {
    LevelObject::Reset();
    alive = savedAlive = 1;
    PoseBody();
    if (kind >= kObjectFirstTesk && kind <= kObjectLastTesk) offset = kTeskShapes[kind - kObjectFirstTesk].offset;
    playId = -1;
    current = kTeskSleep;
    secondTimer = 0.0f;
    if (model != nullptr) PlaySleepAfresh();
}

void TeskObject::SaveState(std::int32_t id) {
    LevelObject::SaveState(id);
    savedAlive = alive;
}

void TeskObject::RestoreState() {
    LevelObject::RestoreState();
    PoseBody();
    if (alive != savedAlive) {
        if (savedAlive == 1)
            alive = 1;
        else if (alive != 0)
            Kill(kTeskDeathTop);
    }
    KNode* body = ModelPart(model, kBodyNode);
    if (alive != 0) {
        PlaySleepAfresh();
    } else if (body != nullptr) {
        // Dead at the checkpoint: lying as the death from above leaves it.
        body->StopAnimations(0.0f);
        playId = PlayOnNode(body, animations[kTeskDeathTop], 0.0f, false);
        body->RewindAnimation(playId);
        body->UpdateAnimation(0.01f);
        body->Transform().position.y += 7.4f;
        current = kTeskDeathTop;
    }
    RebuildNode(body);
}

void TeskObject::Switch(std::int32_t index, float stopFade, float playFade, bool loop) {
    KNode* body = ModelPart(model, kBodyNode);
    StopOnNode(body, playId, stopFade);
    playId = PlayOnNode(body, animations[index], playFade, loop);
    current = index;
}

void TeskObject::Update(float dt) {
    LevelObject::Update(dt);
    attackTimer += dt;
    secondTimer += dt;
    KNode* body = ModelPart(model, kBodyNode);
    if (current == kTeskWakeUp && (body == nullptr || body->IsAnimationId(playId) == 0)) {
        Switch(kTeskIdle, 0.0f, 0.0f, true);
    } else if ((current == kTeskAttackMedium || current == kTeskAttackLow) && attackTimer > 0.8f) {
        Switch(kTeskIdle, 0.0f, 10.0f, true);
    }
    RebuildNode(body);
}

void TeskObject::Kill(std::int32_t index) {
    if (alive == 0 || index < kTeskDeathBack || index > kTeskDeathTop) return;
    WorldServices& services = GetWorldServices();
    services.PlaySoundEffect(kSoundTeskDie, false, false);
    Switch(index, 5.0f, 5.0f, false);
    alive = 0;
    secondTimer = 0.0f;
    if (WorldOfLevel(services.Controller()) < 10 && services.RaiseTeskKillCount() >= kTeskKillsForAward)
        services.GrantAward11();
}

void TeskObject::Sleep() {
    if (current != kTeskIdle) return;
    Switch(kTeskSleep, 30.0f, 30.0f, true);
    GetWorldServices().PlaySoundEffect(kSoundTeskSleep, false, false);
}

void TeskObject::Wake() {
    if (current != kTeskSleep) return;
    Switch(kTeskIdle, 15.0f, 15.0f, true);
    GetWorldServices().PlaySoundEffect(kSoundTeskWakeup, false, false);
}

void TeskObject::Attack(std::int32_t index) {
    if (current == index || attackTimer <= 1.0f) return;
    GetWorldServices().PlaySoundEffect(kSoundTeskAttack, false, false);
    attackTimer = 0.0f;
    Switch(index, 5.0f, 5.0f, false);
}
