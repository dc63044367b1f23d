// Tone descriptions (".tone"): what reads is rendered and encoded as make_wave does, when its
// samples are few enough to keep the fuzzer fast (a sound may run for 60 seconds).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/make_wave/WaveEncode.h"
#include "tools/make_wave/WaveSynth.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WaveDescription description;
    std::string error;
    if (!ParseWaveDescription(std::string(reinterpret_cast<const char*>(data), size), "fuzz.tone", description, error) ||
        description.seconds * description.rate * description.channels > 16384)
        return 0;
    const std::vector<std::int16_t> frames = RenderWave(description);
    if (description.format == WaveFormat::Ima)
        EncodeImaWave(frames, description.channels, description.rate,
                      description.blockBytes != 0 ? description.blockBytes
                                                  : DefaultImaBlockBytes(description.rate, description.channels));
    else
        EncodePcmWave(frames, description.channels, description.rate, description.format == WaveFormat::Pcm8 ? 8 : 16);
    return 0;
}
