// Creation, event delivery and release of the game object.
#include "engine/app/GameObject.h"

#include "engine/core/object/Module.h"

namespace {
Engine* gameObject = nullptr;
}  // namespace

Engine* GameObject() { return gameObject; }

void SendGameEvent(DWORD event, LPARAM a, LPARAM b) {
    if (gameObject != nullptr) gameObject->OnEvent(event, a, b);
}

int CreateGameEngine(const char* moduleName, const char* className) {
    DestroyGameEngine();
    Interface* created = CreateByName(moduleName, className, Engine::StaticTypeId());
    if (created == nullptr) return 1;
    auto* game = static_cast<Engine*>(created);
    // The object is published before Init so that events sent while it starts reach it.
    gameObject = game;
    if (game->Init() == 0) return 0;
    gameObject = nullptr;
    game->Release();
    return 1;
}

void DestroyGameEngine() {
    Engine* game = gameObject;
    if (game == nullptr) return;
    game->Shutdown();
    gameObject = nullptr;
    game->Release();
}
