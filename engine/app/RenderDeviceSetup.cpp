// The render device's creation on the main window and its release.
#include "engine/app/RenderDeviceSetup.h"

#include "engine/app/Application.h"
#include "engine/app/MainWindow.h"
#include "engine/core/device/NotificationLights.h"
#include "engine/core/object/Module.h"
#include "engine/render/OpenGLRenderDevice.h"

namespace {

// What the window layer asks of the device when the window's size or the display changes.
void RereadClientRect() {
    if (OpenGLRenderDevice* device = RenderDevice()) device->UpdateScreenRect();
}

}  // namespace

int CreateRenderDevice() {
    DestroyRenderDevice();
    SetUnattendedMode(true);
    const AppConfig& config = Config();
    Interface* created = CreateByName(config.render.module, config.render.className, Interface::StaticTypeId());
    // The render module may only make render devices: anything else is refused.
    if (created != nullptr && !created->IsKindOf(OpenGLRenderDevice::StaticTypeId())) {
        created->Release();
        created = nullptr;
    }
    if (created == nullptr) {
        SetUnattendedMode(false);
        return 1;
    }
    auto* device = static_cast<OpenGLRenderDevice*>(created);
    const ScreenSize size{config.renderSettings.width, config.renderSettings.height};
    if (device->Init(MainWindowHandle(), &size) != 0) {
        // Init leaves what it made for Shutdown.
        device->Shutdown();
        device->Release();
        SetUnattendedMode(false);
        return 1;
    }
    SetRenderDevice(device);
    SetScreenRectRefresh(RereadClientRect);
    return 0;
}

void DestroyRenderDevice() {
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr) return;
    SetScreenRectRefresh(nullptr);
    SetRenderDevice(nullptr);
    device->Shutdown();
    device->Release();
    SetUnattendedMode(false);
}
