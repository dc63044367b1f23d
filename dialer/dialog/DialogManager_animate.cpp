// Frame animations: steps as fast as they return, the clock advancing at least 20 ms a
// frame, stopped by a tap or by the animation, slowed down by the shared "AnimationDelay".
#include "dialer/dialog/AnimationDelay.h"
#include "dialer/dialog/DialogAnimation.h"
#include "dialer/dialog/DialogManager.h"
#include "dialer/dialog/ThreadPriority.h"
#include "platform/base/Clock.h"
#include "platform/user/Message.h"
#include "platform/user/MessageTypes.h"

namespace XmlLayouts {

namespace {

constexpr ULONGLONG kFrameMs = 20;

}  // namespace

HRESULT CDialogManager::Animate(IDialogAnimation* animation) {
    CRaisedThreadPriority raised;
    if (animation == nullptr) return E_INVALIDARG;
    CInterfacePtr<IDialogAnimation> held(animation);
    DWORD duration = 0;
    const HRESULT started = animation->Start(&duration);
    if (FAILED(started)) return started;
    const ULONGLONG factor = GetAnimationDelay();
    if (duration <= kFrameMs) return S_OK;
    // In 64 bits: a large factor from the registry must not wrap the end time round.
    const ULONGLONG end = factor * duration - kFrameMs;
    BOOL interrupted = FALSE;
    for (ULONGLONG t = kFrameMs; t <= end;) {
        MSG message{};
        if (PeekMessageW(&message, m_window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE)) {
            interrupted = TRUE;
            break;
        }
        const DWORD before = GetTickCount();
        if (animation->Step(static_cast<DWORD>(t / factor)) != 0) {
            interrupted = TRUE;
            break;
        }
        const ULONGLONG took = static_cast<DWORD>(GetTickCount() - before);
        t += took > kFrameMs ? took : kFrameMs;
    }
    animation->Finish(interrupted);
    return S_OK;
}

}  // namespace XmlLayouts
