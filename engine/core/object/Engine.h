// Engine: the abstract base of the game's application object. Start-up creates the object
// by class name with Engine's type id and drives it only through these operations.
#pragma once

#include "engine/core/object/Interface.h"
#include "platform/base/Types.h"

class Engine : public Interface {
    KEL_DECLARE_TYPE(Engine, Interface, "Engine")

public:
    // 0 on success; on any other value start-up releases the object and stops.
    virtual DWORD Init() = 0;
    // Called once at shutdown, before the object is released.
    virtual void Shutdown() = 0;
    // The main loop: returns (0) when the quit flag is set, at once when it already is.
    virtual DWORD Run() = 0;
    // Draws one complete frame, 3D and 2D; 0.
    virtual DWORD Render() = 0;
    // Game events 0 to 13 from the window procedure, 14 and 15 at the start and end of each
    // frame of the overlay's modal loop, and kind 2 from a node's animation events.
    virtual void OnEvent(DWORD event, LPARAM a, LPARAM b) = 0;

protected:
    Engine() = default;
};
