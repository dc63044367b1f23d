// Modules and creation by class name: each module of the program publishes a static table
// of named entry points, and an object is made by finding "Create_<class name>" in a module's
// table, calling it, and checking the result against the type the caller asked for.
#pragma once

#include "engine/core/containers/KDLList.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/object/Interface.h"
#include "engine/core/text/EngineString.h"

// Entry functions are stored under one pointer type; each kind is called through its own.
using ModuleFunction = void (*)();
// "Create_<class>": a new object (count 0, no owning module) or null.
using ModuleCreateFunction = Interface* (*)();
// "EnumerateInterfaces": appends to `names` (new EngineString objects) the class name of
// every class the module can create that is a kind of `type`.
using ModuleEnumerateFunction = void (*)(KDLList* names, TypeId type);
// "Init" and "Term": 0 on success.
using ModuleInitFunction = int (*)();

template <typename Function>
ModuleFunction AsModuleFunction(Function function) {
    return reinterpret_cast<ModuleFunction>(function);
}

// One row of a module's table; a row with a null name ends the table.
struct ModuleEntry {
    const char* name;
    ModuleFunction function;
};

// A class a module can create, for its "EnumerateInterfaces"; a row with a null name ends
// the list.
struct ModuleClass {
    const char* className;
    TypeId type;
};

// Appends the name of every listed class whose type is `type` or derives from it.
void AppendClassNamesOfKind(KDLList* names, TypeId type, const ModuleClass* classes);

class Module : public EngineAllocated {
public:
    explicit Module(const ModuleEntry* table = nullptr) : table_(table) {}
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // Exact, case-sensitive search of the table; null when absent or without a table.
    ModuleFunction FindEntry(const char* entryName) const;
    // Names the module and runs its "Init" entry; that entry's result, 0 without one.
    int Init(const char* name);
    // Runs the "Term" entry when there is one, then frees the name.
    void Term();

    const EngineString& Name() const { return name_; }
    const ModuleEntry* Table() const { return table_; }
    void SetTable(const ModuleEntry* table) { table_ = table; }

private:
    EngineString name_;
    const ModuleEntry* table_;
};

// The registered modules, in registration order.
KDLList& ModuleList();
void ModuleListAppend(KDLList& list, Module* module);

// Allocates a module for the table, runs Module::Init with the name (its result does not
// stop the registration) and appends it to the module list. Null when memory runs out.
Module* RegisterModule(const char* name, const ModuleEntry* table);

// With no name (null or empty) the first registered module; otherwise the first whose name
// equals `name` without regard to case. Null when there is none.
Module* FindModule(const char* name);

// Null when the class name does not fit "Create_%s" in 128 characters, the module has no such
// entry, the creator gives null, or the object is not a kind of `type` (it is released
// again). A null type skips the check. The object's owning module is set; the caller owns it.
Interface* CreateByClassName(Module* module, const char* className, TypeId type);
// FindModule, then CreateByClassName; null when no module has that name.
Interface* CreateByName(const char* moduleName, const char* className, TypeId type);

// Takes the modules off the list in registration order, ends and frees each.
void ShutdownModules();
