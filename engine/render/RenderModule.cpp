// The table of the "OpenGLRender" module.
#include "engine/render/RenderModule.h"

#include "engine/core/object/Module.h"
#include "engine/render/NullRenderDevice.h"
#include "engine/render/OpenGLRenderDevice.h"

namespace {

const ModuleClass kRenderClasses[] = {
    {"OpenGLRenderDevice", OpenGLRenderDevice::StaticTypeId()},
    {"NullRenderDevice", NullRenderDevice::StaticTypeId()},
    {nullptr, nullptr},
};

// A new device (reference count 0, no owning module), or null when memory runs out.
Interface* CreateOpenGLRenderDevice() { return new OpenGLRenderDevice; }
Interface* CreateNullRenderDevice() { return new NullRenderDevice; }

void EnumerateRenderInterfaces(KDLList* names, TypeId type) { AppendClassNamesOfKind(names, type, kRenderClasses); }

const ModuleEntry kRenderTable[] = {
    {"Create_OpenGLRenderDevice", AsModuleFunction(&CreateOpenGLRenderDevice)},
    {"Create_NullRenderDevice", AsModuleFunction(&CreateNullRenderDevice)},
    {"EnumerateInterfaces", AsModuleFunction(&EnumerateRenderInterfaces)},
    {nullptr, nullptr},
};

}  // namespace

int RegisterRenderModule() { return RegisterModule("OpenGLRender", kRenderTable) != nullptr ? 0 : 1; }
