// Timed stylus and key input for the dialog input tests: steps posted to a window from the
// message pumps when the manual clock reaches them (as the handset's script plays them), and
// a message loop that runs for a while on that clock.
#pragma once

#include <vector>

#include "platform/base/Types.h"

namespace dialog_test {

enum class StepKind { Down, Move, Up, Deactivate, Key, Quit };

struct InputStep {
    DWORD atMs;  // after Start
    StepKind kind;
    int x = 0;  // client coordinates, or the key's virtual-key code
    int y = 0;
};

inline InputStep Down(DWORD at, int x, int y) { return InputStep{at, StepKind::Down, x, y}; }
inline InputStep Move(DWORD at, int x, int y) { return InputStep{at, StepKind::Move, x, y}; }
inline InputStep Up(DWORD at, int x, int y) { return InputStep{at, StepKind::Up, x, y}; }
// Another window of the thread becomes the active one: the input window loses activation.
inline InputStep Deactivate(DWORD at) { return InputStep{at, StepKind::Deactivate}; }
inline InputStep KeyPress(DWORD at, int key) { return InputStep{at, StepKind::Key, key}; }
// PostQuitMessage with the code.
inline InputStep Quit(DWORD at, int code) { return InputStep{at, StepKind::Quit, code}; }

// Plays the steps into `window` while it lives, from now on the platform clock. The clock
// must be manual with a step of at least 1 ms.
class CInputScript {
public:
    CInputScript(HWND window, std::vector<InputStep> steps);
    ~CInputScript();
    CInputScript(const CInputScript&) = delete;
    CInputScript& operator=(const CInputScript&) = delete;

    // Dispatches messages (translating keys) until `ms` after the start, or until WM_QUIT
    // comes out of the queue (its code is kept).
    void RunUntil(DWORD ms);
    bool QuitSeen() const { return m_quitSeen; }
    int QuitCode() const { return m_quitCode; }
    DWORD Elapsed() const;
    bool Finished() const;

private:
    static void Hook();
    void PlayDue();

    HWND m_window;
    HWND m_other = nullptr;
    std::vector<InputStep> m_steps;
    std::size_t m_next = 0;
    DWORD m_start;
    bool m_quitSeen = false;
    int m_quitCode = 0;
};

// A manual clock for one test: it starts at tick 1000 and each pump moves it `step` ms.
class CManualClock {
public:
    explicit CManualClock(DWORD step);
    ~CManualClock();
};

}  // namespace dialog_test
