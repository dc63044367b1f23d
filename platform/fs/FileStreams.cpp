// _wfopen and OpenHandsetStream: a stream on the Linux path that a handset path maps to,
// opened as fopen would open it.
#include "platform/fs/FileStreams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/base/HandsetRoot.h"
#include "platform/fs/FsSupport.h"

namespace {

// Checks a mode and gives the one for Linux, or nothing for a mode that is not valid.
bool LinuxMode(const std::u16string& mode, std::string& linuxMode, bool& writes) {
    if (mode.empty() || (mode[0] != u'r' && mode[0] != u'w' && mode[0] != u'a')) return false;
    writes = mode[0] != u'r';
    linuxMode = static_cast<char>(mode[0]);
    for (std::size_t i = 1; i < mode.size(); ++i) {
        switch (mode[i]) {
            case u'+':
                writes = true;
                [[fallthrough]];
            case u'b':
            case u'x':
                linuxMode += static_cast<char>(mode[i]);
                break;
            case u't':
                break;
            default:
                return false;
        }
    }
    return true;
}

// The open() flags that fopen uses for a mode.
int OpenFlags(const std::string& linuxMode) {
    const bool update = linuxMode.find('+') != std::string::npos;
    int flags = update ? O_RDWR : (linuxMode[0] == 'r' ? O_RDONLY : O_WRONLY);
    if (linuxMode[0] == 'w') flags |= O_CREAT | O_TRUNC;
    if (linuxMode[0] == 'a') flags |= O_CREAT | O_APPEND;
    if (linuxMode.find('x') != std::string::npos) flags |= O_EXCL;
    return flags;
}

FILE* Fail(int error, DWORD lastError) {
    errno = error;
    SetLastError(lastError);
    return nullptr;
}

FILE* OpenStream(const std::u16string& path, const std::u16string& mode) {
    std::string linuxMode;
    bool writes = false;
    if (!LinuxMode(mode, linuxMode, writes)) return Fail(EINVAL, ERROR_INVALID_PARAMETER);
    platform::MappedPath mapped = platform::MapHandsetPath(path);
    if (mapped.error != platform::PathError::None) {
        DWORD error = platform::fs::ErrorForPathError(mapped.error);
        return Fail(error == ERROR_FILENAME_EXCED_RANGE ? ENAMETOOLONG : (error == ERROR_INVALID_NAME ? EINVAL : ENOENT),
                    error);
    }
    struct stat info;
    if (stat(mapped.linuxPath.c_str(), &info) == 0) {
        // The handset opens no folder as a stream, and honours the read-only attribute.
        if (S_ISDIR(info.st_mode) || (writes && platform::fs::IsReadOnly(info)))
            return Fail(EACCES, ERROR_ACCESS_DENIED);
    }
    const int descriptor = platform::fs::OpenRegularFile(mapped.linuxPath, OpenFlags(linuxMode), 0666);
    FILE* stream = descriptor < 0 ? nullptr : fdopen(descriptor, linuxMode.c_str());
    if (!stream) {
        int error = errno;
        if (descriptor >= 0) close(descriptor);
        return Fail(error, platform::fs::ErrorFromErrno(error, mapped.linuxPath));
    }
    SetLastError(ERROR_SUCCESS);
    return stream;
}

}  // namespace

FILE* _wfopen(const WCHAR* fileName, const WCHAR* mode) {
    if (!fileName || !mode) return Fail(EINVAL, ERROR_INVALID_PARAMETER);
    std::size_t length = 0;
    while (fileName[length] != 0 && length <= MAX_PATH) ++length;
    std::size_t modeLength = 0;
    while (mode[modeLength] != 0 && modeLength < 16) ++modeLength;
    return OpenStream(std::u16string(fileName, length), std::u16string(mode, modeLength));
}

namespace platform {

FILE* OpenHandsetStream(const char* handsetPath, const char* mode) {
    if (!handsetPath || !mode) return Fail(EINVAL, ERROR_INVALID_PARAMETER);
    std::u16string path = Utf8ToUtf16(handsetPath);
    // Text that is not UTF-8 would open a file named with replacement characters.
    if (Utf16ToUtf8(path) != handsetPath) return Fail(EINVAL, ERROR_INVALID_NAME);
    return OpenStream(path, Utf8ToUtf16(mode));
}

}  // namespace platform
