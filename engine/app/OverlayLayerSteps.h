// The start-up steps of the 2D canvas and overlay. They live above the application shell:
// their library installs its start (0 on success) and stop here, as a program registers its
// modules. Without them the start-up has no 2D layer.
#pragma once

struct OverlayLayerSteps {
    int (*start)() = nullptr;
    void (*stop)() = nullptr;
};

void SetOverlayLayerSteps(const OverlayLayerSteps& steps);
const OverlayLayerSteps& InstalledOverlayLayer();
