// The sound mixer rendering 32 looping channels (16-bit mono sounds, each at its own
// frequency, so that every channel is resampled) into 16-bit stereo, as audio seconds
// rendered per second of processor time; the goal is at least 200 times real time. The
// baseline in the same run is the plainest mix of the same sounds: float samples summed
// with a gain at the output rate, no resampling, no interpolation.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "bench/BenchCompare.h"
#include "platform/sound/Mixer.h"

namespace {

using namespace platform::sound;

constexpr std::uint32_t kRate = 22050;
constexpr int kChannels = 32;
constexpr std::uint32_t kBlockFrames = 1024;
constexpr std::size_t kSoundFrames = 22050;

std::vector<std::vector<std::int16_t>> Sounds() {
    std::vector<std::vector<std::int16_t>> sounds(kChannels, std::vector<std::int16_t>(kSoundFrames));
    for (int channel = 0; channel < kChannels; ++channel)
        for (std::size_t i = 0; i < kSoundFrames; ++i)
            sounds[channel][i] = static_cast<std::int16_t>(
                std::lround(900.0 * std::sin(0.01 * (channel + 1) * static_cast<double>(i))));
    return sounds;
}

void SetAudioRate(benchmark::State& state) {
    state.counters["x_real_time"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBlockFrames / kRate, benchmark::Counter::kIsRate);
}

void BM_Mixer32LoopingChannels(benchmark::State& state) {
    const std::vector<std::vector<std::int16_t>> sounds = Sounds();
    std::vector<SoundSource> sources(kChannels);
    Mixer mixer(kRate, kChannels);
    for (int channel = 0; channel < kChannels; ++channel) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(sounds[channel].data());
        DescribePcm(sources[channel], bytes, kSoundFrames * 2, 1, 16);
        const auto frequency = static_cast<std::int32_t>(kRate * (0.5 + channel / 32.0));
        mixer.Start(channel, &sources[channel], frequency, 200, true, false);
    }
    std::vector<std::int32_t> sum(2 * kBlockFrames);
    std::vector<std::int16_t> out(2 * kBlockFrames);
    for (auto _ : state) {
        std::fill(sum.begin(), sum.end(), 0);
        mixer.MixChannels(sum.data(), kBlockFrames);
        SumToPcm16(sum.data(), out.data(), kBlockFrames);
        benchmark::DoNotOptimize(out.data());
    }
    for (int channel = 0; channel < kChannels; ++channel)
        if (!mixer.At(channel)->active) state.SkipWithError("a looping channel stopped");
    SetAudioRate(state);
}

void BM_PlainFloatMix(benchmark::State& state) {
    const std::vector<std::vector<std::int16_t>> sounds = Sounds();
    std::vector<std::vector<float>> floats(kChannels);
    for (int channel = 0; channel < kChannels; ++channel)
        floats[channel].assign(sounds[channel].begin(), sounds[channel].end());
    std::vector<float> sum(2 * kBlockFrames);
    std::vector<std::int16_t> out(2 * kBlockFrames);
    std::size_t position = 0;
    const float gain = 200.0f / 255.0f;
    for (auto _ : state) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (const std::vector<float>& sound : floats) {
            for (std::uint32_t i = 0; i < kBlockFrames; ++i) {
                const float value = sound[(position + i) % kSoundFrames] * gain;
                sum[2 * i] += value;
                sum[2 * i + 1] += value;
            }
        }
        for (std::size_t i = 0; i < sum.size(); ++i)
            out[i] = static_cast<std::int16_t>(std::fmax(-32768.0f, std::fmin(32767.0f, sum[i])));
        position = (position + kBlockFrames) % kSoundFrames;
        benchmark::DoNotOptimize(out.data());
    }
    SetAudioRate(state);
}

BENCHMARK(BM_Mixer32LoopingChannels)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainFloatMix)->Unit(benchmark::kMicrosecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"BM_Mixer32LoopingChannels", "BM_PlainFloatMix", Ratio::Speed, Clock::Cpu, 0,
                                       bench::CounterAtLeast("x_real_time", 200)});

}  // namespace
