// Interface: the root of every engine class, with an intrusive reference count, the module
// that created the object, and a run-time type system of its own (type names and type ids
// walked up the class tree), so that loaders can accept only certain classes.
#pragma once

#include <cstdint>

#include "engine/core/memory/EngineMemory.h"

class Module;

// One per class: its type name and its parent's descriptor. The descriptor's address is the
// class's type id, compared by identity only.
struct TypeInfo {
    const char* name;
    const TypeInfo* base;
};
using TypeId = const TypeInfo*;

// Declares a class's place in the type tree; put it first in the class body.
#define KEL_DECLARE_TYPE(ClassName, BaseName, TypeNameText)                 \
public:                                                                    \
    static constexpr TypeInfo kTypeInfo{TypeNameText, &BaseName::kTypeInfo}; \
    static TypeId StaticTypeId() { return &kTypeInfo; }                    \
    TypeId GetTypeId() const override { return &kTypeInfo; }               \
                                                                           \
private:

// Objects come from the engine allocator (`new` gives null when memory runs out). A new
// object's count is 0, meaning one owner; every further owner adds a reference, and the
// Release that finds the count at 0 deletes the object.
class Interface : public EngineAllocated {
public:
    static constexpr TypeInfo kTypeInfo{"Interface", nullptr};
    static TypeId StaticTypeId() { return &kTypeInfo; }

    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;

    // The common operations of every engine class, in their table order.
    virtual ~Interface() = default;
    // The count after the increment.
    virtual std::uint32_t AddRef();
    // The count after the decrement; 0 when this call deleted the object.
    virtual std::uint32_t Release();
    virtual const char* GetTypeName() const;
    // True for the own type name or a base's, up to "Interface"; case-sensitive.
    virtual bool IsA(const char* name) const;
    // The parent's type name; null for Interface itself.
    virtual const char* GetBaseTypeName() const;
    virtual TypeId GetTypeId() const = 0;
    // True for the own id or a base's.
    virtual bool IsKindOf(TypeId id) const;
    // 1 for the own id, 2 for the parent's, and so on up to Interface; 0 when unrelated.
    virtual int GetTypeDistance(TypeId id) const;
    virtual TypeId GetBaseTypeId() const;
    virtual Interface* GetObject() { return this; }
    // Two operations kept free in every class's table, so that the classes' own operations
    // start at the same place in all of them; they answer 0.
    virtual std::intptr_t ReservedOperation1() { return 0; }
    virtual std::intptr_t ReservedOperation2() { return 0; }

    std::uint32_t ReferenceCount() const { return referenceCount_; }
    Module* OwningModule() const { return owningModule_; }
    void SetOwningModule(Module* module) { owningModule_ = module; }

protected:
    Interface() = default;

private:
    std::uint32_t referenceCount_ = 0;
    Module* owningModule_ = nullptr;
};
