// Reading wave descriptions and rendering their tones.
#include "tools/make_wave/WaveSynth.h"

#include <algorithm>
#include <cmath>

#include "platform/sound/ImaAdpcm.h"
#include "tools/source_text/SourceText.h"

namespace {

constexpr double kMaxSeconds = 60.0;

// "tone <shape> <hz>[..<hz>] <seconds> [at s] [volume v] [attack s] [release s] [pan p]"
void ReadTone(SourceReader& reader, const SourceLine& line, double cursor, ToneSpec& tone) {
    const std::vector<std::string>& words = line.words;
    if (words.size() < 4 || words.size() % 2 != 0) {
        reader.Fail("a tone is 'tone <shape> <hz>[..<hz>] <seconds>' followed by pairs such as 'volume 0.5'");
        return;
    }
    if (!WaveShapeNamed(words[1], tone.shape)) reader.Fail("'" + words[1] + "' is not sine, square, triangle, saw or noise");
    const std::size_t sweep = words[2].find("..");
    tone.fromHz = reader.Number(words[2].substr(0, sweep), 0.0, 20000.0, "frequency");
    tone.toHz = sweep == std::string::npos ? tone.fromHz
                                           : reader.Number(words[2].substr(sweep + 2), 0.0, 20000.0, "frequency");
    tone.seconds = reader.Number(words[3], 0.0, kMaxSeconds, "length");
    tone.start = cursor;
    for (std::size_t at = 4; at + 1 < words.size(); at += 2) {
        const std::string& key = words[at];
        const std::string& value = words[at + 1];
        if (key == "at")
            tone.start = reader.Number(value, 0.0, kMaxSeconds, "start");
        else if (key == "volume")
            tone.volume = reader.Number(value, 0.0, 1.0, "volume");
        else if (key == "attack")
            tone.attack = reader.Number(value, 0.0, kMaxSeconds, "attack");
        else if (key == "release")
            tone.release = reader.Number(value, 0.0, kMaxSeconds, "release");
        else if (key == "pan")
            tone.pan = reader.Number(value, -1.0, 1.0, "pan");
        else
            reader.Fail("'" + key + "' is not at, volume, attack, release or pan");
    }
}

// Attack and release ramps; a tone shorter than both is shaped by both at once.
double Envelope(const ToneSpec& tone, double time) {
    double level = 1.0;
    if (tone.attack > 0.0 && time < tone.attack) level = std::min(level, time / tone.attack);
    const double left = tone.seconds - time;
    if (tone.release > 0.0 && left < tone.release) level = std::min(level, left / tone.release);
    return std::max(level, 0.0);
}

}  // namespace

std::uint32_t DefaultImaBlockBytes(std::uint32_t rate, std::uint32_t channels) {
    return 256 * channels * std::max<std::uint32_t>(1, rate / 11025);
}

bool ParseWaveDescription(const std::string& text, const std::string& fileName, WaveDescription& description,
                          std::string& error) {
    description = WaveDescription{};
    double cursor = 0.0;
    for (const SourceLine& line : SplitSourceLines(text)) {
        SourceReader reader(fileName, line);
        const std::string& keyword = line.words[0];
        const std::size_t count = line.words.size();
        if (keyword == "format" && count == 2) {
            const std::string& name = line.words[1];
            if (name == "pcm8")
                description.format = WaveFormat::Pcm8;
            else if (name == "pcm16")
                description.format = WaveFormat::Pcm16;
            else if (name == "ima")
                description.format = WaveFormat::Ima;
            else
                reader.Fail("'" + name + "' is not pcm8, pcm16 or ima");
        } else if (keyword == "rate" && count == 2) {
            description.rate = static_cast<std::uint32_t>(reader.Integer(line.words[1], 8000, 48000, "rate"));
        } else if (keyword == "channels" && count == 2) {
            description.channels = static_cast<std::uint32_t>(reader.Integer(line.words[1], 1, 2, "channel count"));
        } else if (keyword == "block" && count == 2) {
            description.blockBytes = static_cast<std::uint32_t>(reader.Integer(line.words[1], 16, 4096, "block size"));
        } else if (keyword == "silence" && count == 2) {
            cursor += reader.Number(line.words[1], 0.0, kMaxSeconds, "silence");
        } else if (keyword == "tone") {
            ToneSpec tone;
            ReadTone(reader, line, cursor, tone);
            cursor = tone.start + tone.seconds;
            if (!reader.Failed()) description.tones.push_back(tone);
        } else {
            reader.Fail("'" + line.text + "' is not format, rate, channels, block, tone or silence with its value");
        }
        if (reader.Failed()) {
            error = reader.Error();
            return false;
        }
        description.seconds = std::max(description.seconds, cursor);
    }
    if (description.seconds <= 0.0) {
        error = fileName + ": the sound has no length (no tone or silence).";
        return false;
    }
    if (description.format == WaveFormat::Ima && description.blockBytes != 0 &&
        platform::sound::ImaFramesPerBlock(description.blockBytes, description.channels) == 0) {
        error = fileName + ": block " + std::to_string(description.blockBytes) + " is not 4 bytes a channel plus whole groups of " +
                std::to_string(4 * description.channels) + " bytes.";
        return false;
    }
    if (description.seconds > kMaxSeconds) {
        error = fileName + ": the sound is longer than 60 seconds.";
        return false;
    }
    return true;
}

std::vector<std::int16_t> RenderWave(const WaveDescription& description) {
    const std::uint32_t channels = description.channels;
    const auto frames = static_cast<std::size_t>(std::ceil(description.seconds * description.rate));
    std::vector<double> mix(frames * channels, 0.0);
    std::uint32_t noise = kNoiseSeed;
    for (const ToneSpec& tone : description.tones) {
        const auto first = static_cast<std::size_t>(std::llround(tone.start * description.rate));
        const auto length = static_cast<std::size_t>(std::llround(tone.seconds * description.rate));
        double phase = 0.0;
        for (std::size_t i = 0; i < length && first + i < frames; ++i) {
            const double time = static_cast<double>(i) / description.rate;
            const double hz = tone.fromHz + (tone.toHz - tone.fromHz) * (length > 1 ? static_cast<double>(i) / (length - 1) : 0.0);
            const double value = WaveShapeValue(tone.shape, phase, noise) * tone.volume * Envelope(tone, time);
            phase += hz / description.rate;
            phase -= std::floor(phase);
            if (channels == 1) {
                mix[first + i] += value;
            } else {
                mix[(first + i) * 2] += value * std::min(1.0, 1.0 - tone.pan);
                mix[(first + i) * 2 + 1] += value * std::min(1.0, 1.0 + tone.pan);
            }
        }
    }
    std::vector<std::int16_t> out(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i)
        out[i] = static_cast<std::int16_t>(std::lround(std::clamp(mix[i], -1.0, 1.0) * 32767.0));
    return out;
}
