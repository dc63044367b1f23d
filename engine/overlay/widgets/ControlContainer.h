// ControlContainer: a control that holds children and can be opened modally. Open shows it,
// puts the focus on a child and runs the overlay's modal loop until a close operation ends
// it; menu pages and the menu root are containers.
#pragma once

#include <cstdint>

#include "engine/overlay/widgets/Control.h"

// Modal results: confirmed and cancelled; 0 is a close by a page action, anything else a
// command id.
constexpr std::int32_t kModalResultOk = 1;
constexpr std::int32_t kModalResultCancel = 2;
// Notification codes a container sends itself for Enter and Escape.
constexpr std::int32_t kNotifyConfirm = 1;
constexpr std::int32_t kNotifyCancel = 2;

class ControlContainer : public Control {
public:
    ControlContainer() = default;

    // Escape (27, 233) notifies cancel, Enter (10, 176, 232) confirm; nothing else moves the
    // focus at this level.
    void OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) override;
    void Draw(Canvas2D* canvas) override;

    // Create with id 0, then OnCreate; 1 only when both succeed.
    virtual int CreateContainer(const char* brushId, const TextRef* caption, DWORD style, float x, float y,
                                float width, float height, Control* parentControl);
    // Shows the container, focuses its first focus stop (the default focus instead when that
    // can take it) and runs the modal loop; the focus goes back where it was afterwards.
    // Returns the modal result. A container that OnOpen closes is not shown and not run.
    virtual std::int32_t Open(std::int32_t a, std::int32_t b);
    virtual int OnCreate();
    virtual int OnOpen(std::int32_t a, std::int32_t b);
    // Hide, result 1 (2), and the modal flag cleared: the loop ends at its next pass.
    virtual int CloseOk();
    virtual int CloseCancel();

    Control* defaultFocus = nullptr;  // not owned
};

// Code 2 is CloseCancel; any other code hides the container with that result and ends its
// modal loop. What SetVisible answered.
int EndModal(ControlContainer* container, std::int32_t code);
