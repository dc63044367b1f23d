// Fine: the tools lie above the platform and the engine.
#pragma once
#include "engine/core/Core.h"
#include "platform/base/Base.h"
