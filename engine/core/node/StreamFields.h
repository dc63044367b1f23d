// Little-endian 32-bit fields of the engine's binary files: reading whole records from a
// stream and writing them, so a short read never leaves half a record behind.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "platform/base/Types.h"

class FileStream;

// Reads `count` little-endian 32-bit words into `words`; false (words untouched) when fewer
// than count * 4 bytes remain.
bool ReadWords(FileStream& stream, DWORD* words, std::size_t count);
// Writes the words little-endian; false when the stream took less.
bool WriteWords(FileStream& stream, const DWORD* words, std::size_t count);

// Runs of 32-bit floats (or words) of any length, read and written in pieces: false when the
// stream holds or takes fewer than count * 4 bytes; a failed read may have filled a part.
bool ReadFloats(FileStream& stream, float* values, std::uint64_t count);
bool WriteFloats(FileStream& stream, const float* values, std::uint64_t count);

// Runs of vectors, as their floats.
bool ReadVector3s(FileStream& stream, Vector3* vectors, std::uint64_t count);
bool WriteVector3s(FileStream& stream, const Vector3* vectors, std::uint64_t count);

// The bytes between the stream's position and the end of its data; 0 for a closed stream.
// Sizes read from a file are checked against this before anything is allocated for them.
std::uint64_t StreamBytesLeft(const FileStream& stream);

DWORD FloatBits(float value);
float BitsFloat(DWORD bits);
// Floats as their bit patterns, one word each, into `words` at `at`; the next index.
std::size_t PutVector3(DWORD* words, std::size_t at, const Vector3& v);
std::size_t GetVector3(const DWORD* words, std::size_t at, Vector3& v);
