// ODILE's moods and the item in her hand.
#include "game/world/objects/OdileObject.h"

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/KNode.h"
#include "game/world/objects/ObjectParts.h"
#include "game/world/services/ModelSource.h"
#include "game/world/services/WorldServices.h"

namespace {

constexpr DWORD kOdileInitialFlags = 2;
constexpr char kBodyNode[] = "odile1";
// The node flag that leaves a node and its subtree out of drawing.
constexpr DWORD kNodeHidden = 0x2000000;
constexpr float kQuarterPi = 0.78539816f;
// The give-item animation hands the item over at this time.
constexpr float kItemHandedOverTime = 22.0f;

const char* const kMoodNames[kOdileMoodCount] = {"odile1_idle1",        "odile1_angry1", "odile1_happy1",
                                                 "odile1_thinking",     "odile1_relax",  "odile1_zombie1",
                                                 "odile1_givetwizturn", "odile1_listen"};

}  // namespace

OdileObject::OdileObject() { SetFlags(kOdileInitialFlags); }

OdileObject::~OdileObject() {
    if (KNode* body = ModelPart(model, kBodyNode)) body->StopAnimations(0.0f);
    if (heldItem != nullptr) heldItem->Release();
    for (Animation*& mood : moods) ReleaseAnimation(mood);
}

bool OdileObject::Init(std::uint32_t typeCode) {
    if (typeCode != kObjectOdile || !InitModel(typeCode, "odile")) return false;
    offset = {0, 0, 0};
    KNode* body = ModelPart(model, kBodyNode);
    leftHand = ModelPart(body, "lefthand");
    if (heldItem == nullptr && (heldItem = CloneModel("twizturn01")) != nullptr) {
        heldItem->SetFlagBits(kNodeInheritTransform, true);
        // The object owns the item; the hand only carries it.
        if (leftHand != nullptr) leftHand->AddChildEx(heldItem, false);
    }
    currentMood = kOdileIdle;
    playId = -1;
    for (int i = 0; i < kOdileMoodCount; ++i) {
        ReleaseAnimation(moods[i]);
        moods[i] = CachedAnimation(kMoodNames[i]);
    }
    playId = PlayOnNode(body, moods[kOdileIdle], 5.0f, true);
    if (body != nullptr) {
        Matrix34 turn;
        Matrix34FromEuler(Vector3{0, -kQuarterPi, 0}, turn);
        QuaternionFromMatrix34(turn, body->Transform().rotation);
        RebuildNode(body);
    }
    PlayIdleAfresh();
    return true;
}

void OdileObject::PlayIdleAfresh() {
    KNode* body = ModelPart(model, kBodyNode);
    if (body == nullptr) return;
    body->StopAnimations(0.0f);
    playId = PlayOnNode(body, moods[kOdileIdle], 5.0f, true);
}

void OdileObject::Reset() {
    LevelObject::Reset();
    playId = -1;
    currentMood = kOdileIdle;
    if (model != nullptr) PlayIdleAfresh();
}

bool OdileObject::IsItemShown() const { return heldItem != nullptr && (heldItem->Flags() & kNodeHidden) == 0; }

void OdileObject::ShowItem(bool shown) {
    if (heldItem != nullptr) heldItem->SetFlagBits(kNodeHidden, !shown);
}

void OdileObject::SetMood(std::int32_t index) {
    if (model == nullptr || index == currentMood || index < 0 || index >= kOdileMoodCount) return;
    if (currentMood == kOdileGiveItem) ShowItem(false);
    KNode* body = ModelPart(model, kBodyNode);
    const bool give = index == kOdileGiveItem;
    StopOnNode(body, playId, give ? 3.0f : 10.0f);
    playId = PlayOnNode(body, moods[index], give ? 3.0f : 10.0f, !give);
    currentMood = index;
}

void OdileObject::Update(float dt) {
    const ControllerRecord& controller = GetWorldServices().Controller();
    if (controller.customLevel != 0) {
        if (controller.customWorld > 1)
            ShowItem(false);
        else if (controller.cutsceneEntry == 0)
            ShowItem(true);
    } else if (controller.levelIndex >= kTutorialLevelCount && WorldOfLevelIndex(controller.levelIndex) >= 2) {
        ShowItem(false);
    }
    KNode* body = ModelPart(model, kBodyNode);
    if (currentMood == kOdileGiveItem && body != nullptr) {
        if (IsItemShown() && body->GetAnimationTime(playId) > kItemHandedOverTime) ShowItem(false);
        if (body->IsAnimationId(playId) == 0) {
            PlayIdleAfresh();
            currentMood = kOdileIdle;
        }
    }
    LevelObject::Update(dt);
    if (heldItem != nullptr) {
        heldItem->Transform().position = {1.406f, 3.617f, -1.591f};
        QuaternionFromEuler(Vector3{0, -0.2618f, -0.2443f}, heldItem->Transform().rotation);
        RebuildNode(heldItem);
    }
    RebuildNode(model);
}
