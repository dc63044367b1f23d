// Message queues: one per thread, made when the thread first uses windows or messages.
// Posting, sending (to this thread, another thread, or another process's window),
// retrieving with filters, translating keys and dispatching.
#pragma once

#include "platform/base/Types.h"
#include "platform/user/MessageTypes.h"

// Posting: the message waits in the queue of the window's thread (of any process of the
// handset). Messages below WM_USER that carry pointers cannot be posted
// (ERROR_MESSAGE_SYNC_ONLY).
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Sending: a window of the calling thread gets the call at once; a window of another thread
// or process gets it from its thread's message loop while the sender waits, serving the
// messages sent to it meanwhile. Between processes only scalar messages and WM_COPYDATA
// travel. A window that no longer exists (its process ended) gives 0 with
// ERROR_INVALID_WINDOW_HANDLE.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// As SendMessageW, giving up after `timeout` milliseconds (0 with ERROR_TIMEOUT).
LRESULT SendMessageTimeoutW(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            DWORD_PTR* result);

// Retrieving, in this order: sent messages are handled first; then posted messages; then
// WM_QUIT; then WM_PAINT; then WM_TIMER. A filter window also takes its children's
// messages; (HWND)-1 takes only thread messages. A range of 0, 0 takes every message.
// Each call is a pump (the clock's step on a manual clock, the pump hooks) unless
// `removeFlags` holds PM_NOYIELD: then it only takes what the queue holds already, as a
// modal loop does that waits for input itself.
BOOL PeekMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits for a message; 0 for WM_QUIT, -1 on a bad argument.
BOOL GetMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
// Posts WM_CHAR for a WM_KEYDOWN of a key that types a character.
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageW(const MSG* message);

// Waits for one of the objects or for input of the kinds in `wakeMask`; WAIT_OBJECT_0 +
// count when input is there. Waiting for all objects is not supported, as on the handset.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask);
DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask,
                                  DWORD flags);

namespace platform {

// Functions the message loops call on each PeekMessageW / GetMessageW pump (and every
// 50 ms while GetMessageW waits), for services that bring news from outside without a
// socket of their own (the screen's input, database change journals). Adding a hook twice
// keeps one; at most kMaxMessagePumpHooks are held (false beyond that).
constexpr int kMaxMessagePumpHooks = 8;
bool AddMessagePumpHook(void (*hook)());
void RemoveMessagePumpHook(void (*hook)());

}  // namespace platform
