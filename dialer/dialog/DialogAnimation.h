// A frame animation that the dialog manager plays: Start gives its length, Step draws the
// frame at a time, Finish the last picture.
#pragma once

#include "dialer/foundation/InterfaceIds.h"
#include "dialer/foundation/Unknown.h"
#include "platform/base/Types.h"

class IDialogAnimation : public IUnknown {
public:
    static constexpr IID kIid = IID_IDialogAnimation;

    // Prepares the animation and gives its length in milliseconds; a failure is returned by
    // the player, which then plays nothing.
    virtual HRESULT Start(DWORD* duration) = 0;
    // Draws the frame at `elapsed` milliseconds; non-zero stops the animation.
    virtual HRESULT Step(DWORD elapsed) = 0;
    // Called once at the end, interrupted = 1 when a tap or the animation stopped it early.
    virtual HRESULT Finish(BOOL interrupted) = 0;
};
