// The handset's table of top-level windows, shared by every process of the handset root:
// handle, class, title, owning process and thread, styles, visibility, z-order and the
// foreground window. Entries of processes that have ended are dropped when met.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/base/Types.h"

namespace platform::user {

// Titles are kept up to this many characters (with the length and a hash of the whole
// title, so that a search for a longer title still matches exactly).
constexpr size_t kTableTitleChars = 255;
constexpr size_t kMaxClassNameChars = 255;

struct TopLevelEntry {
    HWND window = nullptr;
    HWND owner = nullptr;
    DWORD processId = 0;
    DWORD threadId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    bool visible = false;
    std::u16string className;
    std::u16string title;  // cut to kTableTitleChars
};

// All calls are safe from any thread; each one works on the table of the current handset
// root (a new root opens its own table).
namespace window_table {

// False when the table is full or cannot be opened. The window is placed on top of the
// windows of its kind (topmost or not).
bool Add(const TopLevelEntry& entry);
void Remove(HWND window);
// Drops every entry of this process (it is ending).
void RemoveOwnProcess();
void SetTitle(HWND window, const std::u16string& title);
void SetVisible(HWND window, bool visible);
void SetStyles(HWND window, DWORD style, DWORD exStyle);
// Z-order: on top, at the bottom, or directly below `after` (which must be listed).
void PlaceOnTop(HWND window);
void PlaceAtBottom(HWND window);
void PlaceBelow(HWND window, HWND after);

std::optional<TopLevelEntry> Find(HWND window);
// Every live top-level window, topmost first.
std::vector<TopLevelEntry> ZOrder();
HWND FindByName(LPCWSTR className, LPCWSTR title);

HWND Foreground();
// Makes `window` the foreground window (and puts it on top); gives the former one.
HWND SwapForeground(HWND window);
// Clears the foreground when it is `window`; true when it was.
bool ClearForegroundIf(HWND window);

// Drops the entries of a process when it has ended; true when it has.
bool PurgeIfEnded(DWORD processId);

}  // namespace window_table

}  // namespace platform::user
