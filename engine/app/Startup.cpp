// The program's entry, the start-up sequence and the shutdown sequence.
#include "engine/app/Startup.h"

#include <cstdio>

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
#include "engine/core/memory/StandardErrorLog.h"
#include "engine/core/node/AnimationPlayer.h"
#include "engine/core/object/KGlobalInterface.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/TextConversion.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/kdb/KDB.h"
#include "engine/resources/skelobject/SkelChannel.h"
#include "engine/sound/SoundDevice.h"
#include "platform/sync/Thread.h"
#include "platform/user/Window.h"

namespace {

constexpr DWORD kMixingRate = 44100;

// The game composes its landscape picture on the display's native orientation.
void ForceNativeOrientation() {
    DWORD orientation = 0;
    if (QueryDisplayOrientation(orientation) && orientation != 0) SetNativeDisplayOrientation();
}

// The configuration names a class through a "Key=Module.Class" line.
void LogNotCreated(const char* what, const char* key, const ModuleClassName& name) {
    if (name.module[0] == 0 && name.className[0] == 0)
        KEL_LOG_EXCEPTION("No %s is configured: the configuration has no %s line.", what, key);
    else
        KEL_LOG_EXCEPTION("The %s %s.%s of the configuration's %s line cannot be created or initialised.", what,
                          name.module, name.className, key);
}

int Fail(Application& application) {
    AppShutdown(application);
    return 1;
}

}  // namespace

int AppInit(Application& application, HINSTANCE instance, const char* name, ModuleRegistration registerModules) {
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
    if (registerModules != nullptr) registerModules();
    MountArchives();
    // The hook functions are bound for a hook the program does not install: their absence
    // stops nothing.
    InstallKeyboardHook();

    if (RenderDevice() == nullptr && CreateMainWindow(instance) == 0) {
        KEL_LOG_EXCEPTION("The main window cannot be created.");
        return Fail(application);
    }
    if (CreateRenderDevice() != 0) {
        LogNotCreated("render device", "Render=", Config().render);
        return Fail(application);
    }
    static const SoundSettings soundSettings{kProgramName, kMixingRate};
    const ModuleClassName& sound = Config().sound;
    if (CreateConfiguredSoundDevice(sound.module, sound.className, &soundSettings) != 0) {
        KEL_LOG_EXCEPTION("Neither the configured sound device nor the silent one can be created.");
        return Fail(application);
    }
    if (GlobalResourceCache().Init() != 0) {
        KEL_LOG_EXCEPTION("ResourceManager init failed");
        return Fail(application);
    }
    // The object database, before the first object or material is loaded.
    SetCurrentKdb(new KDB());
    if (const OverlayLayerSteps& layer = InstalledOverlayLayer(); layer.start != nullptr && layer.start() != 0) {
        KEL_LOG_EXCEPTION("WindowManager init failed");
        return Fail(application);
    }
    const ModuleClassName& engine = Config().engine;
    if (CreateGameEngine(engine.module, engine.className) != 0) {
        LogNotCreated("game object", "Engine=", engine);
        return Fail(application);
    }
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
    delete CurrentKdb();
    GlobalResourceCache().Clear();
    DestroySoundDevice();
    DestroyRenderDevice();
    ShutdownModules();
    DestroyMainWindow();
    RemoveKeyboardHook();
    FreeSceneNodeLists();
    FreeSkelChannelPool();
    application.started = false;
}

int ProgramEntry(HINSTANCE instance, ModuleRegistration registerModules) {
    // The engine's log goes to standard error unless a stream was set before (a test's).
    if (GetLogStream() == nullptr) SetLogStream(&StandardErrorLog());
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
        std::fprintf(stderr, "Quorvane did not start: its engine heaps cannot be reserved.\n");
        return 1;
    }
    SetUiScreenSize(800, 480);
    MainWindowInfo().instance = instance;
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    Application& application = App();
    // A failed start-up has already shut down, and there is no game object to run.
    const bool started = AppInit(application, instance, kProgramName, registerModules) == 0;
    if (started) GameObject()->Run();
    AppShutdown(application);
    if (!started) PrintExceptionList("Quorvane did not start. What went wrong:");
    HeapTeardown();
    return started ? 0 : 1;
}
