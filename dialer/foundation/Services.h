// The service locator: the four process-wide services that start-up installs (pack
// repository, object factory, layout repository, icon loading) and every screen reads.
// Each global holds one counted reference or null; readers always take their own.
#pragma once

#include "dialer/foundation/RefCounted.h"
#include "dialer/foundation/Unknown.h"
#include "platform/base/Types.h"

class CLayoutSet;
class CResourcePack;

// What each service offers the locator. Results carry one reference for the caller.
class CIconLoadService : public CRefCounted {};

class CLayoutRepositoryService : public CRefCounted {
public:
    virtual CLayoutSet* GetDocument(LPCWSTR name) = 0;
};

class CObjectFactoryService : public CRefCounted {
public:
    // The object made for a class name (COM-style, one reference), or null.
    virtual IUnknown* CreateObject(LPCWSTR className) = 0;
};

class CPackRepositoryService : public CRefCounted {
public:
    virtual CResourcePack* GetPack(LPCWSTR name) = 0;
};

// Setters: a reference on the object in *holder (when not null) goes into the global, then
// the object the global held before is released. A null holder value empties the service.
void SetIconLoadService(CIconLoadService* const* holder);
void SetLayoutRepository(CLayoutRepositoryService* const* holder);
void SetObjectFactory(CObjectFactoryService* const* holder);
void SetPackRepository(CPackRepositoryService* const* holder);

// Getters: null when the service is not installed; otherwise the service's answer, which
// carries one reference for the caller.
CRefPtr<CIconLoadService> GetIconLoadService();
CLayoutSet* GetLayoutDocument(LPCWSTR name);
IUnknown* CreateLayoutObject(LPCWSTR className);
CResourcePack* GetResourcePack(LPCWSTR name);
