// Breaks the rule that Pellorin uses only the dialer's foundation and data.
#include "dialer/data/Data.h"
#include "dialer/foundation/Foundation.h"
  #  include "dialer/layout/Layout.h"
