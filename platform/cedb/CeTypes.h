// The records, value types and flags of the handset's property databases: object ids,
// volume ids, property values, sort orders, database information and change notifications.
#pragma once

#include "platform/base/Types.h"

// ---------------------------------------------------------------------------
// Object ids, volume ids, property ids
// ---------------------------------------------------------------------------
using CEOID = DWORD;
using PCEOID = CEOID*;
using CEPROPID = DWORD;
using PCEPROPID = CEPROPID*;

// A mounted volume as this process knows it; valid from mount to the last unmount.
struct CEGUID {
    DWORD Data1;
    DWORD Data2;
    DWORD Data3;
    DWORD Data4;
};
using PCEGUID = CEGUID*;

// A property id holds the property number in its high word and the value type in its low word.
#define PROP_TYPE(propid) LOWORD(propid)
#define PROP_ID(propid) HIWORD(propid)
#define MAKEPROPID(number, type) (static_cast<CEPROPID>((static_cast<DWORD>(number) << 16) | static_cast<WORD>(type)))

// ---------------------------------------------------------------------------
// Value types
// ---------------------------------------------------------------------------
constexpr WORD CEVT_I2 = 2;
constexpr WORD CEVT_I4 = 3;
constexpr WORD CEVT_R8 = 5;
constexpr WORD CEVT_BOOL = 11;
constexpr WORD CEVT_UI2 = 18;
constexpr WORD CEVT_UI4 = 19;
constexpr WORD CEVT_LPWSTR = 31;
constexpr WORD CEVT_FILETIME = 64;
constexpr WORD CEVT_BLOB = 65;
constexpr WORD CEVT_STREAM = 100;
// A 32-bit integer numbered by the database itself.
constexpr WORD CEVT_AUTO_I4 = 102;

// Every record carries this property: its item id, numbered by its database from 1 upward
// and never reused. It cannot be written or deleted.
constexpr CEPROPID CEPROPID_ITEMID = MAKEPROPID(0x1000, CEVT_AUTO_I4);

struct CEBLOB {
    DWORD dwCount;
    LPBYTE lpb;
};

union CEVALUNION {
    SHORT iVal;
    USHORT uiVal;
    LONG lVal;
    ULONG ulVal;
    FILETIME filetime;
    LPWSTR lpwstr;
    CEBLOB blob;
    BOOL boolVal;
    double dblVal;
};

// wFlags of a property value
constexpr WORD CEDB_PROPNOTFOUND = 0x0100;  // read: the record does not hold the property
constexpr WORD CEDB_PROPDELETE = 0x0200;    // write: remove the property from the record

struct CEPROPVAL {
    CEPROPID propid;
    WORD wLenData;  // read: bytes of a string (terminator included) or of a blob; else 0
    WORD wFlags;
    CEVALUNION val;
};
using PCEPROPVAL = CEPROPVAL*;

// Limits of one property and of one record.
constexpr DWORD CEDB_MAXPROPDATASIZE = 65471;
constexpr DWORD CEDB_MAXRECORDSIZE = 128 * 1024;
constexpr DWORD CEDB_MAXDBASENAMELEN = 32;  // characters, terminator included
constexpr WORD CEDB_MAXSORTPROP = 3;
constexpr WORD CEDB_MAXSORTORDER = 16;
// A stream property holds at most this many bytes.
constexpr DWORD CEDB_MAXSTREAMSIZE = 64u * 1024 * 1024;

// ---------------------------------------------------------------------------
// Sort orders
// ---------------------------------------------------------------------------
constexpr DWORD CEDB_SORT_DESCENDING = 0x00000001;
constexpr DWORD CEDB_SORT_CASEINSENSITIVE = 0x00000002;
// Records without the property come before the others (by default they come last),
// whatever the direction.
constexpr DWORD CEDB_SORT_UNKNOWNFIRST = 0x00000004;

constexpr WORD SORTORDERSPECEX_VERSION = 1;

struct SORTORDERSPECEX {
    WORD wVersion;   // SORTORDERSPECEX_VERSION
    WORD wNumProps;  // 1 to CEDB_MAXSORTPROP keys
    WORD wKeyFlags;  // 0
    WORD wReserved;
    CEPROPID rgPropID[CEDB_MAXSORTPROP];
    DWORD rgdwFlags[CEDB_MAXSORTPROP];
};

// ---------------------------------------------------------------------------
// Databases and object information
// ---------------------------------------------------------------------------
// dwFlags of CEDBASEINFOEX: which fields are valid
constexpr DWORD CEDB_VALIDNAME = 0x0001;
constexpr DWORD CEDB_VALIDTYPE = 0x0002;
constexpr DWORD CEDB_VALIDSORTSPEC = 0x0004;
constexpr DWORD CEDB_VALIDMODTIME = 0x0008;
constexpr DWORD CEDB_VALIDDBFLAGS = 0x0010;
constexpr DWORD CEDB_VALIDCREATE = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDDBFLAGS;

constexpr WORD CEDBASEINFOEX_VERSION = 2;

struct CEDBASEINFOEX {
    WORD wVersion;  // CEDBASEINFOEX_VERSION
    WORD wNumSortOrder;
    DWORD dwFlags;
    WCHAR szDbaseName[CEDB_MAXDBASENAMELEN];
    DWORD dwDbaseType;
    DWORD dwNumRecords;
    DWORD dwSize;  // bytes of all its records' properties
    FILETIME ftLastModified;
    SORTORDERSPECEX rgSortSpecs[CEDB_MAXSORTORDER];
};
using PCEDBASEINFOEX = CEDBASEINFOEX*;

constexpr WORD OBJTYPE_INVALID = 0;
constexpr WORD OBJTYPE_DATABASE = 2;
constexpr WORD OBJTYPE_RECORD = 3;

struct CERECORDINFO {
    CEOID oidParent;  // the record's database
};

constexpr WORD CEOIDINFOEX_VERSION = 2;

struct CEOIDINFOEX {
    WORD wVersion;  // CEOIDINFOEX_VERSION
    WORD wObjType;
    union {
        CEDBASEINFOEX infDatabase;
        CERECORDINFO infRecord;
    };
};

// ---------------------------------------------------------------------------
// Volumes
// ---------------------------------------------------------------------------
constexpr WORD CEVOLUMEOPTIONS_VERSION = 1;

// Tuning of a mounted volume (buffer pool, shrinking, flushing). This stand-in keeps its
// volumes in SQLite and takes the options only as valid input.
struct CEVOLUMEOPTIONS {
    WORD wVersion;  // CEVOLUMEOPTIONS_VERSION
    DWORD cbBufferPool;
    DWORD dwAutoShrinkPercent;
    DWORD dwFlushInterval;
    DWORD cMaxNotifications;
    DWORD dwDefaultTimeout;
    DWORD dwFlags;
};

// ---------------------------------------------------------------------------
// Opening, seeking, reading
// ---------------------------------------------------------------------------
// dwFlags of CeOpenDatabaseEx2 / CeOpenDatabaseInSession
constexpr DWORD CEDB_AUTOINCREMENT = 0x00000001;  // each successful read moves to the next record

// dwSeekType of CeSeekDatabaseEx
constexpr DWORD CEDB_SEEK_CEOID = 0x00000001;
constexpr DWORD CEDB_SEEK_BEGINNING = 0x00000002;
constexpr DWORD CEDB_SEEK_END = 0x00000004;
constexpr DWORD CEDB_SEEK_CURRENT = 0x00000008;
constexpr DWORD CEDB_SEEK_VALUESMALLER = 0x00000010;
constexpr DWORD CEDB_SEEK_VALUEFIRSTEQUAL = 0x00000020;
constexpr DWORD CEDB_SEEK_VALUEGREATER = 0x00000040;
constexpr DWORD CEDB_SEEK_VALUENEXTEQUAL = 0x00000080;
constexpr DWORD CEDB_SEEK_VALUESMALLEROREQUAL = 0x00000100;
constexpr DWORD CEDB_SEEK_VALUEGREATEROREQUAL = 0x00000200;

// dwFlags of CeReadRecordPropsEx
constexpr DWORD CEDB_ALLOWREALLOC = 0x00000001;

// ---------------------------------------------------------------------------
// Change notifications
// ---------------------------------------------------------------------------
constexpr UINT WM_DBNOTIFICATION = 0x03FD;

constexpr UINT DB_CEOID_CREATED = 0x0401;
constexpr UINT DB_CEOID_DATABASE_DELETED = 0x0402;
constexpr UINT DB_CEOID_RECORD_DELETED = 0x0403;
constexpr UINT DB_CEOID_CHANGED = 0x0406;

// dwFlags of CENOTIFYREQUEST: WM_DBNOTIFICATION with a CENOTIFICATION in lParam.
constexpr DWORD CEDB_EXNOTIFICATION = 0x00000001;

struct CENOTIFYREQUEST {
    DWORD dwSize;  // sizeof(CENOTIFYREQUEST); the handset's 20 is taken too
    HWND hwnd;
    DWORD dwFlags;  // CEDB_EXNOTIFICATION
    HANDLE hHeap;   // null: notifications come from LocalAlloc
    DWORD dwParam;  // handed back in each CENOTIFICATION
};
using PCENOTIFYREQUEST = CENOTIFYREQUEST*;

// One change, allocated for the listener; it gives it back with CeFreeNotification.
struct CENOTIFICATION {
    DWORD dwSize;
    DWORD dwParam;
    UINT uType;       // DB_CEOID_*
    CEGUID guid;      // the volume as the listener's process mounted it
    CEOID oid;        // the record (the database for DB_CEOID_DATABASE_DELETED)
    CEOID oidParent;  // the database of the record
};
using PCENOTIFICATION = CENOTIFICATION*;
