// PlayWorld: what the game's flow needs of the game world, the level and its player
// character. The game program sets the world's own (WorldPlayWorld); where none is set,
// NoPlayWorld stands in: it loads nothing, so a level that would be loaded leaves play at once.
#pragma once

#include <cstdint>
#include <string>

#include "engine/core/math/MathTypes.h"

// What the flow reads of the loaded level.
struct LevelFacts {
    std::int32_t firstColumn = 0;  // grid bounds in tiles
    std::int32_t firstRow = 0;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::int32_t sphereTotal = 0;
    std::int32_t spheresCollected = 0;
    float parTime = 0.0f;   // the level file's "STATSTIME"
    float parLogic = 0.0f;  // the level file's "STATSLOGIC"
    std::int32_t shotCount = 0;  // camera shots of the loaded cut-scene
};

// Bits of CharacterFacts::flags.
constexpr std::uint32_t kCharacterLost = 0x1;
constexpr std::uint32_t kCharacterActive = 0x2;
constexpr std::uint32_t kCharacterShown = 0x4;
constexpr std::uint32_t kCharacterCutsceneReady = 0x8;
constexpr std::uint32_t kCharacterFallDone = 0x10;
constexpr std::uint32_t kCharacterRespawn = 0x20;

// What the flow reads of the player character.
struct CharacterFacts {
    Vector3 position{};  // z is the height; above 4.9 the character is in the air
    std::int32_t facing = 0;  // 0-3
    std::int32_t logicCount = 0;
    std::int32_t state = 0;  // 1 and 2 disable the touch controls
    std::uint32_t flags = 0;
    bool moving = false;
    float facingDegrees = 0.0f;  // the character's turn about the vertical axis
    float rotateCharge = 1.9f;   // the HUD's rotate meter, full at 1.9 (a world without one: full)
};

// What the play scene's drawing reads of the level and the character.
struct SceneFacts {
    bool noBlend = false;   // the level draws no second, blended pass of its objects
    bool noExtras = false;  // the character's extra nodes are not drawn
    bool characterVisible = false;
    bool glow = false;             // the character glows
    Vector3 characterNode{};       // where the character's node stands in the world
};

// A character in the air is higher than this.
constexpr float kCharacterAirHeight = 4.9f;

class PlayWorld {
public:
    virtual ~PlayWorld() = default;

    // Level. Loads return false when the file cannot be loaded.
    virtual bool LoadLevelFile(const char* folder, const char* name) = 0;
    virtual bool LoadCutscene(const char* name) = 0;
    virtual void RestartLevel() = 0;
    virtual void UnloadLevel() = 0;
    virtual void UpdateLevel(float dt) = 0;
    virtual void UpdateLevelObjects(float dt) = 0;
    // Counts the spheres still to collect and opens the exit portal after the last one.
    virtual void UpdateExitPortal() = 0;
    virtual LevelFacts Level() const = 0;
    // The camera slot of a cut-scene shot, and a slot's camera position and target.
    virtual std::int32_t ShotCameraSlot(std::int32_t shot) const = 0;
    virtual void CameraSlot(std::int32_t slot, Vector3& position, Vector3& target) const = 0;
    virtual bool IsExitPortalOpen() const = 0;
    // Opens the exit portal (open flag set, its timer 0) and marks it with its flag 8.
    virtual void OpenExitPortal() = 0;

    // Player character.
    virtual bool LoadCharacterModel() = 0;
    virtual CharacterFacts Character() const = 0;
    virtual void UpdateCharacter(float dt) = 0;
    virtual void MoveCharacter(std::uint32_t commandBits) = 0;
    virtual void SetCharacterAnimation(std::int32_t index) = 0;
    virtual void SetCharacterSphereFlag() = 0;
    virtual void HideCharacter() = 0;
    // Respawn flag set, the character placed at its restart point, lost flag set.
    virtual void RespawnCharacter() = 0;
    virtual void LandCharacter() = 0;
    virtual void StopCharacterLoopSound() = 0;

    // Drawing the play scene, each with the device's matrices already set; a world that
    // draws nothing leaves the picture to its clear colour.
    virtual SceneFacts Scene() const { return {}; }
    // The speaker (1 or 2) and the text key of a cut-scene shot's line; false without one.
    virtual bool ShotLine(std::int32_t /*shot*/, std::int32_t& /*speaker*/, std::string& /*lineKey*/) const {
        return false;
    }
    virtual void DrawTileGrid() {}
    // Pass 0 the solid objects, pass 1 the blended ones.
    virtual void DrawObjects(std::int32_t /*pass*/) {}
    virtual void DrawCharacterExtras() {}
    virtual void DrawCharacter() {}
    virtual void DrawFireflies() {}
    // The bound texture as a sprite facing the camera at `at`.
    virtual void DrawGlowSprite(const Vector3& /*at*/, float /*size*/, float /*alpha*/) {}

    // The level and the character are given up while the engine's resources still exist: the
    // controller calls it as it goes.
    virtual void Release() {}
};

// The world until the game world is built: nothing loads, nothing moves.
class NoPlayWorld : public PlayWorld {
public:
    bool LoadLevelFile(const char*, const char*) override { return false; }
    bool LoadCutscene(const char*) override { return false; }
    void RestartLevel() override {}
    void UnloadLevel() override {}
    void UpdateLevel(float) override {}
    void UpdateLevelObjects(float) override {}
    void UpdateExitPortal() override {}
    LevelFacts Level() const override { return {}; }
    std::int32_t ShotCameraSlot(std::int32_t) const override { return 0; }
    void CameraSlot(std::int32_t, Vector3& position, Vector3& target) const override {
        position = {};
        target = {};
    }
    bool IsExitPortalOpen() const override { return false; }
    void OpenExitPortal() override {}
    bool LoadCharacterModel() override { return true; }
    CharacterFacts Character() const override { return {}; }
    void UpdateCharacter(float) override {}
    void MoveCharacter(std::uint32_t) override {}
    void SetCharacterAnimation(std::int32_t) override {}
    void SetCharacterSphereFlag() override {}
    void HideCharacter() override {}
    void RespawnCharacter() override {}
    void LandCharacter() override {}
    void StopCharacterLoopSound() override {}
};
