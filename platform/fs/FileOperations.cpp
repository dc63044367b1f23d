// GetFileAttributesW, DeleteFileW, MoveFileW, CopyFileW and DeleteAndRenameFile over Linux
// calls.
#include "platform/fs/FileOperations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/fs/FsSupport.h"

namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL Succeed() {
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

std::string FolderOf(const std::string& linuxPath) { return linuxPath.substr(0, linuxPath.find_last_of('/')); }

// The target's last component with the case the caller wrote: the mapping gives the case
// found on disk, which a rename that only changes case must not keep.
std::string TargetWithGivenCase(const platform::MappedPath& target) {
    std::u16string name = target.handset.substr(target.handset.find_last_of(u'\\') + 1);
    return FolderOf(target.linuxPath) + "/" + platform::Utf16ToUtf8(name);
}

bool SameEntry(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// rename without replacing; file systems that lack the flag get a check before the rename.
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    struct stat info;
    if (lstat(to.c_str(), &info) == 0) {
        errno = EEXIST;
        return -1;
    }
    return rename(from.c_str(), to.c_str());
}

// Copies every byte of `source` to `target`; false with errno set on failure.
bool CopyContents(int source, int target) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ssize_t got = read(source, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) return true;
        ssize_t done = 0;
        while (done < got) {
            ssize_t put = write(target, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += put;
        }
    }
}

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor() {
        if (descriptor_ >= 0) close(descriptor_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return descriptor_; }

private:
    int descriptor_;
};

}  // namespace

DWORD GetFileAttributesW(LPCWSTR fileName) {
    auto mapped = platform::fs::MapForCall(fileName);
    if (!mapped) return INVALID_FILE_ATTRIBUTES;
    platform::fs::EntryStatus status;
    if (!platform::fs::ReadEntryStatus(AT_FDCWD, mapped->linuxPath.c_str(), 0, status)) {
        SetLastError(platform::fs::ErrorFromErrno(errno, mapped->linuxPath));
        return INVALID_FILE_ATTRIBUTES;
    }
    SetLastError(ERROR_SUCCESS);
    return status.attributes;
}

BOOL DeleteFileW(LPCWSTR fileName) {
    auto mapped = platform::fs::MapForCall(fileName);
    if (!mapped) return FALSE;
    struct stat info;
    if (lstat(mapped->linuxPath.c_str(), &info) != 0) return platform::fs::FailFromErrno(mapped->linuxPath);
    if (S_ISDIR(info.st_mode) || platform::fs::IsReadOnly(info)) return Fail(ERROR_ACCESS_DENIED);
    if (unlink(mapped->linuxPath.c_str()) != 0) return platform::fs::FailFromErrno(mapped->linuxPath);
    return Succeed();
}

BOOL MoveFileW(LPCWSTR existingFileName, LPCWSTR newFileName) {
    auto source = platform::fs::MapForCall(existingFileName);
    if (!source) return FALSE;
    auto target = platform::fs::MapForCall(newFileName);
    if (!target) return FALSE;
    if (platform::fs::IsHandsetRoot(*source)) return Fail(ERROR_ACCESS_DENIED);
    if (platform::fs::IsHandsetRoot(*target)) return Fail(ERROR_ALREADY_EXISTS);
    struct stat sourceInfo;
    if (lstat(source->linuxPath.c_str(), &sourceInfo) != 0) return platform::fs::FailFromErrno(source->linuxPath);

    std::string targetPath = target->linuxPath;
    struct stat targetInfo;
    if (lstat(targetPath.c_str(), &targetInfo) == 0) {
        if (!SameEntry(sourceInfo, targetInfo)) return Fail(ERROR_ALREADY_EXISTS);
        // The target is the source itself, found without case: a change of case.
        targetPath = TargetWithGivenCase(*target);
        if (targetPath == source->linuxPath) return Succeed();
    }
    if (RenameNoReplace(source->linuxPath, targetPath) != 0) {
        if (errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
        // A folder moved into itself.
        if (errno == EINVAL) return Fail(ERROR_ACCESS_DENIED);
        return platform::fs::FailFromErrno(targetPath);
    }
    return Succeed();
}

BOOL CopyFileW(LPCWSTR existingFileName, LPCWSTR newFileName, BOOL failIfExists) {
    auto source = platform::fs::MapForCall(existingFileName);
    if (!source) return FALSE;
    auto target = platform::fs::MapForCall(newFileName);
    if (!target) return FALSE;
    if (platform::fs::IsHandsetRoot(*source)) return Fail(ERROR_ACCESS_DENIED);
    if (platform::fs::IsHandsetRoot(*target)) return Fail(failIfExists ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED);

    Descriptor input(platform::fs::OpenRegularFile(source->linuxPath, O_RDONLY));
    if (input.Get() < 0) return platform::fs::FailFromErrno(source->linuxPath);
    struct stat sourceInfo;
    if (fstat(input.Get(), &sourceInfo) != 0) return platform::fs::FailFromErrno(source->linuxPath);

    struct stat targetInfo;
    if (lstat(target->linuxPath.c_str(), &targetInfo) == 0) {
        if (failIfExists) return Fail(ERROR_FILE_EXISTS);
        if (S_ISDIR(targetInfo.st_mode) || platform::fs::IsReadOnly(targetInfo)) return Fail(ERROR_ACCESS_DENIED);
    }

    std::string temporary = FolderOf(target->linuxPath) + "/.handset-copy-XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    Descriptor output(mkostemp(name.data(), O_CLOEXEC));
    if (output.Get() < 0) return platform::fs::FailFromErrno(target->linuxPath);
    temporary = name.data();

    bool copied = CopyContents(input.Get(), output.Get());
    int copyError = errno;
    if (copied) {
        mode_t mode = platform::fs::IsReadOnly(sourceInfo) ? 0444 : 0644;
        timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
        copied = fchmod(output.Get(), mode) == 0 && futimens(output.Get(), times) == 0;
        copyError = errno;
    }
    int placed = -1;
    if (copied) {
        placed = failIfExists ? RenameNoReplace(temporary, target->linuxPath)
                              : rename(temporary.c_str(), target->linuxPath.c_str());
        copyError = errno;
    }
    if (placed != 0) {
        unlink(temporary.c_str());
        if (copied && copyError == EEXIST) return Fail(ERROR_FILE_EXISTS);
        SetLastError(platform::fs::ErrorFromErrno(copyError, target->linuxPath));
        return FALSE;
    }
    return Succeed();
}

BOOL DeleteAndRenameFile(LPCWSTR destinationFileName, LPCWSTR sourceFileName) {
    auto destination = platform::fs::MapForCall(destinationFileName);
    if (!destination) return FALSE;
    auto source = platform::fs::MapForCall(sourceFileName);
    if (!source) return FALSE;
    if (platform::fs::IsHandsetRoot(*source) || platform::fs::IsHandsetRoot(*destination))
        return Fail(ERROR_ACCESS_DENIED);
    struct stat sourceInfo;
    if (lstat(source->linuxPath.c_str(), &sourceInfo) != 0) return platform::fs::FailFromErrno(source->linuxPath);
    if (!S_ISREG(sourceInfo.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    struct stat destinationInfo;
    if (lstat(destination->linuxPath.c_str(), &destinationInfo) != 0)
        return platform::fs::FailFromErrno(destination->linuxPath);
    if (!S_ISREG(destinationInfo.st_mode) || platform::fs::IsReadOnly(destinationInfo)) return Fail(ERROR_ACCESS_DENIED);
    if (SameEntry(sourceInfo, destinationInfo)) return Succeed();
    // rename(2) replaces the entry atomically.
    if (rename(source->linuxPath.c_str(), destination->linuxPath.c_str()) != 0)
        return platform::fs::FailFromErrno(destination->linuxPath);
    // The new entry must outlive a power cut as the file's bytes do.
    Descriptor folder(open(FolderOf(destination->linuxPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) fsync(folder.Get());
    return Succeed();
}
