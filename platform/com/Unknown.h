// The component model's base interfaces as the handset publishes them: IUnknown (reference
// counting and QueryInterface by interface id) and IClassFactory, whose objects areas
// register with platform/com so that CoCreateInstance can make their classes.
#pragma once

#include "platform/base/Types.h"

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Interfaces hold only their operations, in slot order: no destructor takes a slot. An
// object is destroyed by its own last Release.
class IUnknown {
public:
    static constexpr const IID& kIid = IID_IUnknown;
    // A null out-pointer gives E_POINTER; an interface the object has gives S_OK with one
    // reference added; any other E_NOINTERFACE with *out set to null.
    virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

class IClassFactory : public IUnknown {
public:
    static constexpr const IID& kIid = IID_IClassFactory;
    // Makes a new object of the factory's class and gives its interface `iid`.
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) = 0;
    // Kept for the signature's sake: the handset's in-process factories live as long as the
    // process, so locking changes nothing.
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};
