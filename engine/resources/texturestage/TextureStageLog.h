// The texture stage code logs under one source name.
#pragma once

#include "engine/core/memory/EngineLog.h"

#define STAGE_LOG(format, ...) LogException(format, "texturestage", __LINE__ __VA_OPT__(, ) __VA_ARGS__)
