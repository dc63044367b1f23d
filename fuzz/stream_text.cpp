// Text extraction from a memory stream: the first byte picks the flags and buffer sizes,
// the rest is the stream's data, read by a mix of words, numbers, lines and seeks.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/core/files/FileStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready || size < 1 || size > 0xFFFFFFFFu) return 0;
    auto* image = static_cast<BYTE*>(EngineAlloc(size - 1));
    if (image == nullptr && size > 1) return 0;
    if (size > 1) std::memcpy(image, data + 1, size - 1);
    FileStream stream;
    stream.SetFlags(data[0] & kStreamHexIntegers);
    stream.AttachImage(image, static_cast<DWORD>(size - 1), 0);
    char text[16];
    float f;
    std::int32_t i;
    std::uint32_t u;
    for (std::size_t step = 0; step < 4 * size && stream.Tell() < stream.Size(); ++step) {
        switch ((data[step % size] + step) % 7) {
            case 0: stream.ReadWord(text, data[0] % 17); break;
            case 1: stream.ReadLine(text, data[0] % 15); break;
            case 2: stream.ReadFloat(f); break;
            case 3: stream.ReadInt(i); break;
            case 4: stream.ReadUInt(u); break;
            case 5: stream.SkipToToken(); break;
            default: stream.Seek(static_cast<LONG>(data[step % size]) - 128, static_cast<int>(step % 3)); break;
        }
    }
    return 0;
}
