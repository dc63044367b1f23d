// DeviceObject: the base of the objects the render device makes (buffers), which it
// deletes through DeleteObject.
#pragma once

#include "engine/core/memory/EngineMemory.h"

class DeviceObject : public EngineAllocated {
public:
    DeviceObject() = default;
    DeviceObject(const DeviceObject&) = delete;
    DeviceObject& operator=(const DeviceObject&) = delete;
    virtual ~DeviceObject() = default;
};
