// Folder listings over the disk and the archives, and the application's file opening.
#include "engine/app/AppFiles.h"

#include <cstdio>
#include <cstring>

#include "engine/core/files/ArchiveDirectory.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/TextConversion.h"
#include "platform/fs/FindFile.h"

namespace {

// Entries the listings leave out.
constexpr DWORD kUnlistedAttribute = 0x1000;

bool FormatPattern(char* pattern, std::size_t capacity, const char* folder, const char* extension, bool absolute) {
    const bool hasExtension = extension != nullptr && extension[0] != 0;
    const char* base = absolute ? "" : DataFolder();
    const int written = hasExtension ? std::snprintf(pattern, capacity, "%s%s\\*.%s", base, folder, extension)
                                     : std::snprintf(pattern, capacity, "%s%s\\*.*", base, folder);
    return written >= 0 && static_cast<std::size_t>(written) < capacity;
}

void AppendWithoutExtension(KDLList& names, const char* name) {
    const char* dot = std::strrchr(name, '.');
    const int length = dot != nullptr ? static_cast<int>(dot - name) : static_cast<int>(std::strlen(name));
    auto* entry = new EngineString(EngineString::FromCharsN(name, length));
    if (entry == nullptr) return;
    if (ListAppend(names, entry) == nullptr) delete entry;
}

void ListDisk(const char* folder, const char* extension, KDLList& names, DWORD flags) {
    const bool wantFiles = extension != nullptr && extension[0] != 0;
    char pattern[kStreamPathCapacity];
    if (!FormatPattern(pattern, sizeof pattern, folder, extension, (flags & kListAbsoluteFolder) != 0)) return;
    WCHAR widePattern[kStreamPathCapacity];
    Utf8ToWide(widePattern, pattern, kStreamPathCapacity);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(widePattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder == wantFiles || (found.dwFileAttributes & kUnlistedAttribute) != 0) continue;
        char name[MAX_PATH * 3];
        if (WideToUtf8(name, found.cFileName, sizeof name) == 0 || name[0] == '.') continue;
        AppendWithoutExtension(names, name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

int ListFiles(const char* folder, const char* extension, KDLList& names, DWORD flags) {
    if (folder == nullptr) folder = "";
    if ((flags & kListDiskEntries) != 0) ListDisk(folder, extension, names, flags);
    ListArchiveFolder(folder, extension, names, flags);
    return 1;
}

int OpenFile(const char* path, DWORD flags, FileStream& stream) {
    DWORD streamFlags = 0;
    if ((flags & kOpenForWriting) != 0) streamFlags |= kStreamWrite;
    if ((flags & kOpenAbsolutePath) != 0) streamFlags |= kStreamAbsolutePath;
    return stream.Open(path, streamFlags);
}
