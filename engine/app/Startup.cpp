// The program's entry, the start-up sequence and the shutdown sequence.
#include "engine/app/Startup.h"

#include "engine/app/CoreModule.h"
#include "engine/app/GameObject.h"
#include "engine/app/MainWindow.h"
#include "engine/app/OverlayLayerSteps.h"
#include "engine/app/RenderDeviceSetup.h"
#include "engine/core/device/DisplayOrientation.h"
#include "engine/core/device/KeyboardHook.h"
#include "engine/core/device/NotificationLights.h"
#include "engine/core/files/ArchiveFileSystem.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/object/KGlobalInterface.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/TextConversion.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/sound/SoundDevice.h"
#include "platform/user/Thread.h"
#include "platform/user/Window.h"

namespace {

constexpr DWORD kMixingRate = 44100;

// The game composes its landscape picture on the display's native orientation.
void ForceNativeOrientation() {
    DWORD orientation = 0;
    if (QueryDisplayOrientation(orientation) && orientation != 0) SetNativeDisplayOrientation();
}

int Fail(Application& application) {
    AppShutdown(application);
    return 1;
}

}  // namespace

int AppInit(Application& application, HINSTANCE instance, const char* name) {
    if (application.started) return 1;
    application.started = true;

    if (EngineString* profile = EngineString::New("Default")) {
        if (ListAppend(application.profileNames, profile) == nullptr) EngineString::Delete(profile);
    }
    SaveDisplayMode(application.displayKind, application.screenRect);
    ForceNativeOrientation();
    SetFoldersFromProgramPath();

    application.languageSetup = 0;
    if (LoadIni(application, name) == 0) {
        KEL_LOG_EXCEPTION("LoadConfig");
        return Fail(application);
    }

    ClearGuidRegistry();
    for (DWORD& word : application.gameWords) word = 0;
    RegisterCoreModule();
    RegisterModules();
    MountArchives();
    // The hook functions are bound for a hook the program does not install: their absence
    // stops nothing.
    InstallKeyboardHook();

    if (RenderDevice() == nullptr && CreateMainWindow(instance) == 0) return Fail(application);
    if (CreateRenderDevice() != 0) return Fail(application);
    static const SoundSettings soundSettings{kProgramName, kMixingRate};
    const ModuleClassName& sound = Config().sound;
    if (CreateConfiguredSoundDevice(sound.module, sound.className, &soundSettings) != 0) return Fail(application);
    if (GlobalResourceCache().Init() != 0) {
        KEL_LOG_EXCEPTION("ResourceManager init failed");
        return Fail(application);
    }
    if (const OverlayLayerSteps& layer = InstalledOverlayLayer(); layer.start != nullptr && layer.start() != 0) {
        KEL_LOG_EXCEPTION("WindowManager init failed");
        return Fail(application);
    }
    const ModuleClassName& engine = Config().engine;
    if (CreateGameEngine(engine.module, engine.className) != 0) return Fail(application);
    InitLights();
    return 0;
}

void AppShutdown(Application& application) {
    if (!application.started) return;
    ListDeleteAll(application.profileNames, EngineString::DeleteItem);
    ShutdownLights();
    if (SoundDevice* sound = GetSoundDevice()) sound->StopAllSounds();
    DestroyGameEngine();
    UnmountAll();
    if (const OverlayLayerSteps& layer = InstalledOverlayLayer(); layer.stop != nullptr) layer.stop();
    GlobalResourceCache().Clear();
    DestroySoundDevice();
    DestroyRenderDevice();
    ShutdownModules();
    DestroyMainWindow();
    RemoveKeyboardHook();
    application.started = false;
}

int ProgramEntry(HINSTANCE instance) {
    WCHAR title[16];
    Utf8ToWide(title, kMainWindowTitle, 16);
    if (HWND running = FindWindowW(kMainWindowClass, title)) {
        // The low bit asks for the running game's owned windows too.
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(running) | 1));
        return 0;
    }
    if (HeapInit() != 0) {
        MessageBoxW(nullptr,
                    u"Failed to allocate memory. Please free up more memory by closing applications and try again.",
                    u"Out of memory!", MB_OK | MB_ICONERROR);
        return 0;
    }
    SetUiScreenSize(800, 480);
    MainWindowInfo().instance = instance;
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    Application& application = App();
    // A failed start-up has already shut down, and there is no game object to run.
    if (AppInit(application, instance, kProgramName) == 0) GameObject()->Run();
    AppShutdown(application);
    HeapTeardown();
    return 0;
}
