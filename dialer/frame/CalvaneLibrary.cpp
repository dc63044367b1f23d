// The dialer library's one translation unit until its frame is built: the library loads
// and unloads cleanly and exports nothing yet.
#include "dialer/frame/CalvaneExport.h"
