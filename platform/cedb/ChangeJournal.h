// Delivery of the change journal inside this process: the handles that listen, and the
// allocation and release of the CENOTIFICATION records handed to their windows.
#pragma once

#include "platform/cedb/CeTypes.h"

namespace platform::cedb {

class DatabaseHandle;

// A handle with a notification request joins when it opens and leaves when it closes; the
// first listener on a volume starts this process reading that volume's journal.
bool AddListener(DatabaseHandle* handle, DWORD& error);
void RemoveListener(DatabaseHandle* handle);

// Frees a notification handed out by PollChanges; false for anything else.
bool FreeNotification(CENOTIFICATION* notification);

}  // namespace platform::cedb
