// Shared by the file calls: path mapping with the handset's last-error codes, Linux errors
// turned into handset errors, and file times and attributes from Linux file status.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/base/HandsetRoot.h"
#include "platform/base/Types.h"

namespace platform::fs {

DWORD ErrorForPathError(PathError error);

// Maps a handset path for a call; a refused path sets the last error and gives nothing.
std::optional<MappedPath> MapForCall(LPCWSTR handsetPath);

// The handset error for a failed Linux call on `linuxPath`: a missing entry is
// ERROR_FILE_NOT_FOUND when its folder exists, else ERROR_PATH_NOT_FOUND.
DWORD ErrorFromErrno(int error, const std::string& linuxPath);
// Sets the last error from errno and returns FALSE, for the BOOL calls.
BOOL FailFromErrno(const std::string& linuxPath);

// open() for the file calls, which open nothing but regular files: a FIFO, socket or device
// file in the handset's file system is refused with EACCES (a folder with EISDIR) instead
// of opened, since opening a FIFO would wait for a writer forever. O_TRUNC takes effect only
// once the file proved to be a regular one. O_CLOEXEC is added. -1 with errno on failure.
int OpenRegularFile(const std::string& linuxPath, int flags, mode_t mode = 0);

bool FolderOfExists(const std::string& linuxPath);
bool IsHandsetRoot(const MappedPath& mapped);

// What the handset reports of a file or folder.
struct EntryStatus {
    DWORD attributes = 0;
    FILETIME creationTime{};
    FILETIME lastAccessTime{};
    FILETIME lastWriteTime{};
    std::uint64_t size = 0;  // 0 for folders
    std::uint64_t identifier = 0;
};
// statx of `path` relative to the open folder `folder` (or of the descriptor itself with
// an empty path and AT_EMPTY_PATH in flags); false with errno set on failure.
bool ReadEntryStatus(int folder, const char* path, int flags, EntryStatus& status);

// READONLY is the owner's write permission; the check is ours, since a process running as
// root would otherwise write through it.
bool IsReadOnly(const struct stat& info);
FILETIME FileTimeFromTimespec(const timespec& time);

}  // namespace platform::fs
