// Reference counting and the type queries shared by every engine class.
#include "engine/core/object/Interface.h"

#include <cstring>

std::uint32_t Interface::AddRef() { return ++referenceCount_; }

std::uint32_t Interface::Release() {
    if (referenceCount_ > 0) return --referenceCount_;
    delete this;
    return 0;
}

const char* Interface::GetTypeName() const { return GetTypeId()->name; }

bool Interface::IsA(const char* name) const {
    if (name == nullptr) return false;
    for (TypeId type = GetTypeId(); type != nullptr; type = type->base)
        if (std::strcmp(type->name, name) == 0) return true;
    return false;
}

const char* Interface::GetBaseTypeName() const {
    TypeId base = GetTypeId()->base;
    return base != nullptr ? base->name : nullptr;
}

bool Interface::IsKindOf(TypeId id) const { return GetTypeDistance(id) != 0; }

int Interface::GetTypeDistance(TypeId id) const {
    int distance = 1;
    for (TypeId type = GetTypeId(); type != nullptr; type = type->base, ++distance)
        if (type == id) return distance;
    return 0;
}

TypeId Interface::GetBaseTypeId() const { return GetTypeId()->base; }
