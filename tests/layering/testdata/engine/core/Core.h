// Breaks the layer order: the engine lies below the dialer.
#pragma once
#include "dialer/foundation/Foundation.h"
