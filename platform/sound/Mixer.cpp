// The mixer's channels and its inner loops: one loop per sample layout, each running over a
// stretch of frames where the frame after every position is at hand, so that the loops need
// no bounds checks; the ends of a sound and of IMA ADPCM blocks are handled between runs.
#include "platform/sound/Mixer.h"

#include <algorithm>

#include "platform/sound/ImaAdpcm.h"

namespace platform::sound {

namespace {

// Interpolation weights take 14 bits of the position's fraction, so that the weighted
// difference of two 16-bit samples stays within 32 bits.
constexpr int kFractionShift = 18;
constexpr std::int32_t kFractionMask = (1 << 14) - 1;

// Room for a decoded block and the frame after it.
constexpr std::uint32_t kBlockCacheFrames = 2 * kMaxImaBlockBytes + 2;

template <typename T>
inline std::int32_t Widen(T value) {
    if constexpr (sizeof(T) == 1)
        return static_cast<std::int32_t>(value) * 256;
    else
        return value;
}

// Mixes `count` output frames from interleaved frames of `Channels` channels; every position
// visited must have its following frame inside `frames`. Returns the position after.
template <typename T, int Channels>
std::uint64_t MixRun(const T* frames, std::uint64_t position, std::uint64_t step, std::uint32_t count,
                     std::int32_t volume, std::int32_t* sum) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t index = static_cast<std::size_t>(position >> 32) * Channels;
        const std::int32_t fraction = static_cast<std::int32_t>(position >> kFractionShift) & kFractionMask;
        const std::int32_t a = Widen(frames[index]);
        const std::int32_t left = a + (((Widen(frames[index + Channels]) - a) * fraction) >> 14);
        if constexpr (Channels == 1) {
            sum[2 * i] += left * volume;
            sum[2 * i + 1] += left * volume;
        } else {
            const std::int32_t b = Widen(frames[index + 1]);
            const std::int32_t right = b + (((Widen(frames[index + 3]) - b) * fraction) >> 14);
            sum[2 * i] += left * volume;
            sum[2 * i + 1] += right * volume;
        }
        position += step;
    }
    return position;
}

template <typename T>
std::uint64_t MixRunOf(const T* frames, std::uint32_t channels, std::uint64_t position, std::uint64_t step,
                       std::uint32_t count, std::int32_t volume, std::int32_t* sum) {
    return channels == 1 ? MixRun<T, 1>(frames, position, step, count, volume, sum)
                         : MixRun<T, 2>(frames, position, step, count, volume, sum);
}

// One frame mixed by hand: `a` and `b` are the frame and the one after it.
template <typename T>
void MixOneFrame(const T* a, const T* b, std::uint32_t channels, std::uint64_t position, std::int32_t volume,
                 std::int32_t* sum) {
    const std::int32_t fraction = static_cast<std::int32_t>(position >> kFractionShift) & kFractionMask;
    for (std::uint32_t c = 0; c < 2; ++c) {
        const std::uint32_t from = channels == 1 ? 0 : c;
        const std::int32_t first = Widen(a[from]);
        sum[c] += (first + (((Widen(b[from]) - first) * fraction) >> 14)) * volume;
    }
}

// Output frames until the position reaches `limit`, at most `left`.
std::uint32_t FramesBefore(std::uint64_t position, std::uint64_t limit, std::uint64_t step, std::uint32_t left) {
    if (position >= limit) return 0;
    const std::uint64_t frames = (limit - position + step - 1) / step;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, left));
}

std::uint64_t StepFor(std::int32_t frequency, std::uint32_t rate) {
    return (static_cast<std::uint64_t>(frequency) << 32) / rate;
}

}  // namespace

Mixer::Mixer(std::uint32_t rate, std::uint32_t channelCount)
    : rate_(rate == 0 ? 1 : rate),
      voices_(std::min<std::uint32_t>(channelCount, kMaxMixerChannels)),
      blockCaches_(voices_.size() * kBlockCacheFrames * 2) {
    for (std::size_t i = 0; i < voices_.size(); ++i) voices_[i].blockCache = &blockCaches_[i * kBlockCacheFrames * 2];
}

int Mixer::Start(int channel, const SoundSource* source, std::int32_t frequency, std::int32_t volume, bool loop,
                 bool paused) {
    if (source == nullptr || source->frames == 0) return -1;
    if (channel < 0) {
        const auto free = std::find_if(voices_.begin(), voices_.end(), [](const Voice& v) { return !v.active; });
        if (free == voices_.end()) return -1;
        channel = static_cast<int>(free - voices_.begin());
    }
    Voice* voice = At(channel);
    if (voice == nullptr) return -1;
    std::int16_t* cache = voice->blockCache;
    *voice = Voice{};
    voice->blockCache = cache;
    voice->source = source;
    voice->active = true;
    voice->paused = paused;
    voice->loop = loop;
    voice->volume = std::clamp(volume, 0, kFullVolume);
    voice->frequency = std::clamp(frequency, 1, kMaxFrequency);
    voice->step = StepFor(voice->frequency, rate_);
    return channel;
}

Voice* Mixer::At(int channel) {
    if (channel < 0 || channel >= ChannelCount()) return nullptr;
    return &voices_[static_cast<std::size_t>(channel)];
}

void Mixer::Stop(int channel) {
    if (Voice* voice = At(channel)) {
        voice->active = false;
        voice->source = nullptr;
    }
}

void Mixer::StopAll() {
    for (int channel = 0; channel < ChannelCount(); ++channel) Stop(channel);
}

void Mixer::StopSource(const SoundSource* source) {
    for (int channel = 0; channel < ChannelCount(); ++channel)
        if (voices_[static_cast<std::size_t>(channel)].source == source) Stop(channel);
}

bool Mixer::SetFrequency(int channel, std::int32_t frequency) {
    Voice* voice = At(channel);
    if (voice == nullptr || frequency <= 0 || frequency > kMaxFrequency) return false;
    voice->frequency = frequency;
    voice->step = StepFor(frequency, rate_);
    return true;
}

bool Mixer::SetPosition(int channel, std::uint32_t frame) {
    Voice* voice = At(channel);
    if (voice == nullptr || voice->source == nullptr || frame >= voice->source->frames) return false;
    voice->position = static_cast<std::uint64_t>(frame) << 32;
    return true;
}

void Mixer::MixChannels(std::int32_t* sum, std::uint32_t frames) {
    for (Voice& voice : voices_)
        if (voice.active && !voice.paused && voice.source != nullptr) MixVoice(voice, sum, frames);
}

void Mixer::DecodeBlock(Voice& voice, std::uint64_t block) {
    const SoundSource& source = *voice.source;
    const std::uint32_t channels = source.channels;
    const std::size_t offset = static_cast<std::size_t>(block) * source.blockBytes;
    const std::size_t bytes = std::min<std::size_t>(source.blockBytes, source.bytes - offset);
    const std::uint32_t frames = DecodeImaBlock(source.data + offset, bytes, channels, voice.blockCache);
    // The frame after the block: the next block's first frame (its header), the sound's
    // first frame when it loops, else the block's own last frame.
    std::int16_t* after = voice.blockCache + static_cast<std::size_t>(frames) * channels;
    const std::uint64_t nextStart = (block + 1) * source.framesPerBlock;
    const std::uint8_t* header = nullptr;
    if (nextStart < source.frames)
        header = source.data + offset + source.blockBytes;
    else if (voice.loop)
        header = source.data;
    for (std::uint32_t c = 0; c < channels; ++c) {
        after[c] = header != nullptr ? static_cast<std::int16_t>(header[4 * c] | (header[4 * c + 1] << 8))
                                     : after[static_cast<std::ptrdiff_t>(c) - static_cast<std::ptrdiff_t>(channels)];
    }
    voice.cachedBlock = static_cast<std::int64_t>(block);
    voice.cachedFrames = frames;
}

void Mixer::MixVoice(Voice& voice, std::int32_t* sum, std::uint32_t frames) {
    const SoundSource& source = *voice.source;
    const std::uint64_t total = source.frames;
    const std::uint32_t channels = source.channels;
    std::uint64_t position = voice.position;
    while (frames > 0) {
        std::uint64_t index = position >> 32;
        if (index >= total) {
            if (!voice.loop) {
                voice.active = false;
                voice.source = nullptr;
                break;
            }
            position %= total << 32;
            continue;
        }
        std::uint32_t count = 0;
        if (source.encoding == Encoding::ImaAdpcm) {
            const std::uint64_t block = index / source.framesPerBlock;
            if (voice.cachedBlock != static_cast<std::int64_t>(block)) DecodeBlock(voice, block);
            const std::uint64_t start = block * source.framesPerBlock;
            count = FramesBefore(position, (start + voice.cachedFrames) << 32, voice.step, frames);
            position = MixRunOf(voice.blockCache, channels, position - (start << 32), voice.step, count, voice.volume,
                                sum) +
                       (start << 32);
        } else if (index + 1 < total) {
            count = FramesBefore(position, (total - 1) << 32, voice.step, frames);
            position = source.encoding == Encoding::Pcm8
                           ? MixRunOf(reinterpret_cast<const std::int8_t*>(source.data), channels, position,
                                      voice.step, count, voice.volume, sum)
                           : MixRunOf(reinterpret_cast<const std::int16_t*>(source.data), channels, position,
                                      voice.step, count, voice.volume, sum);
        } else {
            // The last frame leads into the first when the sound loops, else into itself.
            const std::size_t last = static_cast<std::size_t>(index) * channels;
            const std::size_t next = voice.loop ? 0 : last;
            if (source.encoding == Encoding::Pcm8) {
                const auto* data = reinterpret_cast<const std::int8_t*>(source.data);
                MixOneFrame(data + last, data + next, channels, position, voice.volume, sum);
            } else {
                const auto* data = reinterpret_cast<const std::int16_t*>(source.data);
                MixOneFrame(data + last, data + next, channels, position, voice.volume, sum);
            }
            position += voice.step;
            count = 1;
        }
        sum += 2 * static_cast<std::size_t>(count);
        frames -= count;
    }
    voice.position = position;
    // A sound that has played its last frame is over at once, not at the next mix.
    if (!voice.loop && (position >> 32) >= total) {
        voice.active = false;
        voice.source = nullptr;
    }
}

void SumToPcm16(const std::int32_t* sum, std::int16_t* out, std::uint32_t frames) {
    for (std::uint32_t i = 0; i < 2 * frames; ++i)
        out[i] = static_cast<std::int16_t>(std::clamp(sum[i] / kFullVolume, -32768, 32767));
}

}  // namespace platform::sound
