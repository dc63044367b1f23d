// Window classes of this process: the program's registered classes and the system's own
// ("STATIC", "Dialog"), found by name without case or by atom.
#pragma once

#include <memory>

#include "platform/user/WindowState.h"

namespace platform::user {

// The program's class of that name or atom first, then the system's; null when none.
std::shared_ptr<WindowClassRecord> FindClassLocked(WindowSystem& system, LPCWSTR nameOrAtom);
// One of the system's classes, whatever the program registered under the same name.
std::shared_ptr<WindowClassRecord> SystemClassLocked(WindowSystem& system, const char16_t* name);

}  // namespace platform::user
