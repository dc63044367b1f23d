// Breaks the layer order: the platform lies below the tools; its own folder's include is fine.
#include "platform/base/Base.h"
#include "tools/Tool.h"
