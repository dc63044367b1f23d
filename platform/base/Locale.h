// The handset's default language: GetSystemDefaultLangID, taken from the process's $LANG.
#pragma once

#include "platform/base/Types.h"

using LANGID = WORD;

constexpr WORD MAKELANGID(WORD primary, WORD sublanguage) { return static_cast<WORD>((sublanguage << 10) | primary); }
constexpr WORD PRIMARYLANGID(LANGID id) { return id & 0x3FF; }
constexpr WORD SUBLANGID(LANGID id) { return id >> 10; }

// The language id of $LANG ("de_DE.UTF-8", "pt_BR", "zh_TW"...): the language's primary id
// with the territory's sublanguage (1 where the territory does not choose one). An unset,
// empty, "C" or "POSIX" $LANG, or a language the handset does not know, is US English (0x0409).
LANGID GetSystemDefaultLangID();
// The same for a given $LANG value (null as unset).
LANGID LangIdFromLocaleName(const char* name);
