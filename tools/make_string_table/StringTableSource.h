// The source form of a string table: UTF-8 lines "<id> <text>", '#' comments and blank
// lines ignored, escapes \n \t \\ in the text.
#pragma once

#include <string>

#include "platform/base/StringResource.h"

// Reads the source into table; on the first mistake returns false with a sentence that
// names the line in `error`.
bool ReadStringTableSource(const std::string& source, platform::StringTableFile* table, std::string* error);
