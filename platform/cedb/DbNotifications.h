// How database changes reach listener windows: a change made by any process is kept in the
// volume's journal, and each process's message loop calls PollChanges to post
// WM_DBNOTIFICATION (lParam: a CENOTIFICATION for the listener) for changes made through
// other handles than the listener's own.
#pragma once

#include "platform/cedb/CeTypes.h"

namespace platform::cedb {

// Posts a message to a window; PostMessageW in the running system. A FALSE result means
// the message was not queued, and the notification is freed again. Without a poster the
// changes are read and dropped.
using NotificationPoster = BOOL (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void SetNotificationPoster(NotificationPoster poster);

// Reads the journals of the volumes that this process listens to and posts what is new.
// Cheap when nothing changed (a look at each volume's data version). Returns the number of
// notifications posted.
int PollChanges();

// Whether any handle of this process listens: a message loop polls while this is true.
bool IsListening();

}  // namespace platform::cedb
