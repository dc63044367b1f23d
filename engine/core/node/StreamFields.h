// Little-endian 32-bit fields of the engine's binary files: reading whole records from a
// stream and writing them, so a short read never leaves half a record behind.
#pragma once

#include <cstddef>

#include "engine/core/math/MathTypes.h"
#include "platform/base/Types.h"

class FileStream;

// Reads `count` little-endian 32-bit words into `words`; false (words untouched) when fewer
// than count * 4 bytes remain.
bool ReadWords(FileStream& stream, DWORD* words, std::size_t count);
// Writes the words little-endian; false when the stream took less.
bool WriteWords(FileStream& stream, const DWORD* words, std::size_t count);

DWORD FloatBits(float value);
float BitsFloat(DWORD bits);
// Floats as their bit patterns, one word each, into `words` at `at`; the next index.
std::size_t PutVector3(DWORD* words, std::size_t at, const Vector3& v);
std::size_t GetVector3(const DWORD* words, std::size_t at, Vector3& v);
