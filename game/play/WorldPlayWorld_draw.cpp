// The play scene drawn from the world: the tile grid, the objects in their two passes, the
// character with its extra nodes, the fireflies and the glow sprites, each onto the render
// device with the matrices the play scene has set.
#include "engine/render/OpenGLRenderDevice.h"
#include "game/play/WorldPlayWorld.h"
#include "game/world/level/Level.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/LevelDrawing.h"
#include "game/world/update/LevelGlowDraw.h"

SceneFacts WorldPlayWorld::Scene() const {
    SceneFacts facts;
    if (!HasLevel() || character_ == nullptr) return facts;
    const CharacterFacts character = Character();
    facts.characterVisible = (character.flags & kCharacterShown) != 0;
    // The ghost flying back to its checkpoint glows.
    facts.glow = (character.flags & kCharacterRespawn) != 0;
    facts.characterNode = character.position;
    return facts;
}

void WorldPlayWorld::DrawTileGrid() {
    if (HasLevel()) ::DrawTileGrid(*level_, drawer_);
}

// Pass 0 draws every object but ODILE, pass 1 ODILE alone: the two sets are complementary.
void WorldPlayWorld::DrawObjects(std::int32_t pass) {
    if (HasLevel()) ::DrawObjects(*level_, drawer_, pass != 0);
}

void WorldPlayWorld::DrawCharacterExtras() {
    if (HasLevel() && character_ != nullptr) character_->DrawExtraNodes(drawer_);
}

void WorldPlayWorld::DrawCharacter() {
    if (HasLevel() && character_ != nullptr) character_->Draw(drawer_);
}

void WorldPlayWorld::DrawFireflies() {
    OpenGLRenderDevice* device = RenderDevice();
    if (HasLevel() && device != nullptr) ::DrawFireflies(*level_, *device, nullptr, sceneTime_);
}

void WorldPlayWorld::DrawGlowSprite(const Vector3& at, float size, float alpha) {
    OpenGLRenderDevice* device = RenderDevice();
    if (!HasLevel() || device == nullptr) return;
    PrepareGlowQuad(*level_, device->GetViewMatrix());
    ::DrawGlowSprite(*level_, *device, at, size, alpha, sceneTime_);
}
