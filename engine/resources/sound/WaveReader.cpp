// Reading wave files, chunk by chunk from a stream, or whole for a device that decodes them.
#include "engine/resources/sound/WaveReader.h"

#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/TextCompare.h"
#include "engine/sound/SoundDevice.h"

namespace {

constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagImaAdpcm = 17;
constexpr std::uint16_t kTag105 = 105;
constexpr DWORD kShortFormatBytes = 16;
constexpr DWORD kFullFormatBytes = 18;
constexpr DWORD kCanonicalHeaderBytes = 44;
// Chunks are skipped with a signed 32-bit seek.
constexpr DWORD kLargestChunk = 0x7FFFFFFF;

std::uint16_t Read16(const BYTE* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

DWORD Read32(const BYTE* at) {
    return static_cast<DWORD>(at[0]) | (static_cast<DWORD>(at[1]) << 8) | (static_cast<DWORD>(at[2]) << 16) |
           (static_cast<DWORD>(at[3]) << 24);
}

DWORD Remaining(const FileStream& stream) { return stream.Size() > stream.Tell() ? stream.Size() - stream.Tell() : 0; }

// The text from the path's last '.', or ".wav" without a path.
const char* ExtensionOf(const char* path) {
    if (path == nullptr) return ".wav";
    const char* dot = std::strrchr(path, '.');
    return dot != nullptr ? dot : "";
}

struct ChunkHeader {
    char id[4];
    DWORD size;
};

// The next chunk's header; false at the end of the file or for a chunk longer than what
// is left of it.
bool ReadChunkHeader(FileStream& stream, ChunkHeader& header, const char* path) {
    BYTE bytes[8];
    if (stream.Read(bytes, sizeof bytes) != sizeof bytes) return false;
    std::memcpy(header.id, bytes, 4);
    header.size = Read32(bytes + 4);
    if (header.size > Remaining(stream) || header.size > kLargestChunk) {
        KEL_LOG_EXCEPTION("%s: the '%.4s' chunk of %u bytes runs past the end of the file.", path, header.id,
                          static_cast<unsigned>(header.size));
        return false;
    }
    return true;
}

// Skips chunks up to the one with `id`, whose header is left in `header`.
bool FindChunk(FileStream& stream, const char* id, ChunkHeader& header, const char* path) {
    while (ReadChunkHeader(stream, header, path)) {
        if (std::memcmp(header.id, id, 4) == 0) return true;
        stream.Seek(static_cast<LONG>(header.size), 1);
    }
    return false;
}

struct WaveFormat {
    std::uint16_t tag = 0;
    DWORD channels = 0;
    DWORD rate = 0;
    DWORD bytesPerSecond = 0;
    DWORD blockAlign = 0;
    DWORD bits = 0;
};

// Hands the sample to the device; the sample, or null when there is no device or it
// refuses (the sample is then deleted).
SoundSample* HandToDevice(SoundSample* sample) {
    SoundDevice* device = GetSoundDevice();
    if (device == nullptr || device->CreateSample(sample) == 0) {
        delete sample;
        return nullptr;
    }
    return sample;
}

// The whole stream as one block, for a device that decodes the file itself. Wave files
// give their format from the canonical 44-byte header.
SoundSample* ReadWholeWave(FileStream& stream, DWORD deviceFlags, const char* path, const char* extension) {
    const DWORD size = Remaining(stream);
    auto* data = size > 0 ? static_cast<BYTE*>(EngineAlloc(size)) : nullptr;
    if (data == nullptr || stream.Read(data, size) != size) {
        EngineFree(data);
        return nullptr;
    }
    WaveFormat format;
    DWORD sampleCount = 0;
    if (CompareNoCase(extension, ".wav") == 0) {
        if (size < kCanonicalHeaderBytes) {
            KEL_LOG_EXCEPTION("%s: a wave file of %u bytes is shorter than its 44-byte header.", path,
                              static_cast<unsigned>(size));
            EngineFree(data);
            return nullptr;
        }
        format.channels = Read16(data + 22);
        format.rate = Read32(data + 24);
        format.bytesPerSecond = Read32(data + 28);
        format.blockAlign = Read16(data + 32);
        format.bits = Read16(data + 34);
        const DWORD dataBytes = Read32(data + 40);
        if (format.bits == 0 || dataBytes > size - kCanonicalHeaderBytes) {
            KEL_LOG_EXCEPTION("%s: the wave header has %u bits per sample and %u bytes of data in %u bytes.", path,
                              static_cast<unsigned>(format.bits), static_cast<unsigned>(dataBytes),
                              static_cast<unsigned>(size));
            EngineFree(data);
            return nullptr;
        }
        sampleCount = static_cast<DWORD>(std::uint64_t{dataBytes} * 8 / format.bits);
    }
    auto* sample = new SoundSample(data, sampleCount, format.rate, format.bits, format.channels);
    if (sample == nullptr) {
        EngineFree(data);
        return nullptr;
    }
    sample->name.Assign(path);
    sample->blockAlign = format.blockAlign;
    sample->averageBytesPerSecond = format.bytesPerSecond;
    sample->flags = deviceFlags;
    sample->dataSize = size;
    return HandToDevice(sample);
}

bool ReadFormat(FileStream& stream, const ChunkHeader& chunk, WaveFormat& format, BYTE*& extra, DWORD& extraSize,
                const char* path) {
    if (chunk.size < kShortFormatBytes) {
        KEL_LOG_EXCEPTION("%s: the format chunk has %u bytes, fewer than 16.", path, static_cast<unsigned>(chunk.size));
        return false;
    }
    BYTE bytes[kFullFormatBytes] = {};
    const DWORD read = chunk.size < kFullFormatBytes ? chunk.size : kFullFormatBytes;
    if (stream.Read(bytes, read) != read) return false;
    format.tag = Read16(bytes);
    format.channels = Read16(bytes + 2);
    format.rate = Read32(bytes + 4);
    format.bytesPerSecond = Read32(bytes + 8);
    format.blockAlign = Read16(bytes + 12);
    format.bits = Read16(bytes + 14);
    extraSize = chunk.size >= kFullFormatBytes ? Read16(bytes + 16) : 0;
    if (extraSize > chunk.size - read) {
        KEL_LOG_EXCEPTION("%s: the format's %u extra bytes run past its chunk.", path, static_cast<unsigned>(extraSize));
        return false;
    }
    if (extraSize > 0) {
        extra = static_cast<BYTE*>(EngineAlloc(extraSize));
        if (extra == nullptr || stream.Read(extra, extraSize) != extraSize) return false;
    }
    stream.Seek(static_cast<LONG>(chunk.size - read - extraSize), 1);
    return true;
}

SoundSample* ReadWaveChunks(FileStream& stream, DWORD deviceFlags, const char* path, const char* extension) {
    if (CompareNoCase(extension, ".wav") != 0) return nullptr;
    BYTE riff[12];
    if (stream.Read(riff, sizeof riff) != sizeof riff || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return nullptr;
    ChunkHeader chunk;
    if (!FindChunk(stream, "fmt ", chunk, path)) return nullptr;
    WaveFormat format;
    BYTE* extra = nullptr;
    DWORD extraSize = 0;
    BYTE* data = nullptr;
    SoundSample* result = nullptr;
    do {
        if (!ReadFormat(stream, chunk, format, extra, extraSize, path) || !FindChunk(stream, "data", chunk, path)) break;
        DWORD formatCode = 0;
        if (format.tag == kTagPcm) {
            formatCode = kSoundFormatPcm;
        } else if (format.tag == kTagImaAdpcm) {
            formatCode = kSoundFormatImaAdpcm;
        } else if (format.tag == kTag105) {
            formatCode = kSoundFormatTag105;
        } else {
            KEL_LOG_EXCEPTION("Unsupported wave format '%s'", path);
            break;
        }
        if (format.bits == 0) {
            KEL_LOG_EXCEPTION("%s: the wave format has 0 bits per sample.", path);
            break;
        }
        const std::uint64_t sampleCount = std::uint64_t{chunk.size} * 8 / format.bits;
        if (sampleCount > 0xFFFFFFFFu) break;
        const std::uint64_t total = std::uint64_t{chunk.size} + extraSize;
        if (total > kMaximumEngineAllocation) break;
        data = total > 0 ? static_cast<BYTE*>(EngineAlloc(static_cast<std::size_t>(total))) : nullptr;
        if (total > 0 && data == nullptr) break;
        if (stream.Read(data, chunk.size) != chunk.size) break;
        if (extraSize > 0) std::memcpy(data + chunk.size, extra, extraSize);
        // Wave files keep 8-bit samples unsigned; the device takes them signed.
        if (format.bits == 8)
            for (std::uint64_t i = 0; i < sampleCount; ++i) data[i] = static_cast<BYTE>(data[i] + 128);
        auto* sample = new SoundSample(data, static_cast<DWORD>(sampleCount), format.rate, format.bits, format.channels);
        if (sample == nullptr) break;
        data = nullptr;
        sample->name.Assign(path);
        sample->blockAlign = format.blockAlign;
        sample->averageBytesPerSecond = format.bytesPerSecond;
        sample->extraFormatSize = extraSize;
        sample->extraFormat = extraSize > 0 ? sample->data + chunk.size : nullptr;
        sample->flags = deviceFlags;
        sample->formatCode = formatCode;
        sample->dataSize = chunk.size;
        result = HandToDevice(sample);
    } while (false);
    EngineFree(extra);
    EngineFree(data);
    return result;
}

}  // namespace

SoundSample* ReadWave(FileStream& stream, DWORD deviceFlags, DWORD, const char* path) {
    const char* extension = ExtensionOf(path);
    SoundDevice* device = GetSoundDevice();
    if (device != nullptr && device->WantsRawSoundFile(extension) != 0)
        return ReadWholeWave(stream, deviceFlags, path, extension);
    return ReadWaveChunks(stream, deviceFlags, path, extension);
}

SoundSample* LoadSound(const char* path) {
    FileStream stream;
    if (stream.Open(path, kStreamBinary) == 0) return nullptr;
    SoundSample* sample = ReadWave(stream, 0, 0, path);
    stream.Close();
    return sample;
}
