// Key paths and names of the registry: splitting a subkey argument into names, folding names
// for comparison without case, and the byte form in which names are stored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

namespace platform::registry {

// Splits a subkey argument ("A\B\C", with an optional leading and trailing "\") into its
// names. Null and "" give no names. An empty name in the middle ("A\\B"), a name longer than
// kMaxNameChars and a path deeper than kMaxKeyDepth give ERROR_INVALID_PARAMETER.
LONG SplitKeyPath(LPCWSTR subKey, std::vector<std::u16string>& names);

// Reads a value name or a key class: null reads as "" (for a value name, the key's default
// value); longer than kMaxNameChars gives ERROR_INVALID_PARAMETER.
LONG ReadName(LPCWSTR text, std::u16string& name);

// The form in which names are compared: every character in upper case, as the handset's
// wide compare functions map it.
std::u16string FoldName(std::u16string_view name);

// Folded paths below a hive: names joined by "\", "" for the hive's root.
std::u16string JoinPath(const std::u16string& base, const std::u16string& foldedName);
// The path one level up; the root's parent is the root itself.
std::u16string ParentPath(const std::u16string& path);
// Levels below the root: 0 for "", 1 for "A", 2 for "A\B".
std::size_t PathDepth(const std::u16string& path);

// Names are stored as UTF-16 big-endian bytes, so that comparing the bytes compares the
// characters and paths sort by name. Decoding ignores a stray odd byte.
std::vector<std::uint8_t> EncodeName(std::u16string_view name);
std::u16string DecodeName(const std::uint8_t* bytes, std::size_t count);

}  // namespace platform::registry
