// GameEngine: the game's application object as the engine sees it, made by the game
// module's "Create_GameEngine". The game derives its application class from this one,
// keeping the type "GameEngine", and gives the bodies of the Engine operations.
#pragma once

#include "engine/core/object/Engine.h"

class GameEngine : public Engine {
    KEL_DECLARE_TYPE(GameEngine, Engine, "GameEngine")

protected:
    GameEngine() = default;
};
