// Little-endian word records on engine streams.
#include "engine/core/node/StreamFields.h"

#include <cstring>

#include "engine/core/files/FileStream.h"

namespace {

// The longest record read or written at once (the transform block's 14 words fit).
constexpr std::size_t kMaximumWords = 32;

}  // namespace

bool ReadWords(FileStream& stream, DWORD* words, std::size_t count) {
    if (count > kMaximumWords) return false;
    BYTE bytes[kMaximumWords * 4];
    const DWORD size = static_cast<DWORD>(count * 4);
    if (stream.Read(bytes, size) != size) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const BYTE* b = bytes + i * 4;
        words[i] = DWORD{b[0]} | DWORD{b[1]} << 8 | DWORD{b[2]} << 16 | DWORD{b[3]} << 24;
    }
    return true;
}

bool WriteWords(FileStream& stream, const DWORD* words, std::size_t count) {
    if (count > kMaximumWords || stream.IsMemory()) return false;
    BYTE bytes[kMaximumWords * 4];
    for (std::size_t i = 0; i < count; ++i) {
        BYTE* b = bytes + i * 4;
        b[0] = static_cast<BYTE>(words[i]);
        b[1] = static_cast<BYTE>(words[i] >> 8);
        b[2] = static_cast<BYTE>(words[i] >> 16);
        b[3] = static_cast<BYTE>(words[i] >> 24);
    }
    const DWORD size = static_cast<DWORD>(count * 4);
    return stream.Write(bytes, size) == size;
}

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float BitsFloat(DWORD bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::size_t PutVector3(DWORD* words, std::size_t at, const Vector3& v) {
    words[at] = FloatBits(v.x);
    words[at + 1] = FloatBits(v.y);
    words[at + 2] = FloatBits(v.z);
    return at + 3;
}

std::size_t GetVector3(const DWORD* words, std::size_t at, Vector3& v) {
    v = {BitsFloat(words[at]), BitsFloat(words[at + 1]), BitsFloat(words[at + 2])};
    return at + 3;
}

bool ReadFloats(FileStream& stream, float* values, std::uint64_t count) {
    DWORD words[kMaximumWords];
    while (count > 0) {
        const std::size_t piece = count < kMaximumWords ? static_cast<std::size_t>(count) : kMaximumWords;
        if (!ReadWords(stream, words, piece)) return false;
        for (std::size_t i = 0; i < piece; ++i) values[i] = BitsFloat(words[i]);
        values += piece;
        count -= piece;
    }
    return true;
}

bool WriteFloats(FileStream& stream, const float* values, std::uint64_t count) {
    DWORD words[kMaximumWords];
    while (count > 0) {
        const std::size_t piece = count < kMaximumWords ? static_cast<std::size_t>(count) : kMaximumWords;
        for (std::size_t i = 0; i < piece; ++i) words[i] = FloatBits(values[i]);
        if (!WriteWords(stream, words, piece)) return false;
        values += piece;
        count -= piece;
    }
    return true;
}

static_assert(sizeof(Vector3) == 3 * sizeof(float), "a vector is read as its three floats");

bool ReadVector3s(FileStream& stream, Vector3* vectors, std::uint64_t count) {
    return ReadFloats(stream, reinterpret_cast<float*>(vectors), count * 3);
}

bool WriteVector3s(FileStream& stream, const Vector3* vectors, std::uint64_t count) {
    return WriteFloats(stream, reinterpret_cast<const float*>(vectors), count * 3);
}

std::uint64_t StreamBytesLeft(const FileStream& stream) {
    const DWORD size = stream.Size();
    const DWORD at = stream.Tell();
    return at < size ? size - at : 0;
}
