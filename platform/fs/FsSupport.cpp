// Path mapping for the file calls, Linux errors as handset errors, times and attributes.
#include "platform/fs/FsSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/base/Errors.h"
#include "platform/fs/Files.h"

namespace platform::fs {

DWORD ErrorForPathError(PathError error) {
    switch (error) {
        case PathError::None:
            return ERROR_SUCCESS;
        case PathError::Empty:
        case PathError::EscapesRoot:
            // Nothing lies above "\": a folder named there is one that does not exist.
            return ERROR_PATH_NOT_FOUND;
        case PathError::TooLong:
            return ERROR_FILENAME_EXCED_RANGE;
        case PathError::InvalidCharacter:
            return ERROR_INVALID_NAME;
    }
    return ERROR_INVALID_NAME;
}

std::optional<MappedPath> MapForCall(LPCWSTR handsetPath) {
    if (!handsetPath) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    MappedPath mapped = MapHandsetPath(handsetPath);
    if (mapped.error != PathError::None) {
        SetLastError(ErrorForPathError(mapped.error));
        return std::nullopt;
    }
    return mapped;
}

int OpenRegularFile(const std::string& linuxPath, int flags, mode_t mode) {
    // O_NONBLOCK lets the open of a FIFO return at once (or fail with ENXIO when writing to
    // one that nobody reads); the check after it sees what was opened, whatever replaced
    // the path since it was looked at.
    const int descriptor = open(linuxPath.c_str(), (flags & ~O_TRUNC) | O_NONBLOCK | O_CLOEXEC, mode);
    if (descriptor < 0) {
        if (errno == ENXIO) errno = EACCES;
        return -1;
    }
    struct stat info;
    int refused = 0;
    if (fstat(descriptor, &info) != 0)
        refused = errno;
    else if (S_ISDIR(info.st_mode))
        refused = EISDIR;
    else if (!S_ISREG(info.st_mode))
        refused = EACCES;
    else if (fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0)
        refused = errno;
    else if ((flags & O_TRUNC) != 0 && ftruncate(descriptor, 0) != 0)
        refused = errno;
    if (refused == 0) return descriptor;
    close(descriptor);
    errno = refused;
    return -1;
}

bool FolderOfExists(const std::string& linuxPath) {
    std::size_t slash = linuxPath.find_last_of('/');
    std::string folder = slash == std::string::npos || slash == 0 ? std::string("/") : linuxPath.substr(0, slash);
    struct stat info;
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsHandsetRoot(const MappedPath& mapped) { return mapped.handset == u"\\"; }

DWORD ErrorFromErrno(int error, const std::string& linuxPath) {
    switch (error) {
        case ENOENT:
            return FolderOfExists(linuxPath) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        case ENOTDIR:
        case ELOOP:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
        case ETXTBSY:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ERROR_DISK_FULL;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case EBUSY:
            return ERROR_SHARING_VIOLATION;
        case EXDEV:
            return ERROR_NOT_SAME_DEVICE;
        case EINVAL:
        case EOVERFLOW:
            return ERROR_INVALID_PARAMETER;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        default:
            return ERROR_GEN_FAILURE;
    }
}

BOOL FailFromErrno(const std::string& linuxPath) {
    SetLastError(ErrorFromErrno(errno, linuxPath));
    return FALSE;
}

bool IsReadOnly(const struct stat& info) { return !S_ISDIR(info.st_mode) && (info.st_mode & S_IWUSR) == 0; }

FILETIME FileTimeFromTimespec(const timespec& time) {
    // 100-ns intervals since 1601-01-01; times outside what a FILETIME holds are clamped.
    constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600LL;
    constexpr std::int64_t kLastSecond = static_cast<std::int64_t>(UINT64_MAX / 10000000ULL) - 1;
    std::int64_t seconds = static_cast<std::int64_t>(time.tv_sec);
    std::uint64_t ticks = 0;
    if (seconds > kLastSecond - kSecondsFrom1601To1970)
        ticks = UINT64_MAX;
    else if (seconds + kSecondsFrom1601To1970 >= 0)
        ticks = static_cast<std::uint64_t>(seconds + kSecondsFrom1601To1970) * 10000000ULL +
                static_cast<std::uint64_t>(time.tv_nsec) / 100ULL;
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

namespace {
timespec ToTimespec(const struct statx_timestamp& stamp) {
    timespec time{};
    time.tv_sec = stamp.tv_sec;
    time.tv_nsec = stamp.tv_nsec;
    return time;
}
}  // namespace

bool ReadEntryStatus(int folder, const char* path, int flags, EntryStatus& status) {
    struct statx info;
    if (statx(folder, path, flags, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) return false;
    bool directory = S_ISDIR(info.stx_mode);
    bool readOnly = !directory && (info.stx_mode & S_IWUSR) == 0;  // as IsReadOnly
    status.attributes = directory  ? FILE_ATTRIBUTE_DIRECTORY
                        : readOnly ? FILE_ATTRIBUTE_READONLY
                                   : FILE_ATTRIBUTE_NORMAL;
    // File systems that keep no birth time give the last change of the data instead.
    const auto& birth = (info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_mtime;
    status.creationTime = FileTimeFromTimespec(ToTimespec(birth));
    status.lastAccessTime = FileTimeFromTimespec(ToTimespec(info.stx_atime));
    status.lastWriteTime = FileTimeFromTimespec(ToTimespec(info.stx_mtime));
    status.size = directory ? 0 : info.stx_size;
    status.identifier = info.stx_ino;
    return true;
}

}  // namespace platform::fs
