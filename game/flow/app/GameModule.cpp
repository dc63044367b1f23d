// The table of the game module "Quorvane".
#include "game/flow/app/GameModule.h"

#include "engine/core/object/Module.h"
#include "game/flow/app/GameApplication.h"

namespace {

const ModuleClass kGameClasses[] = {
    {"GameEngine", GameEngine::StaticTypeId()},
    {nullptr, nullptr},
};

// A new application object (reference count 0, no owning module); null, logged by the
// allocator, when memory runs out.
Interface* CreateGameApplication() { return new GameApplication; }

void EnumerateGameInterfaces(KDLList* names, TypeId type) { AppendClassNamesOfKind(names, type, kGameClasses); }

// The module has nothing of its own to prepare.
int InitGameModule() { return 0; }

const ModuleEntry kGameTable[] = {
    {"Create_GameEngine", AsModuleFunction(&CreateGameApplication)},
    {"EnumerateInterfaces", AsModuleFunction(&EnumerateGameInterfaces)},
    {"Init", AsModuleFunction(&InitGameModule)},
    {nullptr, nullptr},
};

}  // namespace

int RegisterGameModule() { return RegisterModule("Quorvane", kGameTable) != nullptr ? 0 : 1; }
