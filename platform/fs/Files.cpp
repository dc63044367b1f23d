// CreateFileW and the calls on an open file handle, over Linux file descriptors.
#include "platform/fs/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

#include "platform/base/Errors.h"
#include "platform/fs/FileObject.h"
#include "platform/fs/FsSupport.h"
#include "platform/fs/StreamDevice.h"

using platform::fs::FileObject;

namespace {

// Bytes a paced write stores at a time, and the pause after each piece (0: no pacing).
constexpr DWORD kPacedPiece = 512;
std::atomic<unsigned> writePace{0};

constexpr DWORD kKnownShareModes = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kKnownAccess = GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL;

FileObject* FileFromHandle(HANDLE handle) {
    FileObject* file = platform::KernelObjectAs<FileObject>(handle);
    if (!file) SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

HANDLE FailOpen(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

struct OpenRequest {
    std::string linuxPath;
    DWORD access;
    DWORD disposition;
    DWORD attributes;
};

// Opens an existing file. Gives the descriptor, or -1 with errno (ENOENT when it is
// missing, so that the caller may create it).
int OpenExisting(const OpenRequest& request, bool truncate, DWORD& error) {
    struct stat info;
    if (stat(request.linuxPath.c_str(), &info) != 0) {
        error = platform::fs::ErrorFromErrno(errno, request.linuxPath);
        return -1;
    }
    // Only regular files open (OpenRegularFile checks again what it opened).
    if (!S_ISREG(info.st_mode)) {
        error = ERROR_ACCESS_DENIED;
        return -1;
    }
    bool write = (request.access & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    if ((write || truncate) && platform::fs::IsReadOnly(info)) {
        error = ERROR_ACCESS_DENIED;
        return -1;
    }
    // Truncating needs a writable descriptor even when the handle only reads; the handle's
    // own access still guards ReadFile and WriteFile.
    int flags = (write || truncate) ? O_RDWR : O_RDONLY;
    if (truncate) flags |= O_TRUNC;
    int descriptor = platform::fs::OpenRegularFile(request.linuxPath, flags);
    if (descriptor < 0) error = platform::fs::ErrorFromErrno(errno, request.linuxPath);
    return descriptor;
}

int CreateExclusive(const OpenRequest& request, DWORD& error) {
    mode_t mode = (request.attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    int descriptor = open(request.linuxPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (descriptor < 0) {
        error = errno == EEXIST ? ERROR_FILE_EXISTS : platform::fs::ErrorFromErrno(errno, request.linuxPath);
    }
    return descriptor;
}

// Carries out a creation disposition. `existed` tells the caller whether the file was there.
int OpenByDisposition(const OpenRequest& request, bool& existed, DWORD& error) {
    existed = false;
    switch (request.disposition) {
        case CREATE_NEW:
            return CreateExclusive(request, error);
        case OPEN_EXISTING:
            existed = true;
            return OpenExisting(request, false, error);
        case TRUNCATE_EXISTING:
            existed = true;
            return OpenExisting(request, true, error);
        case CREATE_ALWAYS:
        case OPEN_ALWAYS:
            // Another process may create or delete the file between the two steps: try again
            // a few times rather than report a state that never was.
            for (int attempt = 0; attempt < 8; ++attempt) {
                int descriptor = OpenExisting(request, request.disposition == CREATE_ALWAYS, error);
                if (descriptor >= 0 || error != ERROR_FILE_NOT_FOUND) {
                    existed = descriptor >= 0;
                    return descriptor;
                }
                descriptor = CreateExclusive(request, error);
                if (descriptor >= 0 || error != ERROR_FILE_EXISTS) return descriptor;
            }
            error = ERROR_SHARING_VIOLATION;
            return -1;
        default:
            error = ERROR_INVALID_PARAMETER;
            return -1;
    }
}

}  // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile) {
    UNREFERENCED_PARAMETER(security);      // the handset has no file security
    UNREFERENCED_PARAMETER(templateFile);  // ignored by the handset too
    if (!fileName) return FailOpen(ERROR_INVALID_PARAMETER);
    if ((shareMode & ~kKnownShareModes) != 0 || (desiredAccess & ~kKnownAccess) != 0)
        return FailOpen(ERROR_INVALID_PARAMETER);
    if (creationDisposition < CREATE_NEW || creationDisposition > TRUNCATE_EXISTING)
        return FailOpen(ERROR_INVALID_PARAMETER);
    if (creationDisposition == TRUNCATE_EXISTING && (desiredAccess & (GENERIC_WRITE | GENERIC_ALL)) == 0)
        return FailOpen(ERROR_INVALID_PARAMETER);
    if (platform::IsStreamDeviceName(fileName)) return platform::OpenStreamDevice(fileName, desiredAccess, shareMode);

    auto mapped = platform::fs::MapForCall(fileName);
    if (!mapped) return INVALID_HANDLE_VALUE;
    if (platform::fs::IsHandsetRoot(*mapped)) return FailOpen(ERROR_ACCESS_DENIED);

    OpenRequest request{mapped->linuxPath, desiredAccess, creationDisposition, flagsAndAttributes};
    bool existed = false;
    DWORD error = ERROR_SUCCESS;
    int descriptor = OpenByDisposition(request, existed, error);
    if (descriptor < 0) return FailOpen(error);
    // A file replaced by CREATE_ALWAYS takes the attributes given, as a new one does.
    if (existed && creationDisposition == CREATE_ALWAYS && (flagsAndAttributes & FILE_ATTRIBUTE_READONLY))
        fchmod(descriptor, 0444);

    HANDLE handle = platform::RegisterKernelObject(new FileObject(descriptor, desiredAccess, mapped->linuxPath));
    bool reportsExisting = creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS;
    SetLastError(reportsExisting && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped) {
    if (bytesRead) *bytesRead = 0;
    if (overlapped) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    if (!buffer && bytesToRead > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (auto* device = platform::KernelObjectAs<platform::StreamDevice>(file))
        return device->Read(buffer, bytesToRead, bytesRead);
    FileObject* object = FileFromHandle(file);
    if (!object) return FALSE;
    if (!object->CanRead()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    DWORD done = 0;
    while (done < bytesToRead) {
        ssize_t got = read(object->Descriptor(), bytes + done, bytesToRead - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            if (bytesRead) *bytesRead = done;
            SetLastError(errno == EISDIR ? ERROR_ACCESS_DENIED : ERROR_READ_FAULT);
            return FALSE;
        }
        if (got == 0) break;  // the end of the file
        done += static_cast<DWORD>(got);
    }
    if (bytesRead) *bytesRead = done;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped) {
    if (bytesWritten) *bytesWritten = 0;
    if (overlapped) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    if (!buffer && bytesToWrite > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (auto* device = platform::KernelObjectAs<platform::StreamDevice>(file))
        return device->Write(buffer, bytesToWrite, bytesWritten);
    FileObject* object = FileFromHandle(file);
    if (!object) return FALSE;
    if (!object->CanWrite()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    const unsigned pace = writePace.load(std::memory_order_relaxed);
    DWORD done = 0;
    while (done < bytesToWrite) {
        // A slow card stores a piece at a time.
        const DWORD piece = pace != 0 && bytesToWrite - done > kPacedPiece ? kPacedPiece : bytesToWrite - done;
        if (pace != 0 && done != 0) usleep(pace);
        ssize_t put = write(object->Descriptor(), bytes + done, piece);
        if (put < 0) {
            if (errno == EINTR) continue;
            if (bytesWritten) *bytesWritten = done;
            DWORD error = platform::fs::ErrorFromErrno(errno, object->LinuxPath());
            SetLastError(error == ERROR_DISK_FULL ? error : ERROR_WRITE_FAULT);
            return FALSE;
        }
        done += static_cast<DWORD>(put);
    }
    if (bytesWritten) *bytesWritten = done;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LPLONG distanceHigh, DWORD moveMethod) {
    FileObject* object = FileFromHandle(file);
    if (!object) return INVALID_SET_FILE_POINTER;
    std::int64_t move = distanceHigh ? static_cast<std::int64_t>((static_cast<std::uint64_t>(
                                                                      static_cast<std::uint32_t>(*distanceHigh))
                                                                  << 32) |
                                                                 static_cast<std::uint32_t>(distance))
                                     : static_cast<std::int64_t>(distance);
    std::int64_t base = 0;
    if (moveMethod == FILE_CURRENT) {
        off_t current = lseek(object->Descriptor(), 0, SEEK_CUR);
        if (current < 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return INVALID_SET_FILE_POINTER;
        }
        base = current;
    } else if (moveMethod == FILE_END) {
        struct stat info;
        if (fstat(object->Descriptor(), &info) != 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return INVALID_SET_FILE_POINTER;
        }
        base = info.st_size;
    } else if (moveMethod != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    std::int64_t target = 0;
    if (__builtin_add_overflow(base, move, &target)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    // A caller that passes no high part cannot see a position past 4 GiB.
    if (!distanceHigh && target > 0xFFFFFFFFLL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(object->Descriptor(), static_cast<off_t>(target), SEEK_SET) < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(target) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(static_cast<std::uint64_t>(target) & 0xFFFFFFFFu);
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
    FileObject* object = FileFromHandle(file);
    if (!object) return INVALID_FILE_SIZE;
    struct stat info;
    if (fstat(object->Descriptor(), &info) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    auto size = static_cast<std::uint64_t>(info.st_size);
    if (fileSizeHigh) *fileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL SetEndOfFile(HANDLE file) {
    FileObject* object = FileFromHandle(file);
    if (!object) return FALSE;
    if (!object->CanWrite()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    off_t position = lseek(object->Descriptor(), 0, SEEK_CUR);
    struct stat info;
    if (position < 0 || fstat(object->Descriptor(), &info) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (position < info.st_size && object->HasMappings()) {
        SetLastError(ERROR_USER_MAPPED_FILE);
        return FALSE;
    }
    if (ftruncate(object->Descriptor(), position) != 0) return platform::fs::FailFromErrno(object->LinuxPath());
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
    FileObject* object = FileFromHandle(file);
    if (!object) return FALSE;
    if (fsync(object->Descriptor()) != 0 && errno != EINVAL) return platform::fs::FailFromErrno(object->LinuxPath());
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL GetFileTime(HANDLE file, LPFILETIME creationTime, LPFILETIME lastAccessTime, LPFILETIME lastWriteTime) {
    FileObject* object = FileFromHandle(file);
    if (!object) return FALSE;
    platform::fs::EntryStatus status;
    if (!platform::fs::ReadEntryStatus(object->Descriptor(), "", AT_EMPTY_PATH, status))
        return platform::fs::FailFromErrno(object->LinuxPath());
    if (creationTime) *creationTime = status.creationTime;
    if (lastAccessTime) *lastAccessTime = status.lastAccessTime;
    if (lastWriteTime) *lastWriteTime = status.lastWriteTime;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

namespace platform::fs {

void SetWritePace(unsigned microseconds) { writePace.store(microseconds, std::memory_order_relaxed); }

}  // namespace platform::fs
