// WorldPlayWorld: the game world behind the flow's PlayWorld. It owns the one level and the
// one player character of play, loads levels and cut-scenes into them and runs their updates
// for the in-game controller; and it answers the world's own calls back into the game (the
// controller's record, sounds, the rumble, the profile's counters and awards) from the flow's
// services.
//
// The world reads and writes a controller record of its own. Each call from the flow copies
// the controller's state, level and cut-scene step into it first; a state the world asks for
// while it runs (the exit reached, a death) becomes the controller's pending state afterwards.
#pragma once

#include <cstdint>

#include "game/flow/interfaces/PlayWorld.h"
#include "game/play/DeviceNodeDrawer.h"
#include "game/world/services/WorldServices.h"

class Level;
class PlayerCharacter;

// The world's calls back into the game, answered from the flow's services.
class FlowWorldServices : public WorldServices {
public:
    ControllerRecord& Controller() override { return record; }
    // The controller's sphere notices and the portal; nothing without a controller.
    void OnSphereCollected() override;
    // The controller restarts the attempt (and the level through it); nothing without one.
    void RestartLevel() override;
    DWORD PlaySoundEffect(int soundId, bool loop, bool keep) override;
    bool IsSoundPlaying(DWORD handle) override;
    void StopSound(DWORD handle) override;
    void TriggerRumble() override;
    // The profile's counters of one-leaf doors and of TESKs beaten; 0 without a profile.
    std::int32_t RaiseOneLeafDoorCount() override;
    std::int32_t RaiseTeskKillCount() override;
    void GrantAward10() override;
    void GrantAward11() override;
    void GrantProfileAward(DWORD awardBit, const char* textName) override;

    ControllerRecord record;
};

class WorldPlayWorld : public PlayWorld {
public:
    // Sets itself as the world's services.
    WorldPlayWorld();
    // Gives the level and the character up, and the world's services back to the stand-in.
    ~WorldPlayWorld() override;
    WorldPlayWorld(const WorldPlayWorld&) = delete;
    WorldPlayWorld& operator=(const WorldPlayWorld&) = delete;

    bool LoadLevelFile(const char* folder, const char* name) override;
    bool LoadCutscene(const char* name) override;
    void RestartLevel() override;
    void UnloadLevel() override;
    void UpdateLevel(float dt) override;
    void UpdateLevelObjects(float dt) override;
    void UpdateExitPortal() override;
    LevelFacts Level() const override;
    std::int32_t ShotCameraSlot(std::int32_t shot) const override;
    void CameraSlot(std::int32_t slot, Vector3& position, Vector3& target) const override;
    bool IsExitPortalOpen() const override;
    void OpenExitPortal() override;
    bool LoadCharacterModel() override;
    CharacterFacts Character() const override;
    void UpdateCharacter(float dt) override;
    void MoveCharacter(std::uint32_t commandBits) override;
    void SetCharacterAnimation(std::int32_t index) override;
    void SetCharacterSphereFlag() override;
    void HideCharacter() override;
    void RespawnCharacter() override;
    void LandCharacter() override;
    void StopCharacterLoopSound() override;
    void Release() override;

    // Drawing the play scene (WorldPlayWorld_draw.cpp).
    SceneFacts Scene() const override;
    void DrawTileGrid() override;
    void DrawObjects(std::int32_t pass) override;
    void DrawCharacterExtras() override;
    void DrawCharacter() override;
    void DrawFireflies() override;
    void DrawGlowSprite(const Vector3& at, float size, float alpha) override;

    bool HasLevel() const;
    ::Level* LoadedLevel() const { return level_; }
    PlayerCharacter* LoadedCharacter() const { return character_; }
    const ControllerRecord& Record() const { return services_.record; }

private:
    // Makes the level and the character when they do not exist yet.
    void Create();
    void ClearCutsceneFlags();

    // Brackets every call into the world: the outermost copies the controller into the
    // record, and afterwards hands a state the world asked for to the controller.
    class Call {
    public:
        explicit Call(WorldPlayWorld& world);
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        WorldPlayWorld& world_;
        std::uint32_t requestedBefore_ = 0;
    };

    FlowWorldServices services_;
    ::Level* level_ = nullptr;
    PlayerCharacter* character_ = nullptr;
    DeviceNodeDrawer drawer_;
    float sceneTime_ = 0.0f;  // play time the glow sprites pulse with
    int callDepth_ = 0;
    bool shown_ = false;          // the character takes part in the cut-scene being shown
    bool cutsceneReady_ = false;  // a cut-scene is loaded and the character stands in it
};
