// LoadLibrary, GetProcAddress and FreeLibrary over the platform's stand-in libraries and
// real shared objects (dlopen), with reference counts and DllMain calls as on the handset.
#include "platform/base/Library.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/base/HandsetRoot.h"
#include "platform/base/WideString.h"

namespace {

struct Module {
    enum class Kind { Program, StandIn, Code, Data };
    Kind kind;
    std::u16string key;     // lower-case file name ("phone.dll")
    std::string linuxPath;  // for Code and Data
    void* library = nullptr;
    int references = 1;
};

struct Export {
    std::string name;  // empty when exported by ordinal only
    WORD ordinal;
    FARPROC function;
};

struct Loader {
    // Recursive: a library's DllMain and static constructors may load libraries themselves.
    std::recursive_mutex lock;
    std::vector<std::unique_ptr<Module>> modules;
    std::map<std::u16string, std::vector<Export>> standIns;
    Module program{Module::Kind::Program, u"", "", nullptr, 1};
};

Loader& TheLoader() {
    // Never destroyed: libraries may be freed by other static destructors at exit.
    static Loader* loader = new Loader;
    return *loader;
}

using DllMainFunction = BOOL (*)(HINSTANCE, DWORD, LPVOID);

HMODULE ToHandle(Module* module) { return reinterpret_cast<HMODULE>(module); }

// The module behind a handle, or null for a value that no loaded module has.
Module* FindModule(Loader& loader, HMODULE handle) {
    if (handle == ToHandle(&loader.program)) return &loader.program;
    for (auto& module : loader.modules)
        if (ToHandle(module.get()) == handle) return module.get();
    return nullptr;
}

bool HasFolder(const std::u16string& name) { return name.find_first_of(u"\\/") != std::u16string::npos; }

// A name without an extension means a ".dll", as on the handset.
std::u16string WithExtension(const std::u16string& name) {
    std::size_t slash = name.find_last_of(u"\\/");
    std::size_t start = slash == std::u16string::npos ? 0 : slash + 1;
    if (name.find(u'.', start) == std::u16string::npos) return name + u".dll";
    return name;
}

// The look-up key of a library name: its file name without folder, in lower case.
std::u16string KeyOf(const std::u16string& name) {
    std::u16string full = WithExtension(name);
    std::size_t slash = full.find_last_of(u"\\/");
    std::u16string key = slash == std::u16string::npos ? full : full.substr(slash + 1);
    for (auto& c : key) c = towlower(c);
    return key;
}

// A symbol of the library itself: dlsym also searches the libraries it depends on, which
// are not its exports.
void* OwnSymbol(void* library, const char* name) {
    void* symbol = dlsym(library, name);
    if (symbol == nullptr) return nullptr;
    link_map* libraryMap = nullptr;
    if (dlinfo(library, RTLD_DI_LINKMAP, &libraryMap) != 0) return nullptr;
    Dl_info info;
    link_map* symbolMap = nullptr;
    if (dladdr1(symbol, &info, reinterpret_cast<void**>(&symbolMap), RTLD_DL_LINKMAP) == 0) return nullptr;
    return symbolMap == libraryMap ? symbol : nullptr;
}

void CallDllMain(Module* module, DWORD reason, BOOL& result) {
    result = TRUE;
    void* entry = OwnSymbol(module->library, "DllMain");
    if (entry == nullptr) return;
    result = reinterpret_cast<DllMainFunction>(entry)(ToHandle(module), reason, nullptr);
}

HMODULE Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

HMODULE AddReference(Module* module) {
    ++module->references;
    return ToHandle(module);
}

HMODULE LoadStandIn(Loader& loader, const std::u16string& key) {
    for (auto& module : loader.modules)
        if (module->kind == Module::Kind::StandIn && module->key == key) return AddReference(module.get());
    loader.modules.push_back(std::make_unique<Module>(Module{Module::Kind::StandIn, key, "", nullptr, 1}));
    return ToHandle(loader.modules.back().get());
}

HMODULE LoadFile(Loader& loader, const std::u16string& key, const std::string& linuxPath, bool asData) {
    for (auto& module : loader.modules) {
        // A data load is content with a library loaded as code; a code load is not with data.
        bool usable = module->kind == Module::Kind::Code || (asData && module->kind == Module::Kind::Data);
        if (usable && module->linuxPath == linuxPath) return AddReference(module.get());
    }
    auto module = std::make_unique<Module>(
        Module{asData ? Module::Kind::Data : Module::Kind::Code, key, linuxPath, nullptr, 1});
    if (!asData) {
        module->library = dlopen(linuxPath.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module->library == nullptr) {
            const char* reason = dlerror();
            std::fprintf(stderr, "LoadLibrary: %s is not a library that can be opened: %s.\n", linuxPath.c_str(),
                         reason != nullptr ? reason : "unknown reason");
            return Fail(ERROR_BAD_FORMAT);
        }
    }
    Module* loaded = module.get();
    loader.modules.push_back(std::move(module));
    if (!asData) {
        BOOL attached = TRUE;
        CallDllMain(loaded, DLL_PROCESS_ATTACH, attached);
        if (!attached) {
            // As on the handset: a library that refuses to start is told to detach again.
            BOOL ignored = TRUE;
            CallDllMain(loaded, DLL_PROCESS_DETACH, ignored);
            for (auto it = loader.modules.begin(); it != loader.modules.end(); ++it) {
                if (it->get() == loaded) {
                    std::unique_ptr<Module> failed = std::move(*it);
                    loader.modules.erase(it);
                    dlclose(failed->library);
                    break;
                }
            }
            return Fail(ERROR_DLL_INIT_FAILED);
        }
    }
    return ToHandle(loaded);
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR fileName) { return LoadLibraryExW(fileName, nullptr, 0); }

HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE reserved, DWORD flags) {
    if (fileName == nullptr || *fileName == 0 || reserved != nullptr || (flags & ~LOAD_LIBRARY_AS_DATAFILE) != 0)
        return Fail(ERROR_INVALID_PARAMETER);
    bool asData = (flags & LOAD_LIBRARY_AS_DATAFILE) != 0;
    std::u16string name = WithExtension(fileName);
    std::u16string key = KeyOf(name);
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    if (!asData && loader.standIns.count(key) != 0) return LoadStandIn(loader, key);

    std::u16string handsetPath = HasFolder(name) ? name : u"\\Windows\\" + name;
    platform::MappedPath mapped = platform::MapHandsetPath(handsetPath);
    if (mapped.error == platform::PathError::TooLong) return Fail(ERROR_FILENAME_EXCED_RANGE);
    if (mapped.error != platform::PathError::None) return Fail(ERROR_BAD_PATHNAME);
    if (!IsRegularFile(mapped.linuxPath)) return Fail(ERROR_MOD_NOT_FOUND);
    return LoadFile(loader, key, mapped.linuxPath, asData);
}

FARPROC GetProcAddress(HMODULE handle, LPCSTR procName) {
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    Module* module = handle == nullptr ? &loader.program : FindModule(loader, handle);
    if (module == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    bool byOrdinal = IS_INTRESOURCE(procName);
    WORD ordinal = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(procName));
    if (module->kind == Module::Kind::StandIn) {
        auto table = loader.standIns.find(module->key);
        if (table != loader.standIns.end()) {
            for (const Export& entry : table->second) {
                bool matches = byOrdinal ? (ordinal != 0 && entry.ordinal == ordinal)
                                         : (!entry.name.empty() && entry.name == procName);
                if (matches) return entry.function;
            }
        }
    } else if (module->kind == Module::Kind::Code && !byOrdinal) {
        if (void* symbol = OwnSymbol(module->library, procName)) return reinterpret_cast<FARPROC>(symbol);
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

FARPROC GetProcAddressW(HMODULE module, LPCWSTR procName) {
    if (IS_INTRESOURCE(procName)) return GetProcAddress(module, reinterpret_cast<LPCSTR>(procName));
    return GetProcAddress(module, platform::Utf16ToUtf8(procName).c_str());
}

BOOL FreeLibrary(HMODULE handle) {
    std::unique_ptr<Module> unloaded;
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    Module* module = FindModule(loader, handle);
    if (module == nullptr || module->kind == Module::Kind::Program) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--module->references > 0) return TRUE;
    for (auto it = loader.modules.begin(); it != loader.modules.end(); ++it) {
        if (it->get() == module) {
            unloaded = std::move(*it);
            loader.modules.erase(it);
            break;
        }
    }
    if (unloaded->kind == Module::Kind::Code) {
        BOOL ignored = TRUE;
        CallDllMain(unloaded.get(), DLL_PROCESS_DETACH, ignored);
        dlclose(unloaded->library);
    }
    return TRUE;
}

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    if (moduleName == nullptr) return ToHandle(&loader.program);
    std::u16string key = KeyOf(moduleName);
    for (auto& module : loader.modules)
        if (module->kind != Module::Kind::Data && module->key == key) return ToHandle(module.get());
    return Fail(ERROR_MOD_NOT_FOUND);
}

BOOL DisableThreadLibraryCalls(HMODULE handle) {
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    Module* module = FindModule(loader, handle);
    if (module == nullptr || module->kind == Module::Kind::Data) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

namespace platform {

void RegisterStandInLibrary(LPCWSTR fileName, std::initializer_list<StandInExport> exports) {
    if (fileName == nullptr || *fileName == 0) return;
    std::vector<Export> table;
    for (const StandInExport& entry : exports)
        table.push_back(Export{entry.name != nullptr ? entry.name : "", entry.ordinal, entry.function});
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    loader.standIns[KeyOf(fileName)] = std::move(table);
}

void UnregisterStandInLibrary(LPCWSTR fileName) {
    if (fileName == nullptr) return;
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    loader.standIns.erase(KeyOf(fileName));
}

const char* ModuleFilePath(HMODULE handle) {
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    Module* module = FindModule(loader, handle);
    return module != nullptr ? module->linuxPath.c_str() : "";
}

HMODULE ProgramModule() { return ToHandle(&TheLoader().program); }

}  // namespace platform
