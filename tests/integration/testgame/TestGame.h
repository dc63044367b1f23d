// A stand-in game object for the tests that start the game program: it runs the frame
// driver like the game's main loop, quits after a number of frames when its settings say
// so, and writes down what it saw, so that a test can tell how the program ran.
#pragma once

#include "engine/core/object/GameEngine.h"
#include "engine/core/object/Module.h"

// The module "TestGame" with the class "GameEngine"; the configuration names it as
// "Engine=TestGame.GameEngine". Its own settings come from the same file:
// "TestGameFrames=<n>" (quit after n frames; 0, the default, runs until the program is told
// to quit), "TestGameLog=<file>" (a file in the program folder; default "testgame.log"),
// "TestGameSound=<file>" (a sound of the data folder played looping from the start) and
// "TestGameMusic=<file>" (music started with the game).
extern const ModuleEntry kTestGameModule[];
