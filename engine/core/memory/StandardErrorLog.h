// The engine log on standard error: the stream the program sets at its start, so that the
// person or script that started it reads what went wrong.
#pragma once

#include "engine/core/memory/EngineLog.h"

// The one standard-error stream; its lines end in "\n" (the log's "\r\n" loses its "\r").
LogStream& StandardErrorLog();

// Writes a heading and the kept exceptions of this run to standard error, one a line.
void PrintExceptionList(const char* heading);
