// Starting the component model on a thread and making objects by class id. Classes are
// made by the class factories that areas register here explicitly (POOM registers its
// application class); there are no out-of-process servers.
#pragma once

#include "platform/com/Unknown.h"

// CoInitializeEx
constexpr DWORD COINIT_MULTITHREADED = 0x0;
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

// Class contexts
constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106u);

// S_OK the first time on a thread, S_FALSE when the thread had started it already (each
// success needs its CoUninitialize). RPC_E_CHANGED_MODE when the thread started it in the
// other threading mode; E_INVALIDARG for a non-null reserved argument or unknown flags.
HRESULT CoInitializeEx(LPVOID reserved, DWORD flags);
void CoUninitialize();

// Makes an object of a registered class through its factory. CO_E_NOTINITIALIZED when the
// calling thread has not started the component model; REGDB_E_CLASSNOTREG for a class that
// nobody registered or a context without CLSCTX_INPROC_SERVER (every class here is
// in-process); E_POINTER for a null out-pointer (which is otherwise set to null on failure).
HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID iid, LPVOID* out);

namespace platform::com {

// Registers the factory of a class for this process (a reference is added); registering a
// class again replaces its factory. Unregistering releases it; false when it was not there.
void RegisterClassFactory(REFCLSID classId, IClassFactory* factory);
bool UnregisterClassFactory(REFCLSID classId);

}  // namespace platform::com
