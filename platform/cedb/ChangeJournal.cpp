// Turns journal rows into WM_DBNOTIFICATION messages for the listening handles of this
// process. Notifications are allocated here and freed by CeFreeNotification; the set of
// those handed out guards the free against foreign pointers.
#include "platform/cedb/ChangeJournal.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <unordered_set>
#include <vector>

#include "platform/cedb/DatabaseHandle.h"
#include "platform/cedb/DbNotifications.h"
#include "platform/base/LocalMemory.h"
#include "platform/user/Message.h"
#include "platform/cedb/VolumeTable.h"

namespace platform::cedb {

namespace {

struct ListenerState {
    std::vector<DatabaseHandle*> handles;
    std::unordered_set<CENOTIFICATION*> outstanding;
};

ListenerState& State() {
    static ListenerState* state = new ListenerState;
    return *state;
}

// Notifications go to the listener windows through the message queues; tests may put
// their own poster in its place.
std::atomic<NotificationPoster> poster{&PostMessageW};

void PollFromMessageLoop() { PollChanges(); }

struct PendingPost {
    HWND window;
    CENOTIFICATION* notification;
};

bool MadeBy(const JournalEntry& entry, const DatabaseHandle& handle) {
    ChangeOrigin origin = handle.Origin();
    return entry.origin.process == origin.process && entry.origin.handle == origin.handle;
}

}  // namespace

bool AddListener(DatabaseHandle* handle, DWORD& error) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    Volume& volume = handle->GetVolume();
    if (volume.listenerCount == 0 && !volume.StartReading(error)) return false;
    ++volume.listenerCount;
    State().handles.push_back(handle);
    // The message loops of this process read the journals from now on.
    platform::AddMessagePumpHook(&PollFromMessageLoop);
    return true;
}

void RemoveListener(DatabaseHandle* handle) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    auto& handles = State().handles;
    auto found = std::find(handles.begin(), handles.end(), handle);
    if (found == handles.end()) return;
    handles.erase(found);
    Volume& volume = handle->GetVolume();
    if (--volume.listenerCount == 0) volume.StopReading();
}

bool FreeNotification(CENOTIFICATION* notification) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    if (!notification || State().outstanding.erase(notification) == 0) return false;
    LocalFree(notification);
    return true;
}

void SetNotificationPoster(NotificationPoster newPoster) { poster.store(newPoster); }

bool IsListening() {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    return !State().handles.empty();
}

int PollChanges() {
    NotificationPoster post = poster.load();
    std::vector<PendingPost> pending;
    {
        std::lock_guard<std::recursive_mutex> lock(CedbLock());
        ListenerState& state = State();
        if (state.handles.empty()) return 0;
        for (const std::shared_ptr<Volume>& volume : LiveVolumes()) {
            if (volume->listenerCount == 0 || !volume->IsReading() || !volume->ChangedSinceLastLook()) continue;
            std::vector<JournalEntry> entries;
            DWORD error = 0;
            if (!volume->ReadJournal(entries, error)) continue;  // tried again at the next poll
            for (const JournalEntry& entry : entries) {
                for (DatabaseHandle* handle : state.handles) {
                    if (&handle->GetVolume() != volume.get() || handle->Database() != entry.database) continue;
                    if (MadeBy(entry, *handle) || !post) continue;
                    auto* notification = static_cast<CENOTIFICATION*>(LocalAlloc(LPTR, sizeof(CENOTIFICATION)));
                    if (!notification) continue;
                    notification->dwSize = sizeof(CENOTIFICATION);
                    notification->dwParam = handle->Request().dwParam;
                    notification->uType = entry.type;
                    notification->guid = GuidOf(*volume);
                    notification->oid = entry.object;
                    notification->oidParent = entry.type == DB_CEOID_DATABASE_DELETED ? 0 : entry.database;
                    state.outstanding.insert(notification);
                    pending.push_back({handle->Request().hwnd, notification});
                }
            }
        }
    }
    // Posted outside the lock: the poster may run window code.
    int posted = 0;
    for (const PendingPost& item : pending) {
        if (post(item.window, WM_DBNOTIFICATION, 0, reinterpret_cast<LPARAM>(item.notification))) {
            ++posted;
        } else {
            FreeNotification(item.notification);
        }
    }
    return posted;
}

}  // namespace platform::cedb
