// Creation and destruction of the render device: made by class name from the configured
// render module on the main window, kept in the render device pointer, with the system in
// unattended mode while it exists.
#pragma once

// 0 on success; 1 when the device cannot be created or its Init fails (the device is then
// shut down and released).
int CreateRenderDevice();
// Shuts the device down, releases it and leaves unattended mode; nothing without a device.
void DestroyRenderDevice();
