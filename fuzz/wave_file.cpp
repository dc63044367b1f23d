// The wave loader over any bytes, in both its modes: chunk by chunk for a device that takes
// samples, whole for one that decodes files itself (chosen by the input's length).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/object/Module.h"
#include "engine/resources/sound/WaveReader.h"
#include "engine/sound/NullSoundDevice.h"

namespace {
struct FuzzDevice : NullSoundDevice {
    int WantsRawSoundFile(const char*) override { return wantsRaw; }
    static inline int wantsRaw = 0;
};
Interface* CreateFuzzDevice() { return new FuzzDevice; }
const ModuleEntry kFuzzModule[] = {{"Create_FuzzDevice", AsModuleFunction(&CreateFuzzDevice)}, {nullptr, nullptr}};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0 && RegisterModule("fuzz", kFuzzModule) != nullptr &&
                              CreateSoundDevice("fuzz", "FuzzDevice", nullptr) == 0;
    if (!ready || size == 0) return 0;
    auto* image = static_cast<BYTE*>(EngineAlloc(size));
    if (image == nullptr) return 0;
    std::memcpy(image, data, size);
    FileStream stream;
    stream.AttachImage(image, static_cast<DWORD>(size), 0);
    FuzzDevice::wantsRaw = size % 7 == 0 ? 1 : 0;
    delete ReadWave(stream, 0, 0, "fuzz.wav");
    return 0;
}
