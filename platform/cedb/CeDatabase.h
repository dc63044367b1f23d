// The handset's property-database calls: volumes, databases with sort orders, seeks,
// record properties, record streams and change notifications. Volumes are SQLite files
// under the handset root ("pim.vol" or "\pim.vol" is <root>/pim.vol), shared by every process.
//
// Failures return 0, FALSE or INVALID_HANDLE_VALUE and set the last error:
// ERROR_INVALID_PARAMETER for bad arguments, ERROR_INVALID_HANDLE for a handle or volume id
// that is not open, ERROR_NO_MORE_ITEMS when a seek or read reaches no record,
// ERROR_KEY_DELETED when the current record was deleted, ERROR_INVALID_DATA for a stored
// record that cannot be decoded, ERROR_BADDB for a volume file that is not a volume.
#pragma once

#include "platform/cedb/CeTypes.h"

// ---------------------------------------------------------------------------
// Volumes
// ---------------------------------------------------------------------------
// dwFlags is CREATE_NEW (1), OPEN_EXISTING (3) or OPEN_ALWAYS (4). Mounting a volume that this
// process has mounted already gives the same volume id and counts one more mount.
BOOL CeMountDBVolEx(PCEGUID pGuid, LPCWSTR lpszVol, CEVOLUMEOPTIONS* pOptions, DWORD dwFlags);
BOOL CeMountDBVol(PCEGUID pGuid, LPCWSTR lpszVol, DWORD dwFlags);
// Handles opened on the volume stay usable until they are closed.
BOOL CeUnmountDBVol(PCEGUID pGuid);

// ---------------------------------------------------------------------------
// Databases
// ---------------------------------------------------------------------------
// pInfo needs CEDB_VALIDNAME; CEDB_VALIDTYPE and CEDB_VALIDSORTSPEC are optional. Names are
// compared without case; a name in use gives ERROR_ALREADY_EXISTS.
CEOID CeCreateDatabaseEx2(PCEGUID pGuid, CEDBASEINFOEX* pInfo);
// Fails with ERROR_SHARING_VIOLATION while this process has the database open.
BOOL CeDeleteDatabaseEx(PCEGUID pGuid, CEOID oid);

// Opens by *poid when it is not 0, else by name (and sets *poid). pSort null: records in the
// order they were created; otherwise pSort must equal one of the database's sort orders.
// dwFlags: 0 or CEDB_AUTOINCREMENT. pRequest null: no notifications; else every change made
// through another handle, in any process, is posted to pRequest->hwnd as WM_DBNOTIFICATION.
HANDLE CeOpenDatabaseEx2(PCEGUID pGuid, PCEOID poid, LPCWSTR lpszName, SORTORDERSPECEX* pSort, DWORD dwFlags,
                         CENOTIFYREQUEST* pRequest);
// The same without transactions: hSession must be null.
HANDLE CeOpenDatabaseInSession(HANDLE hSession, PCEGUID pGuid, PCEOID poid, LPCWSTR lpszName, SORTORDERSPECEX* pSort,
                               DWORD dwFlags, CENOTIFYREQUEST* pRequest);

// Information of a database or record object id of the volume.
BOOL CeOidGetInfoEx2(PCEGUID pGuid, CEOID oid, CEOIDINFOEX* pInfo);
// Information of the database behind an open handle.
BOOL CeGetDatabaseInfoEx2(HANDLE hDatabase, CEDBASEINFOEX* pInfo);

// ---------------------------------------------------------------------------
// Seeking
// ---------------------------------------------------------------------------
// Moves the handle's current record and returns its object id (0 when no record is reached;
// the current record then stays where it was). *lpdwIndex receives the record's position in
// the sort order.
//   CEDB_SEEK_CEOID      dwValue is an object id of this database.
//   CEDB_SEEK_BEGINNING  dwValue records after the first one.
//   CEDB_SEEK_CURRENT    (LONG)dwValue records forward, or backward when negative.
//   CEDB_SEEK_END        dwValue records before the last one.
//   CEDB_SEEK_VALUE*     dwValue points to wNumVals CEPROPVALs: the first keys of the handle's
//                        sort order, compared as that order compares them. "Smaller" and
//                        "greater" follow the order, so in a descending order the smaller
//                        records are the ones before. FIRSTEQUAL: the first equal record;
//                        NEXTEQUAL: the record after the current one when it is equal;
//                        SMALLER: the last record before the value; GREATER: the first record
//                        after it; the OREQUAL forms take the first equal record when there is one.
CEOID CeSeekDatabaseEx(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, WORD wNumVals, LPDWORD lpdwIndex);
CEOID CeSeekDatabase(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, LPDWORD lpdwIndex);

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------
// Reads the current record into *lplpBuffer: an array of CEPROPVAL followed by the strings and
// blobs that they point to. rgPropID null reads every property (*lpcPropID receives the count);
// otherwise the *lpcPropID properties named, in that order, an absent one flagged
// CEDB_PROPNOTFOUND. A stream property reads as its size in bytes (val.ulVal).
// A buffer too small (or null) fails with ERROR_INSUFFICIENT_BUFFER and the needed size in
// *lpcbBuffer, unless CEDB_ALLOWREALLOC lets the call allocate (LocalAlloc) or grow
// (LocalReAlloc) it; the caller frees it with LocalFree. On failure *lplpBuffer is untouched.
// hHeap must be null.
CEOID CeReadRecordPropsEx(HANDLE hDatabase, DWORD dwFlags, WORD* lpcPropID, CEPROPID* rgPropID, LPBYTE* lplpBuffer,
                          LPDWORD lpcbBuffer, HANDLE hHeap);

// Writes properties into record oidRecord, or into a new record when it is 0 (the new record
// gets the next item id, CEPROPID_ITEMID). When a property appears twice the later value wins;
// CEDB_PROPDELETE removes a property (a stream's data too). Returns the record's object id.
CEOID CeWriteRecordProps(HANDLE hDatabase, CEOID oidRecord, WORD cPropID, CEPROPVAL* rgPropVal);
BOOL CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord);

// ---------------------------------------------------------------------------
// Record streams: a CEVT_STREAM property of the current record, read and written like a file.
// Writes stay private to the stream handle until CeStreamSaveChanges; closing the handle
// without it drops them. Opened with GENERIC_WRITE alone, the stream starts empty; with
// GENERIC_READ too it starts with the stored data. GENERIC_READ alone fails with
// ERROR_NOT_FOUND when the record has no such stream.
// ---------------------------------------------------------------------------
HANDLE CeOpenStream(HANDLE hDatabase, CEPROPID propid, DWORD dwMode);
BOOL CeStreamRead(HANDLE hStream, LPBYTE lpbBuffer, DWORD cbRead, LPDWORD pcbRead);
BOOL CeStreamWrite(HANDLE hStream, const BYTE* lpbBuffer, DWORD cbWrite, LPDWORD pcbWritten);
// dwOrigin as IStream counts it: 0 from the start, 1 from the current position, 2 from the
// end; cbMove is signed. A position before the start fails; one past the end is allowed.
BOOL CeStreamSeek(HANDLE hStream, DWORD cbMove, DWORD dwOrigin, LPDWORD pcbNewOffset);
BOOL CeStreamSetSize(HANDLE hStream, DWORD cbSize);
BOOL CeStreamSaveChanges(HANDLE hStream);

// ---------------------------------------------------------------------------
// Notifications
// ---------------------------------------------------------------------------
// Gives back a CENOTIFICATION received with WM_DBNOTIFICATION.
BOOL CeFreeNotification(PCENOTIFYREQUEST pRequest, PCENOTIFICATION pNotify);
