// The outputs: SDL2's audio device, and the paced thread of the null and wave outputs.
#include "platform/sound/AudioOutput.h"

#include <SDL.h>
#include <strings.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/sound/WaveFileWriter.h"

namespace platform::sound {

namespace {

constexpr std::uint16_t kDeviceBufferFrames = 512;
constexpr std::uint32_t kPacedChunkFrames = 1024;
constexpr auto kPacedWake = std::chrono::milliseconds(5);

class SdlOutput : public AudioOutput {
public:
    SdlOutput(RenderFunction render) : render_(render) {}
    ~SdlOutput() override {
        // Closing waits for a callback that is running.
        if (device_ != 0) SDL_CloseAudioDevice(device_);
        if (subsystemStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Open(std::uint32_t rate, std::string& error) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = std::string("HANDSET_AUDIO=sdl: SDL's audio could not start: ") + SDL_GetError();
            return false;
        }
        subsystemStarted_ = true;
        SDL_AudioSpec wanted{};
        wanted.freq = static_cast<int>(rate);
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 2;
        wanted.samples = kDeviceBufferFrames;
        wanted.callback = &SdlOutput::Callback;
        wanted.userdata = this;
        SDL_AudioSpec obtained{};
        // No changes allowed: SDL converts to what the device wants.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (device_ == 0) {
            error = std::string("HANDSET_AUDIO=sdl: no audio device could be opened: ") + SDL_GetError();
            return false;
        }
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

private:
    static void Callback(void* self, Uint8* stream, int length) {
        const auto frames = static_cast<std::uint32_t>(length) / 4;
        static_cast<SdlOutput*>(self)->render_(reinterpret_cast<std::int16_t*>(stream), frames);
    }

    RenderFunction render_;
    SDL_AudioDeviceID device_ = 0;
    bool subsystemStarted_ = false;
};

class PacedOutput : public AudioOutput {
public:
    PacedOutput(RenderFunction render, std::uint32_t rate, WaveFileWriter* file)
        : render_(render), rate_(rate), file_(file), buffer_(2 * kPacedChunkFrames), start_(GetTickCount()) {
        thread_ = std::thread([this] {
            while (!stopping_.load()) {
                std::this_thread::sleep_for(kPacedWake);
                CatchUp();
            }
        });
    }
    ~PacedOutput() override {
        stopping_.store(true);
        thread_.join();
        CatchUp();
    }

    // Mixes every frame due by the platform clock; from the output's thread, or from the
    // library's calls.
    void CatchUp() override {
        std::lock_guard<std::mutex> guard(catchingUp_);
        const std::uint64_t due = static_cast<std::uint64_t>(GetTickCount() - start_) * rate_ / 1000;
        while (mixed_ < due) {
            const auto frames = static_cast<std::uint32_t>(std::min<std::uint64_t>(due - mixed_, kPacedChunkFrames));
            render_(buffer_.data(), frames);
            if (file_ != nullptr) file_->Append(buffer_.data(), frames);
            mixed_ += frames;
        }
    }

    RenderFunction render_;
    std::uint32_t rate_;
    WaveFileWriter* file_;
    std::vector<std::int16_t> buffer_;
    DWORD start_;
    std::uint64_t mixed_ = 0;
    std::mutex catchingUp_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace

bool ReadAudioVariable(OutputSpec& spec, std::string& error) {
    return ParseAudioVariable(std::getenv("HANDSET_AUDIO"), spec, error);
}

bool ParseAudioVariable(const char* value, OutputSpec& spec, std::string& error) {
    spec = OutputSpec{};
    if (value == nullptr || value[0] == 0 || strcasecmp(value, "sdl") == 0) return true;
    if (strcasecmp(value, "null") == 0) {
        spec.kind = OutputKind::Null;
        return true;
    }
    if (strncasecmp(value, "wav:", 4) == 0 && value[4] != 0) {
        spec.kind = OutputKind::Wave;
        spec.path = value + 4;
        return true;
    }
    error = std::string("HANDSET_AUDIO='") + value + "' is not sdl, null or wav:<file>; the sound stays off.";
    return false;
}

std::unique_ptr<AudioOutput> OpenOutput(const OutputSpec& spec, std::uint32_t rate, RenderFunction render,
                                        WaveFileWriter& waveFile, std::string& error) {
    if (spec.kind == OutputKind::Sdl) {
        auto output = std::make_unique<SdlOutput>(render);
        if (!output->Open(rate, error)) return nullptr;
        return output;
    }
    WaveFileWriter* file = nullptr;
    if (spec.kind == OutputKind::Wave) {
        file = &waveFile;
        if (!file->OpenOrContinue(spec.path, rate, error)) return nullptr;
    }
    try {
        return std::make_unique<PacedOutput>(render, rate, file);
    } catch (const std::system_error& failure) {
        // Out of threads or address space: a program without sound, not one that aborts.
        error = std::string("the sound output's thread cannot start (") + failure.what() + "); the sound stays off.";
        return nullptr;
    }
}

}  // namespace platform::sound
