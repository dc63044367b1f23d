// C runtime streams (FILE*) on handset paths, for code that reads and writes files with
// fopen, fread and fwrite.
#pragma once

#include <cstdio>

#include "platform/base/Types.h"

// mode as for fopen: "r", "w" or "a", then any of '+', 'b', 't' and 'x' ('t' means nothing
// here: there is no text translation). Failure gives null with errno and the last error.
FILE* _wfopen(const WCHAR* fileName, const WCHAR* mode);

namespace platform {
// The same for a handset path in UTF-8, as the engine keeps its paths.
FILE* OpenHandsetStream(const char* handsetPath, const char* mode);
}  // namespace platform
