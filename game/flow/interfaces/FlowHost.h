// FlowHost: what play asks of the application object: the screen state and requests for a
// new one, the key states, the touch point and the tilt. The game's application object is
// the host; tests drive play through a host of their own.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

// The game's screen states.
enum ScreenState : DWORD {
    kScreenBoot = 0,
    kScreenStartupMenu = 1,
    kScreenMakerLogo = 3,
    kScreenStudioLogo = 4,
    kScreenLoading = 5,
    kScreenTitle = 6,
    kScreenMenus = 7,
    kScreenLevelLoading = 8,
    kScreenIntroComic = 9,
    kScreenOutroComic = 10,
    kScreenPlay = 11,
    kScreenPauseMenu = 12,
    kScreenLeavePlay = 13,
};

// The landscape screen the game lays out on.
constexpr float kGameScreenWidth = 800.0f;
constexpr float kGameScreenHeight = 480.0f;

class FlowHost {
public:
    virtual ~FlowHost() = default;

    virtual DWORD CurrentScreenState() const = 0;
    virtual void RequestScreenState(DWORD state) = 0;
    // The key's state in this frame: -1 released, 0 up, 1 pressed, 2 held.
    virtual int KeyState(std::int32_t key) const = 0;
    // The last pointer position in game screen pixels.
    virtual void TouchPoint(float& x, float& y) = 0;
    // The last accelerometer sample times its resolution, each truncated.
    virtual void Tilt(std::int32_t& x, std::int32_t& y, std::int32_t& z) const = 0;
};
