// The engine core's own module, "libkel".
#pragma once

// Registers "libkel" with the core table (running its "Init") as the first module; 0 on
// success, 1 when the module could not be allocated.
int RegisterCoreModule();
