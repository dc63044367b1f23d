// Breaks the rule that the dialer never uses Pellorin; its foundation include is fine.
#include "dialer/foundation/Foundation.h"
#include <pimhelper/Helper.h>
