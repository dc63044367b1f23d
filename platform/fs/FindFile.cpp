// FindFirstFileW / FindNextFileW / FindClose. The folder is read once when the find
// starts, so that the entries come in a stable order whatever changes meanwhile.
#include "platform/fs/FindFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/base/HandsetRoot.h"
#include "platform/base/WideString.h"
#include "platform/fs/FsSupport.h"

namespace {

struct FoundEntry {
    std::u16string name;
    std::u16string folded;  // for the order without case
    WIN32_FIND_DATAW data;
};

class FindObject : public platform::KernelObject {
public:
    explicit FindObject(std::vector<FoundEntry> entries) : entries_(std::move(entries)) {}

    // Copies the next entry; false when none is left.
    bool Next(WIN32_FIND_DATAW& data) {
        std::lock_guard<std::mutex> guard(lock_);
        if (next_ >= entries_.size()) return false;
        data = entries_[next_++].data;
        return true;
    }

private:
    std::mutex lock_;
    std::vector<FoundEntry> entries_;
    std::size_t next_ = 0;
};

std::u16string Fold(const std::u16string& text) {
    std::u16string folded = text;
    for (auto& c : folded) c = towlower(c);
    return folded;
}

bool WildcardMatch(std::u16string_view pattern, std::u16string_view name) {
    // Iterative, with one remembered star: no recursion and quadratic at worst.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::u16string_view::npos;
    std::size_t resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || towlower(pattern[p]) == towlower(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

// A Linux name the handset could not name (not UTF-8, a character the handset forbids,
// too long for cFileName) is left out: no handset path could open it.
bool IsHandsetName(const std::string& name, std::u16string& wide) {
    wide = platform::Utf8ToUtf16(name);
    return wide.size() < MAX_PATH && platform::Utf16ToUtf8(wide) == name && platform::IsValidHandsetName(wide);
}

WIN32_FIND_DATAW RecordFor(const std::u16string& name, const platform::fs::EntryStatus& status) {
    WIN32_FIND_DATAW data{};
    data.dwFileAttributes = status.attributes;
    data.ftCreationTime = status.creationTime;
    data.ftLastAccessTime = status.lastAccessTime;
    data.ftLastWriteTime = status.lastWriteTime;
    data.nFileSizeHigh = static_cast<DWORD>(status.size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(status.size & 0xFFFFFFFFu);
    data.dwOID = static_cast<DWORD>(status.identifier & 0xFFFFFFFFu);
    std::copy(name.begin(), name.end(), data.cFileName);
    data.cFileName[name.size()] = 0;
    return data;
}

}  // namespace

namespace platform {

bool MatchesFindPattern(const std::u16string& pattern, const std::u16string& name) {
    if (WildcardMatch(pattern, name)) return true;
    // The handset's old rule: "name.*" also finds "name".
    std::u16string_view view = pattern;
    return view.size() >= 2 && view.substr(view.size() - 2) == u".*" &&
           WildcardMatch(view.substr(0, view.size() - 2), name);
}

}  // namespace platform

HANDLE FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData) {
    if (!fileName || !findData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::size_t length = 0;
    while (fileName[length] != 0 && length <= MAX_PATH) ++length;
    platform::MappedPattern mapped = platform::MapHandsetFindPattern(std::u16string(fileName, length));
    if (mapped.folder.error != platform::PathError::None) {
        SetLastError(platform::fs::ErrorForPathError(mapped.folder.error));
        return INVALID_HANDLE_VALUE;
    }
    DIR* folder = opendir(mapped.folder.linuxPath.c_str());
    if (!folder) {
        SetLastError(errno == ENOENT || errno == ENOTDIR
                         ? ERROR_PATH_NOT_FOUND
                         : platform::fs::ErrorFromErrno(errno, mapped.folder.linuxPath));
        return INVALID_HANDLE_VALUE;
    }
    std::vector<FoundEntry> entries;
    while (const dirent* entry = readdir(folder)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        std::u16string wide;
        if (!IsHandsetName(name, wide) || !platform::MatchesFindPattern(mapped.pattern, wide)) continue;
        platform::fs::EntryStatus status;
        // An entry that vanished since, or a link to nowhere, is not listed.
        if (!platform::fs::ReadEntryStatus(dirfd(folder), name.c_str(), 0, status)) continue;
        entries.push_back(FoundEntry{wide, Fold(wide), RecordFor(wide, status)});
    }
    closedir(folder);
    if (entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::sort(entries.begin(), entries.end(), [](const FoundEntry& a, const FoundEntry& b) {
        return a.folded != b.folded ? a.folded < b.folded : a.name < b.name;
    });
    auto* object = new FindObject(std::move(entries));
    object->Next(*findData);
    HANDLE handle = platform::RegisterKernelObject(object);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL FindNextFileW(HANDLE findFile, LPWIN32_FIND_DATAW findData) {
    auto* object = platform::KernelObjectAs<FindObject>(findFile);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!findData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!object->Next(*findData)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL FindClose(HANDLE findFile) {
    if (!platform::KernelObjectAs<FindObject>(findFile)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(findFile);
}
