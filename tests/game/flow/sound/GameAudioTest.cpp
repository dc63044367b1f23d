// The game's sounds as shipped: every effect of the sound-id table has its source, mixes
// into sound that differs from every other effect and lasts as long as its use allows; the
// music is a tracker song that libxmp reads, long enough, with a heard part at each order
// the sound manager starts.
#include <gtest/gtest.h>
#include <xmp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <filesystem>
#include <string>
#include <vector>

#include "game/flow/frame/ResultsPage.h"
#include "game/flow/sound/SoundManager.h"
#include "tests/platform/sound/SoundTestSupport.h"
#include "tools/make_wave/WaveSynth.h"
#include "tools/make_xm/XmSong.h"
#include "tools/make_xm/XmWrite.h"
#include "tools/source_text/SourceText.h"

namespace {

using namespace sound_test;
namespace fs = std::filesystem;

const fs::path kAudio = fs::path(HANDSET_SOURCE_DIR) / "data/game/audio";

// "sound/Jump.wav" -> <audio>/sound/Jump.tone
fs::path ToneSource(std::uint32_t id) {
    const fs::path file = SoundFileName(id);
    return kAudio / file.parent_path() / (file.stem().string() + ".tone");
}

// One effect as the mixer plays it: mono sum of the mixed stereo, and its audible span.
struct MixedEffect {
    std::string name;
    std::vector<double> mono;
    double seconds = 0.0;  // from the first to the last sample above 2% of the peak
    std::vector<double> signature;
};

constexpr int kFftSize = 512;
constexpr int kBands = 24;
constexpr int kSegments = 4;

void Fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2.0 * M_PI / static_cast<double>(length));
        for (std::size_t i = 0; i < n; i += length) {
            std::complex<double> w = 1.0;
            for (std::size_t k = 0; k < length / 2; ++k, w *= step) {
                const std::complex<double> u = a[i + k], v = a[i + k + length / 2] * w;
                a[i + k] = u + v;
                a[i + k + length / 2] = u - v;
            }
        }
    }
}

// Band energies (log-spaced bands from 60 Hz to 10 kHz) of each quarter of the audible span,
// as one unit vector: two effects that sound alike point the same way.
std::vector<double> Signature(const std::vector<double>& mono, std::size_t first, std::size_t last) {
    std::vector<double> signature(kBands * kSegments, 0.0);
    const std::size_t span = std::max<std::size_t>(last - first, kFftSize);
    for (int segment = 0; segment < kSegments; ++segment) {
        const std::size_t begin = first + span * segment / kSegments;
        const std::size_t end = first + span * (segment + 1) / kSegments;
        for (std::size_t at = begin; at < end; at += kFftSize / 2) {
            std::vector<std::complex<double>> frame(kFftSize);
            for (int i = 0; i < kFftSize; ++i) {
                const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / (kFftSize - 1));
                frame[i] = at + i < mono.size() ? mono[at + i] * hann : 0.0;
            }
            Fft(frame);
            for (int bin = 1; bin < kFftSize / 2; ++bin) {
                const double hz = static_cast<double>(bin) * kRate / kFftSize;
                if (hz < 60.0 || hz >= 10000.0) continue;
                const int band = static_cast<int>(std::log(hz / 60.0) / std::log(10000.0 / 60.0) * kBands);
                signature[segment * kBands + band] += std::norm(frame[bin]);
            }
        }
    }
    double length = 0.0;
    for (double& value : signature) {
        value = std::sqrt(value);
        length += value * value;
    }
    for (double& value : signature) value /= std::sqrt(length);
    return signature;
}

class GameAudioTest : public MixingTest {
protected:
    MixedEffect MixEffect(std::uint32_t id) {
        MixedEffect effect;
        effect.name = fs::path(SoundFileName(id)).stem().string();
        std::string text, error;
        WaveDescription description;
        EXPECT_TRUE(ReadSourceFile(ToneSource(id).string(), text, error)) << error;
        EXPECT_TRUE(ParseWaveDescription(text, effect.name, description, error)) << error;
        EXPECT_EQ(description.rate, static_cast<std::uint32_t>(kRate)) << effect.name;
        const std::vector<std::int16_t> frames = RenderWave(description);
        FSOUND_SAMPLE* sample = MakeSample(frames, static_cast<int>(description.channels));
        EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), 0);
        const std::vector<std::int16_t> stereo = Mix(frames.size() / description.channels + kRate / 10);
        FSOUND_Sample_Free(sample);
        double peak = 0.0;
        for (std::size_t i = 0; i + 1 < stereo.size(); i += 2) {
            effect.mono.push_back((static_cast<double>(stereo[i]) + stereo[i + 1]) / 2.0);
            peak = std::max(peak, std::fabs(effect.mono.back()));
        }
        std::size_t first = effect.mono.size(), last = 0;
        for (std::size_t i = 0; i < effect.mono.size(); ++i)
            if (std::fabs(effect.mono[i]) > 0.02 * peak) {
                first = std::min(first, i);
                last = i;
            }
        if (first > last) return effect;
        effect.seconds = static_cast<double>(last - first) / kRate;
        effect.signature = Signature(effect.mono, first, last);
        return effect;
    }
};

double Similarity(const MixedEffect& a, const MixedEffect& b) {
    double dot = 0.0;
    for (std::size_t i = 0; i < a.signature.size(); ++i) dot += a.signature[i] * b.signature[i];
    return dot;
}

TEST_F(GameAudioTest, EveryEffectOfTheTableIsHeardAndUnlikeEveryOther) {
    std::vector<MixedEffect> effects;
    for (std::uint32_t id = 0; id < kSoundIdCount; ++id) {
        ASSERT_TRUE(fs::exists(ToneSource(id))) << "sound " << id << " (" << SoundFileName(id) << ") has no source";
        effects.push_back(MixEffect(id));
        ASSERT_FALSE(effects.back().signature.empty()) << effects.back().name << " is silent";
    }
    // Two effects are alike when their spectra over time nearly coincide and their lengths
    // are close: a player could not tell which event happened.
    for (std::size_t a = 0; a < effects.size(); ++a)
        for (std::size_t b = a + 1; b < effects.size(); ++b) {
            const double similarity = Similarity(effects[a], effects[b]);
            const double lengths = std::max(effects[a].seconds, effects[b].seconds) /
                                   std::max(std::min(effects[a].seconds, effects[b].seconds), 1e-3);
            EXPECT_FALSE(similarity > 0.9 && lengths < 1.3)
                << effects[a].name << " and " << effects[b].name << " sound alike (similarity " << similarity
                << ", lengths " << effects[a].seconds << " s and " << effects[b].seconds << " s)";
        }
}

// What each use allows: clicks and ticks that repeat quickly must be short, events that
// stand alone may ring, loops hold long enough not to stutter.
TEST_F(GameAudioTest, EachEffectLastsAsLongAsItsUseAllows) {
    struct Use {
        const char* name;
        double minSeconds, maxSeconds;
    };
    constexpr Use kUses[] = {
        {"menu_move", 0.01, 0.08},      {"menu_select", 0.03, 0.15},   {"menu_back", 0.03, 0.15},
        {"score_count", 0.005, 0.05},   {"run_a", 0.02, 0.12},         {"run_b", 0.02, 0.12},
        {"time_logic1", 0.03, 0.2},     {"time_logic5", 0.05, 0.3},    {"Jump", 0.05, 0.3},
        {"Land", 0.04, 0.2},            {"Key", 0.1, 0.5},             {"Rotate", 0.05, 0.4},
        {"portal_idle", 0.6, 3.0},      {"fall_too_far", 0.6, 3.0},    {"medal", 0.3, 1.5},
        {"unlock_world", 0.3, 1.5},     {"Exit", 0.2, 1.0},            {"Die", 0.3, 1.2},
        {"menu_select_big", 0.15, 0.6}, {"score_count_end", 0.1, 0.6}, {"tesk_sleep", 0.4, 1.5},
    };
    for (const Use& use : kUses) {
        std::uint32_t id = 0;
        while (id < kSoundIdCount && fs::path(SoundFileName(id)).stem() != use.name) ++id;
        ASSERT_LT(id, static_cast<std::uint32_t>(kSoundIdCount)) << use.name << " is not in the table";
        const MixedEffect effect = MixEffect(id);
        EXPECT_GE(effect.seconds, use.minSeconds) << use.name;
        EXPECT_LE(effect.seconds, use.maxSeconds) << use.name;
    }
    // The rating meter's five steps climb in pitch.
    double previous = 0.0;
    for (std::uint32_t id = kSoundResultsFirstPip; id < kSoundResultsFirstPip + 5; ++id) {
        const MixedEffect effect = MixEffect(id);
        std::vector<std::int16_t> samples;
        for (double value : effect.mono) samples.push_back(static_cast<std::int16_t>(value));
        const double pitch = PitchHz(samples);
        EXPECT_GT(pitch, previous) << effect.name;
        previous = pitch;
    }
}

TEST_F(GameAudioTest, TheMusicIsATrackerSongWithEveryOrderTheGameStarts) {
    std::string text, error;
    XmSong song;
    ASSERT_TRUE(ReadSourceFile((kAudio / "music/quorvane.song").string(), text, error)) << error;
    ASSERT_TRUE(ParseXmSong(text, "quorvane.song", song, error)) << error;
    std::vector<std::uint8_t> file = WriteXm(song);

    xmp_context context = xmp_create_context();
    ASSERT_NE(context, nullptr);
    ASSERT_EQ(xmp_load_module_from_memory(context, file.data(), static_cast<long>(file.size())), 0);
    xmp_module_info info{};
    xmp_get_module_info(context, &info);
    ASSERT_NE(info.mod, nullptr);
    EXPECT_GE(info.mod->len, 40) << "orders";
    ASSERT_EQ(xmp_start_player(context, kRate, 0), 0);
    for (int order : {kMusicMenus, kMusicPlay, kMusicComic, kMusicLevelComplete}) {
        SCOPED_TRACE(order);
        ASSERT_LT(order, info.mod->len);
        xmp_set_position(context, order);
        // Half a second of the part: it plays from its order and is heard.
        std::vector<std::int16_t> buffer(kRate);
        ASSERT_EQ(xmp_play_buffer(context, buffer.data(), static_cast<int>(buffer.size() * 2), 0), 0);
        xmp_frame_info frame{};
        xmp_get_frame_info(context, &frame);
        EXPECT_EQ(frame.pos, order);
        EXPECT_GT(Peak(buffer), 2000);
    }
    xmp_end_player(context);
    xmp_release_module(context);
    xmp_free_context(context);
}

}  // namespace
