// make_wave <description.tone> <sound.wav>: renders a text description of tones into a wave
// file of the format it names (8- or 16-bit PCM, or IMA ADPCM).
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/make_wave/WaveEncode.h"
#include "tools/make_wave/WaveSynth.h"
#include "tools/source_text/SourceText.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_wave <description.tone> <sound.wav>\n");
        return 2;
    }
    std::string text;
    std::string error;
    WaveDescription description;
    if (!ReadSourceFile(argv[1], text, error) || !ParseWaveDescription(text, argv[1], description, error)) {
        std::fprintf(stderr, "make_wave: %s\n", error.c_str());
        return 1;
    }
    const std::vector<std::int16_t> frames = RenderWave(description);
    std::vector<std::uint8_t> file;
    switch (description.format) {
        case WaveFormat::Pcm8:
            file = EncodePcmWave(frames, description.channels, description.rate, 8);
            break;
        case WaveFormat::Pcm16:
            file = EncodePcmWave(frames, description.channels, description.rate, 16);
            break;
        case WaveFormat::Ima: {
            const std::uint32_t block = description.blockBytes != 0
                                            ? description.blockBytes
                                            : DefaultImaBlockBytes(description.rate, description.channels);
            file = EncodeImaWave(frames, description.channels, description.rate, block);
            break;
        }
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out) {
        std::fprintf(stderr, "make_wave: %s cannot be written.\n", argv[2]);
        return 1;
    }
    std::printf("make_wave: wrote %s (%zu frames)\n", argv[2], frames.size() / description.channels);
    return 0;
}
