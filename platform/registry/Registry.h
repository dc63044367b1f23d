// The handset registry: keys and values kept in <root>/registry.db and shared by every
// process, under the handset's Reg* calls, plus a change counter per key for watchers.
#pragma once

#include "platform/base/Errors.h"
#include "platform/base/Types.h"

// The predefined keys, with the handset's values. A handle that a 32-bit field sign-extended
// (0xFFFFFFFF80000002) is accepted as the same key.
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)))

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

// Access masks. The handset grants every open key full access whatever is asked, and so
// does this registry; the masks are accepted for the callers' sake.
using REGSAM = DWORD;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_READ = 0x00020019;
constexpr REGSAM KEY_WRITE = 0x00020006;
constexpr REGSAM KEY_EXECUTE = 0x00020019;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// Creation options. The handset keeps every key in its persistent registry: a volatile key
// is kept like any other.
constexpr DWORD REG_OPTION_RESERVED = 0x00000000;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0x00000000;
constexpr DWORD REG_OPTION_VOLATILE = 0x00000001;

// Dispositions reported by RegCreateKeyExW.
constexpr DWORD REG_CREATED_NEW_KEY = 0x00000001;
constexpr DWORD REG_OPENED_EXISTING_KEY = 0x00000002;

// Key paths are "\"-separated (a leading "\" is accepted) and compared without case, as are
// value names; a null or empty value name is the key's default value. Every call returns
// ERROR_SUCCESS or an error code: ERROR_INVALID_HANDLE for a key that is not open,
// ERROR_KEY_DELETED for an open key that was deleted since, ERROR_BADDB or
// ERROR_REGISTRY_CORRUPT when registry.db is damaged (the file is then left as it is).
// Reserved arguments and security attributes are not used; callers pass 0 and null.
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM desired,
                     LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LONG RegCloseKey(HKEY key);
// Commits what was written to the disk itself.
LONG RegFlushKey(HKEY key);
// Deletes the subkey with everything below it.
LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);

// A null data pointer asks for the type and size only. A buffer smaller than the data gives
// ERROR_MORE_DATA with the needed size in *dataBytes and leaves the buffer as it was.
LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataBytes);
// The bytes are stored as given (a REG_SZ keeps the terminator only when it is included);
// a REG_DWORD must be 4 bytes.
LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataBytes);
LONG RegDeleteValueW(HKEY key, LPCWSTR valueName);

// Enumeration is in the order of the names compared without case. Name buffer counts are
// in characters: on entry the buffer's size with room for the terminator, on success the
// name's length without it; a name that does not fit gives ERROR_MORE_DATA with the needed
// size (terminator included). The handset keeps no write times: a write-time argument is
// set to zero.
LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameChars, LPDWORD reserved, LPWSTR keyClass,
                   LPDWORD classChars, LPFILETIME lastWriteTime);
LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR valueName, LPDWORD valueNameChars, LPDWORD reserved, LPDWORD type,
                   LPBYTE data, LPDWORD dataBytes);
// Longest names and classes are counted in characters without the terminator, the largest
// value in bytes.
LONG RegQueryInfoKeyW(HKEY key, LPWSTR keyClass, LPDWORD classChars, LPDWORD reserved, LPDWORD subKeys,
                      LPDWORD maxSubKeyChars, LPDWORD maxClassChars, LPDWORD values, LPDWORD maxValueNameChars,
                      LPDWORD maxValueBytes, LPDWORD securityDescriptorBytes, LPFILETIME lastWriteTime);

namespace platform::registry {

// Key names (each part of a path) and value names are at most this many characters, and
// a key lies at most this many levels below its root.
constexpr DWORD kMaxNameChars = 255;
constexpr DWORD kMaxKeyDepth = 512;

// Every write in a key's subtree (a value set or deleted, a key created or deleted below it
// or the key itself) raises the counter of that key and of each key above it, in the same
// transaction as the write. The counters live in registry.db, so another process can watch
// a key by polling. Gives 0 for a key never written and when the registry cannot be read.
// `root` is a predefined or open key; `subKey` may be null, and need not exist.
ULONGLONG ChangeCounter(HKEY root, LPCWSTR subKey);

}  // namespace platform::registry
