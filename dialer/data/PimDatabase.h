// One open PIM database of "pim.vol" as the dialer's stores hold it: its lock, its mounted
// volume, its handle with the current record, the hidden listener window that receives the
// database's change notifications, and the change counter that readers compare to learn
// that the data changed.
#pragma once

#include <atomic>

#include "dialer/data/DbRecord.h"
#include "dialer/foundation/CriticalSection.h"
#include "platform/cedb/CeTypes.h"
#include "platform/com/WindowImpl.h"

class CPimDatabase : public CWindowImpl {
public:
    CPimDatabase();
    ~CPimDatabase() override;

    // The listener window's message map: WM_DBNOTIFICATION.
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;
    // Change notifications, under the lock; nothing here, the stores override them.
    virtual void OnRecordCreated(CEOID oid);
    virtual void OnRecordDeleted(CEOID oid);
    virtual void OnRecordChanged(CEOID oid);

    // Creates the listener window, then mounts the volume (which must exist) and opens the
    // database by name with change notifications to that window: through CeMountDBVolEx and
    // CeOpenDatabaseInSession in session mode, else CeMountDBVol and CeOpenDatabaseEx2. A
    // database open already is closed first. False leaves the database closed.
    bool Open(LPCWSTR volumeName, LPCWSTR databaseName, bool session);
    // Session mode only: reopens the database on its first sort order whose first key is the
    // property in that direction. `request` null means this database's own notification
    // request. False when no such sort order exists or none could be opened.
    bool ReopenSorted(CEPROPID propertyId, bool descending, CENOTIFYREQUEST* request = nullptr);
    // Closes the handle and the volume and destroys the listener window.
    void Close();
    // The destructor's path: closes the handle and the volume.
    void Destroy();

    bool GetDatabaseInfo(CEOIDINFOEX& info);

    // Seeks; each keeps the object id it reached (0 when none) as the current object id.
    bool SeekFromStart(DWORD n);
    bool SeekNext(LONG n);
    bool SeekToOid(CEOID oid);
    bool SeekByItemId(DWORD itemId);

    // Reads the properties of the current record into `record` (its old buffer is freed
    // whatever the outcome; on failure the record is empty).
    bool ReadCurrent(DbRecord* record, CEPROPID* ids, WORD count);
    bool DeleteRecordProperty(CEOID oid, CEPROPID propertyId);

    CCriticalSection& Lock() { return m_lock; }
    // 1 after construction, raised by every notification and by the stores' own writes.
    DWORD GetChangeCount() const { return m_changeCount.load(std::memory_order_acquire); }
    void RaiseChangeCount() { m_changeCount.fetch_add(1, std::memory_order_acq_rel); }
    bool IsOpen() const { return m_database != INVALID_HANDLE_VALUE; }
    HANDLE GetHandle() const { return m_database; }
    CEOID GetDatabaseOid() const { return m_databaseOid; }
    CEOID GetCurrentOid() const { return m_currentOid; }
    const CEGUID& GetVolume() const { return m_volume; }

private:
    void CloseHandleAndVolume();
    bool Remember(CEOID reached);

    CCriticalSection m_lock;
    CEGUID m_volume{};
    HANDLE m_database = INVALID_HANDLE_VALUE;
    CEOID m_databaseOid = 0;
    bool m_session = false;
    bool m_mounted = false;
    CEOID m_currentOid = 0;
    CENOTIFYREQUEST m_request{};
    std::atomic<DWORD> m_changeCount{1};
};
