// Breaks the rule that the foundation stays under the layout framework.
#include "dialer/layout/Layout.h"
