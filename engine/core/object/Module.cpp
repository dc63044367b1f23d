// The module list, entry look-up and creation by class name.
#include "engine/core/object/Module.h"

#include <cstdio>
#include <cstring>

#include "engine/core/text/TextCompare.h"

namespace {
constexpr std::size_t kEntryNameSize = 128;
KDLList moduleList;
}  // namespace

void AppendClassNamesOfKind(KDLList* names, TypeId type, const ModuleClass* classes) {
    if (names == nullptr || classes == nullptr) return;
    for (const ModuleClass* row = classes; row->className != nullptr; ++row) {
        bool matches = false;
        for (TypeId ancestor = row->type; ancestor != nullptr && !matches; ancestor = ancestor->base)
            matches = ancestor == type;
        if (!matches) continue;
        EngineString* name = EngineString::New(row->className);
        if (name == nullptr) return;
        if (ListAppend(*names, name) == nullptr) {
            EngineString::Delete(name);
            return;
        }
    }
}

ModuleFunction Module::FindEntry(const char* entryName) const {
    if (table_ == nullptr || entryName == nullptr) return nullptr;
    for (const ModuleEntry* row = table_; row->name != nullptr; ++row)
        if (std::strcmp(row->name, entryName) == 0) return row->function;
    return nullptr;
}

int Module::Init(const char* name) {
    name_.Assign(name);
    auto init = reinterpret_cast<ModuleInitFunction>(FindEntry("Init"));
    return init != nullptr ? init() : 0;
}

void Module::Term() {
    auto term = reinterpret_cast<ModuleInitFunction>(FindEntry("Term"));
    if (term != nullptr) term();
    name_.Free();
}

KDLList& ModuleList() { return moduleList; }

void ModuleListAppend(KDLList& list, Module* module) { ListAppend(list, module); }

Module* RegisterModule(const char* name, const ModuleEntry* table) {
    auto* module = new Module();
    if (module == nullptr) return nullptr;
    module->SetTable(table);
    module->Init(name);
    if (ListAppend(moduleList, module) == nullptr) {
        module->Term();
        delete module;
        return nullptr;
    }
    return module;
}

Module* FindModule(const char* name) {
    if (name == nullptr || name[0] == '\0') return moduleList.head != nullptr ? static_cast<Module*>(moduleList.head->item) : nullptr;
    for (KDLLink* link = moduleList.head; link != nullptr; link = link->next) {
        auto* module = static_cast<Module*>(link->item);
        if (CompareNoCase(module->Name().Text(), name) == 0) return module;
    }
    return nullptr;
}

Interface* CreateByClassName(Module* module, const char* className, TypeId type) {
    if (module == nullptr || className == nullptr) return nullptr;
    // Class names come from data files: one that does not fit simply finds nothing.
    char entryName[kEntryNameSize];
    const int written = std::snprintf(entryName, sizeof entryName, "Create_%s", className);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof entryName) return nullptr;

    auto create = reinterpret_cast<ModuleCreateFunction>(module->FindEntry(entryName));
    if (create == nullptr) return nullptr;
    Interface* object = create();
    if (object == nullptr) return nullptr;
    if (type != nullptr && !object->IsKindOf(type)) {
        object->Release();
        return nullptr;
    }
    object->SetOwningModule(module);
    return object;
}

Interface* CreateByName(const char* moduleName, const char* className, TypeId type) {
    Module* module = FindModule(moduleName);
    if (module == nullptr) return nullptr;
    return CreateByClassName(module, className, type);
}

void ShutdownModules() {
    while (moduleList.head != nullptr) {
        auto* module = static_cast<Module*>(ListUnlink(moduleList, moduleList.head));
        if (module == nullptr) continue;
        module->Term();
        delete module;
    }
}
