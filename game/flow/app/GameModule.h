// The game module "Quorvane": the table through which the shell makes the application
// object ("Create_GameEngine").
#pragma once

// Registers "Quorvane" with its table ("Create_GameEngine", "EnumerateInterfaces", "Init");
// 0 on success, 1 when the module could not be allocated.
int RegisterGameModule();
