// The handset shell's calls that programs use: full screen, menu bars, activation and
// setting-change handling.
#pragma once

#include "platform/shell/MenuBar.h"
#include "platform/shell/ShellActivate.h"
#include "platform/shell/ShellFullScreen.h"
