// Point-to-point message queues (CreateMsgQueue): a queue of byte messages with a read end
// and write ends. A named queue is shared by every CreateMsgQueue of that name in this
// process; an unnamed one is reached through its handle (the power manager writes into the
// queue a program hands it). A queue handle is not a wait object here: readers poll or pass
// a time-out to ReadMsgQueue.
#pragma once

#include "platform/base/Types.h"

// Options flags.
constexpr DWORD MSGQUEUE_NOPRECOMMIT = 0x00000001;
// Reads and writes go on while the other end has no handle open.
constexpr DWORD MSGQUEUE_ALLOW_BROKEN = 0x00000002;
// ReadMsgQueue's output flag, WriteMsgQueue's input flag: an alert message, read first.
constexpr DWORD MSGQUEUE_MSGALERT = 0x00000001;

struct MSGQUEUEOPTIONS {
    DWORD dwSize;         // sizeof(MSGQUEUEOPTIONS)
    DWORD dwFlags;        // MSGQUEUE_*
    DWORD dwMaxMessages;  // 0: no limit
    DWORD cbMaxMessage;   // the largest message in bytes, at least 1
    BOOL bReadAccess;     // TRUE: a read end, FALSE: a write end
};

// Null with ERROR_INVALID_PARAMETER for null options, a wrong dwSize, a zero cbMaxMessage or
// a name longer than MAX_PATH. A name that exists already opens that queue (its sizes are
// kept) with ERROR_ALREADY_EXISTS as the last error.
HANDLE CreateMsgQueue(LPCWSTR name, const MSGQUEUEOPTIONS* options);
// The oldest message (an alert before the others). FALSE with ERROR_TIMEOUT when none came in
// `milliseconds` (0: do not wait), ERROR_INSUFFICIENT_BUFFER (message kept, its size in
// *bytesRead) when it does not fit, ERROR_ACCESS_DENIED on a write end,
// ERROR_PIPE_NOT_CONNECTED on an empty queue without writers (unless MSGQUEUE_ALLOW_BROKEN).
BOOL ReadMsgQueue(HANDLE queue, LPVOID buffer, DWORD bufferBytes, LPDWORD bytesRead, DWORD milliseconds,
                  DWORD* flags);
// FALSE with ERROR_INSUFFICIENT_BUFFER for a message over cbMaxMessage, ERROR_TIMEOUT when
// the queue stayed full, ERROR_ACCESS_DENIED on a read end, ERROR_PIPE_NOT_CONNECTED without
// a reader (unless MSGQUEUE_ALLOW_BROKEN).
BOOL WriteMsgQueue(HANDLE queue, LPCVOID data, DWORD bytes, DWORD milliseconds, DWORD flags);
// ERROR_INVALID_HANDLE for anything but an open queue handle.
BOOL CloseMsgQueue(HANDLE queue);

namespace platform {

// Writes into a queue from the system's side, whichever end the handle is: what a driver
// does with the queue a program registered. Never waits; FALSE as WriteMsgQueue.
BOOL PostToMsgQueue(HANDLE queue, const void* data, DWORD bytes);
// A new write end of the queue behind any of its handles, for a driver that keeps writing
// after the program's own handle may have gone; null with ERROR_INVALID_HANDLE.
HANDLE OpenMsgQueueWriter(HANDLE queue);

}  // namespace platform
