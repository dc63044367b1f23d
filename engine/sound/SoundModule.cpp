// The table of the "FmodSound" module.
#include "engine/sound/SoundModule.h"

#include "engine/core/object/Module.h"
#include "engine/sound/FmodSoundDevice.h"

namespace {

const ModuleClass kSoundClasses[] = {
    {"FmodSoundDevice", FmodSoundDevice::StaticTypeId()},
    {nullptr, nullptr},
};

// A new device (reference count 0, no owning module), or null when memory runs out.
Interface* CreateFmodSoundDevice() { return new FmodSoundDevice; }

void EnumerateSoundInterfaces(KDLList* names, TypeId type) { AppendClassNamesOfKind(names, type, kSoundClasses); }

const ModuleEntry kSoundTable[] = {
    {"Create_FmodSoundDevice", AsModuleFunction(&CreateFmodSoundDevice)},
    {"EnumerateInterfaces", AsModuleFunction(&EnumerateSoundInterfaces)},
    {nullptr, nullptr},
};

}  // namespace

int RegisterSoundModule() { return RegisterModule("FmodSound", kSoundTable) != nullptr ? 0 : 1; }
