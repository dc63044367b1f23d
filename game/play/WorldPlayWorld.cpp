// The flow's world over the game world's level, character, cut-scenes and rules.
#include "game/play/WorldPlayWorld.h"

#include <bit>
#include <cstring>

#include "engine/core/memory/EngineLog.h"
#include "game/play/FlowAccess.h"
#include "game/world/cutscene/Cutscene.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/objects/PortalObjects.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/update/LevelUpdate.h"

namespace {

const ExitPortalObject* PortalOf(const Level* level) {
    if (level == nullptr || level->exitPortal == nullptr) return nullptr;
    const LevelObject* object = level->exitPortal;
    if (object->kind < kObjectFirstPortal || object->kind > kObjectLastPortal) return nullptr;
    return static_cast<const ExitPortalObject*>(object);
}

}  // namespace

// [SECTION] The world's calls into the game.
void FlowWorldServices::OnSphereCollected() { flow_access::SphereCollected(); }

void FlowWorldServices::RestartLevel() { flow_access::RestartLevel(); }

DWORD FlowWorldServices::PlaySoundEffect(int soundId, bool loop, bool keep) {
    if (soundId < 0) return 0;
    return flow_access::PlayEffect(static_cast<std::uint32_t>(soundId), loop ? 1u : 0u, keep ? 1u : 0u);
}

bool FlowWorldServices::IsSoundPlaying(DWORD handle) { return flow_access::IsEffectPlaying(handle); }

void FlowWorldServices::StopSound(DWORD handle) { flow_access::StopEffect(handle); }

void FlowWorldServices::TriggerRumble() { flow_access::TriggerRumble(); }

std::int32_t FlowWorldServices::RaiseOneLeafDoorCount() { return flow_access::RaiseOneLeafDoorCount(); }

std::int32_t FlowWorldServices::RaiseTeskKillCount() { return flow_access::RaiseTeskKillCount(); }

void FlowWorldServices::GrantAward10() { flow_access::GrantAward10(); }

void FlowWorldServices::GrantAward11() { flow_access::GrantAward11(); }

// The award's index is the bit's position; the profile queues its pop-up with the award's
// own text.
void FlowWorldServices::GrantProfileAward(DWORD awardBit, const char*) {
    if (!std::has_single_bit(awardBit)) return;
    flow_access::GrantAward(std::countr_zero(awardBit));
}

// [SECTION] Calls from the flow.
WorldPlayWorld::Call::Call(WorldPlayWorld& world) : world_(world) {
    if (world_.callDepth_++ != 0) return;
    ControllerRecord& record = world_.services_.record;
    const flow_access::ControllerView controller = flow_access::ReadController();
    if (controller.exists) {
        record.playState = static_cast<std::uint32_t>(controller.state);
        record.requestedState = static_cast<std::uint32_t>(controller.pendingState);
        record.levelIndex = controller.currentLevel;
        record.cutsceneStage = controller.startedWithCutscene != 0 ? 1u : 0u;
        // The cut-scene stage plays the world whose scene it shows.
        const std::int32_t world =
            controller.cutsceneRequest != 0 ? controller.requestedWorld : WorldOfLevelIndex(controller.currentLevel);
        record.customLevel = record.cutsceneStage;
        record.customWorld = record.cutsceneStage != 0 ? static_cast<std::uint32_t>(world == 0 ? 1 : world) : 0u;
        record.cutsceneEntry = controller.cutsceneShot;
    }
    requestedBefore_ = record.requestedState;
}

WorldPlayWorld::Call::~Call() {
    if (--world_.callDepth_ != 0) return;
    const std::uint32_t requested = world_.services_.record.requestedState;
    if (requested != requestedBefore_) flow_access::SetPendingState(static_cast<std::int32_t>(requested));
}

WorldPlayWorld::WorldPlayWorld() { SetWorldServices(&services_); }

WorldPlayWorld::~WorldPlayWorld() {
    Release();
    if (&GetWorldServices() == &services_) SetWorldServices(nullptr);
}

void WorldPlayWorld::Create() {
    if (character_ == nullptr) character_ = new PlayerCharacter();
    if (level_ == nullptr) level_ = new ::Level();
    level_->character = character_;
}

void WorldPlayWorld::Release() {
    if (level_ != nullptr) {
        Unload(*level_);
        delete level_;
        level_ = nullptr;
    }
    delete character_;
    character_ = nullptr;
    ClearCutsceneFlags();
}

bool WorldPlayWorld::HasLevel() const { return level_ != nullptr && level_->HasGrid(); }

void WorldPlayWorld::ClearCutsceneFlags() {
    shown_ = false;
    cutsceneReady_ = false;
}

bool WorldPlayWorld::LoadLevelFile(const char* folder, const char* name) {
    Call call(*this);
    Create();
    if (level_->HasGrid()) Unload(*level_);
    level_->character = character_;
    ClearCutsceneFlags();
    // A tag that fails stops the reading, but what was read is prepared and playable; only a
    // file that cannot be read at all leaves no level.
    if (::LoadLevelFile(*level_, folder, name) == 0) {
        if (!level_->HasGrid()) {
            LogWrite("The level %s%s cannot be played: its file is missing or unreadable.", "Play", 1, folder, name);
            return false;
        }
        LogWrite("The level %s%s has a tag that cannot be read; it is played as far as it was read.", "Play", 1, folder,
                 name);
    }
    LogWrite("The level %s%s is loaded.", "Play", 0, folder, name);
    // Play starts with the character standing on its start tile.
    ::LandCharacter(*level_, *character_);
    return true;
}

bool WorldPlayWorld::LoadCutscene(const char* name) {
    Call call(*this);
    if (!HasLevel()) return false;
    if (!::LoadCutscene(*level_, name)) {
        LogWrite("The cut-scene %s cannot be played.", "Play", 1, name);
        return false;
    }
    shown_ = true;
    cutsceneReady_ = true;
    return true;
}

void WorldPlayWorld::RestartLevel() {
    Call call(*this);
    if (!HasLevel()) return;
    Restart(*level_);
    ::LandCharacter(*level_, *character_);
}

void WorldPlayWorld::UnloadLevel() {
    Call call(*this);
    if (level_ != nullptr && level_->HasGrid()) Unload(*level_);
    if (level_ != nullptr) level_->character = character_;
    ClearCutsceneFlags();
}

void WorldPlayWorld::UpdateLevel(float dt) {
    Call call(*this);
    sceneTime_ += dt;
    if (HasLevel()) ::UpdateLevel(*level_, dt);
}

void WorldPlayWorld::UpdateLevelObjects(float dt) {
    Call call(*this);
    if (HasLevel()) UpdateObjects(*level_, dt);
}

void WorldPlayWorld::UpdateExitPortal() {
    Call call(*this);
    if (HasLevel()) ::UpdateExitPortal(*level_);
}

LevelFacts WorldPlayWorld::Level() const {
    LevelFacts facts;
    if (!HasLevel()) return facts;
    facts.firstColumn = level_->firstColumn;
    facts.firstRow = level_->firstRow;
    facts.columns = level_->columnSpan;
    facts.rows = level_->rowSpan;
    facts.sphereTotal = level_->keyTotal;
    facts.spheresCollected = level_->keysCollected;
    facts.parTime = level_->referenceTime;
    facts.parLogic = level_->referenceLogic;
    facts.shotCount = level_->cutsceneCount;
    return facts;
}

std::int32_t WorldPlayWorld::ShotCameraSlot(std::int32_t shot) const {
    if (level_ == nullptr || shot < 0 || shot >= level_->cutsceneCount) return 0;
    const std::int32_t camera = level_->cutscenes[shot].camera;
    return camera >= 0 && camera < kCameraSlotCount ? camera : 0;
}

void WorldPlayWorld::CameraSlot(std::int32_t slot, Vector3& position, Vector3& target) const {
    if (level_ == nullptr) {
        position = {};
        target = {};
        return;
    }
    position = level_->GetCameraEye(slot);
    target = level_->GetCameraTarget(slot);
}

bool WorldPlayWorld::IsExitPortalOpen() const {
    const ExitPortalObject* portal = PortalOf(level_);
    return portal != nullptr && portal->state != kPortalClosed;
}

// The controller plays the opening sound itself.
void WorldPlayWorld::OpenExitPortal() {
    Call call(*this);
    if (HasLevel()) ::OpenExitPortal(*level_, false);
}

bool WorldPlayWorld::LoadCharacterModel() {
    Call call(*this);
    Create();
    return character_->LoadModel();
}

CharacterFacts WorldPlayWorld::Character() const {
    CharacterFacts facts;
    if (character_ == nullptr) return facts;
    const PlayerCharacter& character = *character_;
    facts.position = character.position;
    facts.facing = character.facing;
    // Every jump and turn counts toward the level's logic.
    facts.logicCount = static_cast<std::int32_t>(character.moves);
    // While the climb carries the character the controls rest.
    facts.state = static_cast<std::int32_t>(character.transferState);
    facts.moving = character.IsMoving();
    std::uint32_t flags = 0;
    if (character.dead != 0) flags |= kCharacterLost;
    if (character.inputSeen != 0) flags |= kCharacterActive;
    if (shown_) flags |= kCharacterShown;
    if (cutsceneReady_) flags |= kCharacterCutsceneReady;
    if (character.ghostArrived != 0) flags |= kCharacterFallDone;
    if (character.ghostMode != 0) flags |= kCharacterRespawn;
    facts.flags = flags;
    return facts;
}

void WorldPlayWorld::UpdateCharacter(float dt) {
    Call call(*this);
    if (character_ != nullptr && HasLevel()) UpdatePlayer(*character_, dt);
}

// The controller's command bits are the character's input bits: 1 and 2 to the sides, 4
// against the fall, 16 and 32 the quarter turns.
void WorldPlayWorld::MoveCharacter(std::uint32_t commandBits) {
    Call call(*this);
    if (character_ != nullptr && HasLevel()) character_->ApplyInput(commandBits);
}

void WorldPlayWorld::SetCharacterAnimation(std::int32_t index) {
    Call call(*this);
    if (character_ != nullptr) character_->SetAnimation(index);
}

// The world's character keeps no mark of a collected sphere: nothing of it reads one.
void WorldPlayWorld::SetCharacterSphereFlag() {}

void WorldPlayWorld::HideCharacter() { shown_ = false; }

// The lost character's ghost flies back to the last checkpoint; it reports its arrival as the
// end of the fall.
void WorldPlayWorld::RespawnCharacter() {
    Call call(*this);
    if (character_ == nullptr) return;
    character_->ghostMode = 1;
    character_->dead = 1;
}

// Back at the checkpoint: alive and standing. A death before any move restarts the attempt
// instead (through the controller).
void WorldPlayWorld::LandCharacter() {
    Call call(*this);
    if (character_ == nullptr || !HasLevel()) return;
    character_->Respawn();
    if (character_->dead == 0) ::LandCharacter(*level_, *character_);
}

void WorldPlayWorld::StopCharacterLoopSound() {
    Call call(*this);
    if (character_ != nullptr) character_->StopLoopSound();
}
