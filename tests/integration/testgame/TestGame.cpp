// The test game object and its module table.
#include "tests/integration/testgame/TestGame.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/app/Application.h"
#include "engine/app/FrameDriver.h"
#include "engine/app/GameObject.h"
#include "engine/app/MainWindow.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/TextCompare.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/sound/SoundDevice.h"
#include "engine/sound/SoundSample.h"
#include "platform/base/Clock.h"
#include "platform/fs/FileStreams.h"

namespace {

constexpr DWORD kFramePeriodMs = 33;

class TestGame : public GameEngine {
public:
    DWORD Init() override {
        std::snprintf(logName_, sizeof logName_, "testgame.log");
        ReadSettings();
        Log("init");
        if (SoundDevice* sound = GetSoundDevice()) {
            Log("sound device %s", sound->GetTypeName());
            // The cache keeps the sample until shutdown empties it.
            auto* sample = static_cast<SoundSample*>(GlobalResourceCache().GetSound(soundName_));
            if (sample != nullptr) Log("sound %s on channel %d", soundName_, static_cast<int>(sound->PlaySample(sample, 1)));
            if (musicName_[0] != 0) Log("music %s: %d", musicName_, sound->PlayMusicFromStart(musicName_));
        }
        return 0;
    }
    void Shutdown() override { Log("shutdown"); }

    DWORD Run() override {
        DWORD frames = 0;
        while (!IsQuitRequested()) {
            const DWORD start = GetTickCount();
            FrameDriver();
            ++frames;
            Render();
            if (quitAfterFrames_ != 0 && frames >= quitAfterFrames_) {
                Log("quit after %u frames", static_cast<unsigned>(frames));
                RequestQuit();
                break;
            }
            const DWORD spent = GetTickCount() - start;
            if (spent < kFramePeriodMs) Sleep(kFramePeriodMs - spent);
        }
        Log("run ended after %u frames", static_cast<unsigned>(frames));
        return 0;
    }

    DWORD Render() override {
        OpenGLRenderDevice* device = RenderDevice();
        if (device == nullptr) return 0;
        device->SetClearColor(Color{0.0f, 0.5f, 1.0f, 1.0f});
        device->Clear(0);
        device->Present();
        return 0;
    }

    void OnEvent(DWORD event, LPARAM a, LPARAM) override {
        if (event == kGameEventKeyDown)
            Log("event %u key %ld", static_cast<unsigned>(event), static_cast<long>(a));
        else
            Log("event %u", static_cast<unsigned>(event));
    }

private:
    // The game's own lines of the configuration file; the engine ignores them.
    void ReadSettings() {
        char path[kStreamPathCapacity];
        std::snprintf(path, sizeof path, "%sQuorvane.ini", App().programFolder);
        FileStream stream;
        if (stream.Open(path, kStreamAbsolutePath | kStreamReadWhole) == 0) return;
        char line[256];
        while (stream.ReadLine(line, sizeof line) == 1) {
            if (CompareNoCaseN(line, "TestGameFrames=", 15) == 0) quitAfterFrames_ = std::strtoul(line + 15, nullptr, 10);
            if (CompareNoCaseN(line, "TestGameLog=", 12) == 0) std::snprintf(logName_, sizeof logName_, "%s", line + 12);
            if (CompareNoCaseN(line, "TestGameSound=", 14) == 0)
                std::snprintf(soundName_, sizeof soundName_, "%s", line + 14);
            if (CompareNoCaseN(line, "TestGameMusic=", 14) == 0)
                std::snprintf(musicName_, sizeof musicName_, "%s", line + 14);
        }
    }

    void Log(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char text[256];
        va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(text, sizeof text, format, arguments);
        va_end(arguments);
        char path[kStreamPathCapacity];
        std::snprintf(path, sizeof path, "%s%s", App().programFolder, logName_);
        FILE* file = platform::OpenHandsetStream(path, "a");
        if (file == nullptr) return;
        std::fprintf(file, "%s\n", text);
        std::fclose(file);
    }

    DWORD quitAfterFrames_ = 0;
    char logName_[64] = {};
    char soundName_[128] = {};
    char musicName_[128] = {};
};

Interface* CreateTestGame() { return new TestGame(); }

const ModuleClass kTestGameClasses[] = {
    {"GameEngine", GameEngine::StaticTypeId()},
    {nullptr, nullptr},
};

void EnumerateTestGame(KDLList* names, TypeId type) { AppendClassNamesOfKind(names, type, kTestGameClasses); }

int InitTestGame() { return 0; }

}  // namespace

const ModuleEntry kTestGameModule[] = {
    {"Create_GameEngine", AsModuleFunction(&CreateTestGame)},
    {"EnumerateInterfaces", AsModuleFunction(&EnumerateTestGame)},
    {"Init", AsModuleFunction(&InitTestGame)},
    {nullptr, nullptr},
};
