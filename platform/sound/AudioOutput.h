// Where the mixed sound goes, as HANDSET_AUDIO says: the desktop's audio device through SDL2
// ("sdl", the default), nowhere ("null"), or a wave file ("wav:<file>"). The null and wave
// outputs mix on a thread of their own, paced by the platform clock, so that sounds end in
// time as they would on a device (and, on a manual clock, as the program's time moves); the
// library's calls also bring them up to the clock before they look or change anything.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform::sound {

class WaveFileWriter;

enum class OutputKind { Sdl, Null, Wave };

struct OutputSpec {
    OutputKind kind = OutputKind::Sdl;
    std::string path;  // the wave file, relative to the directory the program started in
};

// HANDSET_AUDIO, case ignored for "sdl" and "null" and the "wav:" prefix. False with a
// sentence naming the variable in `error` for anything else (or "wav:" without a file).
bool ReadAudioVariable(OutputSpec& spec, std::string& error);
// The same for a given value (null as unset).
bool ParseAudioVariable(const char* value, OutputSpec& spec, std::string& error);

// Fills `out` with `frames` interleaved stereo 16-bit frames; called from the output's thread.
using RenderFunction = void (*)(std::int16_t* out, std::uint32_t frames);

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // A paced output mixes at once every frame due by the clock; others do nothing.
    virtual void CatchUp() {}
};

// Starts the output at `rate` Hz; null with a sentence in `error` when it cannot. The
// output calls `render` until it is destroyed; destroying a paced output first renders the
// frames due up to that moment. The wave output appends to `waveFile` (opened on the path that
// `spec` names, or continued when it is open on that path already), which must outlive the output.
std::unique_ptr<AudioOutput> OpenOutput(const OutputSpec& spec, std::uint32_t rate, RenderFunction render,
                                        WaveFileWriter& waveFile, std::string& error);

}  // namespace platform::sound
