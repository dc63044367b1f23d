// The class of each object type code.
#include "game/world/objects/BlockerDoorObject.h"
#include "game/world/objects/BridgeObject.h"
#include "game/world/objects/DamperObject.h"
#include "game/world/objects/OdileObject.h"
#include "game/world/objects/PickupObjects.h"
#include "game/world/objects/PortalObjects.h"
#include "game/world/objects/SpikeCubeObject.h"
#include "game/world/objects/TeskObject.h"

LevelObject* NewLevelObject(std::int32_t typeCode) {
    if (typeCode < 0) return new LevelObject();
    const auto code = static_cast<std::uint32_t>(typeCode);
    if (code == kObjectKey) return new KeyObject();
    if (code <= kObjectLastSphere) return new SphereObject();
    if (code <= kObjectLastPortal) return new ExitPortalObject();
    if (code == kObjectSpikeCube) return new SpikeCubeObject();
    if (code <= kObjectLastDamper) return new DamperObject();
    if (code <= kObjectLastBlocker) return new BlockerDoorObject();
    if (code <= kObjectLastBridge) return new BridgeObject();
    if (code <= kObjectLastTesk) return new TeskObject();
    if (code == kObjectSpawnEffect) return new SpawnEffectObject();
    if (code == kObjectOdile) return new OdileObject();
    return nullptr;
}
