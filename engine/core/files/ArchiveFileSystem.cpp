// Mounting archives, opening their entries, and loading them into memory.
#include "engine/core/files/ArchiveFileSystem.h"

#include <cstdio>
#include <cstring>

#include "engine/core/files/ArchiveDirectory.h"
#include "engine/core/files/ArchiveScan.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/files/ZipArchive.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/TextCompare.h"
#include "engine/core/text/TextConversion.h"
#include "platform/base/Errors.h"
#include "platform/fs/FileStreams.h"
#include "platform/fs/FindFile.h"

namespace {

constexpr int kWidePathCapacity = 256;

ArchiveSlot slots[kArchiveSlotCount];
int slotCount = 0;
char namePool[kArchiveNamePoolSize];
std::size_t namePoolUsed = 0;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Archive names stay inside the data folder: no absolute path, drive or device, no "..".
bool IsRefusedName(const char* name) {
    if (name[0] == 0 || IsSeparator(name[0]) || std::strchr(name, ':') != nullptr) return true;
    for (const char* at = name; *at != 0;) {
        const char* end = at;
        while (*end != 0 && !IsSeparator(*end)) ++end;
        if (end - at == 2 && at[0] == '.' && at[1] == '.') return true;
        at = *end != 0 ? end + 1 : end;
    }
    return false;
}

struct MountScan {
    const char* archivePath;
    LONG archiveIndex;
};

void AddScannedEntry(const ArchiveHeaderEntry& entry, void* context) {
    const auto& scan = *static_cast<const MountScan*>(context);
    ArchiveAddFile(entry.name, ArchiveEntryFields{entry.dataOffset, entry.nameOffset, entry.uncompressedSize,
                                                  entry.compressedSize, scan.archivePath, entry.entryIndex,
                                                  scan.archiveIndex});
}

void CloseSlot(ArchiveSlot& slot) {
    if (slot.zip != nullptr) ZipCloseArchive(slot.zip);
    slot.zip = nullptr;
    EngineFree(slot.image);
    slot.image = nullptr;
    slot.imageSize = 0;
}

// Reads the slot's file whole and reopens its archive over the image; false leaves the
// slot on its file.
bool LoadSlotIntoMemory(ArchiveSlot& slot) {
    FILE* file = platform::OpenHandsetStream(slot.path, "rb");
    if (file == nullptr) return false;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    BYTE* image = nullptr;
    if (length > 0 && static_cast<unsigned long>(length) <= kMaximumEngineAllocation &&
        std::fseek(file, 0, SEEK_SET) == 0) {
        image = static_cast<BYTE*>(EngineAlloc(static_cast<std::size_t>(length)));
        if (image != nullptr && std::fread(image, 1, static_cast<std::size_t>(length), file) !=
                                    static_cast<std::size_t>(length)) {
            EngineFree(image);
            image = nullptr;
        }
    }
    std::fclose(file);
    if (image == nullptr) return false;
    DWORD result = kZipOk;
    ZipArchive* zip = ZipOpenArchiveImage(image, static_cast<DWORD>(length), &result);
    if (zip == nullptr) {
        KEL_LOG_EXCEPTION("%s: the archive read into memory cannot be opened (zip result 0x%X).", slot.path,
                          static_cast<unsigned>(result));
        EngineFree(image);
        return false;
    }
    CloseSlot(slot);
    slot.zip = zip;
    slot.image = image;
    slot.imageSize = static_cast<DWORD>(length);
    return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Names the find-file pass leaves to the earlier steps, or never mounts.
bool IsSkippedByEnumeration(const char* name) {
    if (std::strlen(name) >= 9 && CompareNoCaseN(name, "arch", 4) == 0 && IsDigit(name[4])) return true;
    if (CompareNoCase(name, "startup.par") == 0) return true;
    return CompareNoCaseN(name, "DLC", 3) == 0;
}

}  // namespace

int MountArchive(const char* name) {
    if (name == nullptr) return 0;
    if (IsRefusedName(name)) {
        KEL_LOG_EXCEPTION("Archive %s is refused: its name leaves the data folder.", name);
        return 0;
    }
    char fullPath[kStreamPathCapacity];
    const int written = std::snprintf(fullPath, sizeof fullPath, "%s%s", DataFolder(), name);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof fullPath) {
        KEL_LOG_EXCEPTION("Archive %s is not mounted: its path is too long.", name);
        return 0;
    }
    FILE* file = platform::OpenHandsetStream(fullPath, "rb");
    if (file == nullptr) {
        // Archives that are not there are skipped silently; one that is there but cannot be
        // opened (a folder, a pipe, a file without read permission) takes its files away.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            KEL_LOG_EXCEPTION("%s is not mounted: it cannot be opened as a file (error %u); its files are missing.",
                              fullPath, static_cast<unsigned>(error));
        return 0;
    }
    const std::size_t pathLength = std::strlen(fullPath);
    if (namePoolUsed + pathLength + 1 >= kArchiveNamePoolSize || slotCount >= kArchiveSlotCount) {
        KEL_LOG_EXCEPTION("%s is not mounted: the archive table is full.", fullPath);
        std::fclose(file);
        return 0;
    }
    WCHAR widePath[kWidePathCapacity];
    Utf8ToWide(widePath, fullPath, kWidePathCapacity);
    DWORD result = kZipOk;
    ZipArchive* zip = ZipOpenArchivePath(widePath, &result);
    if (zip == nullptr) {
        // Its entries could be listed but never read: the archive is left out as a whole.
        KEL_LOG_EXCEPTION("%s is not mounted: it is not a readable ZIP archive (zip result 0x%X).", fullPath,
                          static_cast<unsigned>(result));
        std::fclose(file);
        return 0;
    }
    char* pooled = namePool + namePoolUsed;
    std::memcpy(pooled, fullPath, pathLength + 1);
    namePoolUsed += pathLength + 1;
    slots[slotCount] = ArchiveSlot{pooled, nullptr, nullptr, 0};
    ++slotCount;
    const int archiveIndex = FindArchiveIndex(pooled);
    ArchiveSlot& slot = slots[archiveIndex];
    CloseSlot(slot);
    slot.zip = zip;
    MountScan scan{slot.path, archiveIndex};
    FileByteSource source(file);
    ScanLocalHeaders(source, AddScannedEntry, &scan);
    std::fclose(file);
    ArchiveMergeAdded();
    return 1;
}

void MountArchives() {
    MountArchive("startup.par");
    for (int number = 0; number < 20; ++number) {
        char name[24];  // room for any int, as the compiler counts it
        std::snprintf(name, sizeof name, "arch%d.par", number);
        MountArchive(name);
    }
    char pattern[kStreamPathCapacity];
    const int written = std::snprintf(pattern, sizeof pattern, "%s*.par", DataFolder());
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof pattern) return;
    WCHAR widePattern[kStreamPathCapacity];
    Utf8ToWide(widePattern, pattern, kStreamPathCapacity);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(widePattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        char name[kWidePathCapacity];
        if (WideToUtf8(name, found.cFileName, sizeof name) == 0) continue;
        if (!IsSkippedByEnumeration(name)) MountArchive(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

ArchiveOpenResult OpenInArchive(const char* path, ArchiveEntryImage& image) {
    const ArchiveFileEntry* entry = FindArchiveFile(path);
    if (entry == nullptr) return ArchiveOpenResult::NotFound;
    const ArchiveSlot* slot = ArchiveSlotAt(entry->archiveIndex);
    if (slot == nullptr || slot->zip == nullptr) {
        KEL_LOG_EXCEPTION("%s: its archive is no longer open.", path);
        return ArchiveOpenResult::Unreadable;
    }
    void* buffer = nullptr;
    if (entry->uncompressedSize > 0) {
        buffer = EngineAlloc(entry->uncompressedSize);
        if (buffer == nullptr) {
            KEL_LOG_EXCEPTION("%s: no memory for its %u bytes from %s.", path,
                              static_cast<unsigned>(entry->uncompressedSize), entry->archivePath);
            return ArchiveOpenResult::Unreadable;
        }
    }
    // The entry the directory holds must be the local header the mount walked, and must
    // fill exactly the size that header recorded: a header whose sizes follow the data can
    // claim more than the directory's entry holds.
    const ZipEntryPlace place{entry->nameOffset, entry->dataOffset};
    DWORD extracted = 0;
    const DWORD result =
        ZipExtractEntry(slot->zip, entry->entryIndex, buffer, entry->uncompressedSize, &extracted, &place);
    if (result != kZipOk) {
        KEL_LOG_EXCEPTION("%s: entry %d of %s cannot be extracted (zip result 0x%X).", path,
                          static_cast<int>(entry->entryIndex), entry->archivePath, static_cast<unsigned>(result));
        EngineFree(buffer);
        return ArchiveOpenResult::Unreadable;
    }
    if (extracted != entry->uncompressedSize) {
        KEL_LOG_EXCEPTION("%s: entry %d of %s holds %u bytes where its local header records %u.", path,
                          static_cast<int>(entry->entryIndex), entry->archivePath, static_cast<unsigned>(extracted),
                          static_cast<unsigned>(entry->uncompressedSize));
        EngineFree(buffer);
        return ArchiveOpenResult::Unreadable;
    }
    image.buffer = buffer;
    image.size = entry->uncompressedSize;
    image.base = entry->dataOffset;
    return ArchiveOpenResult::Found;
}

int FindArchiveIndex(const char* fullPath) {
    for (int index = 0; index < slotCount; ++index)
        if (CompareNoCase(slots[index].path, fullPath) == 0) return index;
    return -1;
}

int LoadArchivesIntoMemory() {
    // Slots without an archive (a path mounted again) hold nothing that is read.
    for (int index = 0; index < slotCount; ++index)
        if (slots[index].image == nullptr && slots[index].zip != nullptr) LoadSlotIntoMemory(slots[index]);
    return 1;
}

int LoadStartupArchive() {
    char fullPath[kStreamPathCapacity];
    const int written = std::snprintf(fullPath, sizeof fullPath, "%sstartup.par", DataFolder());
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof fullPath) return 0;
    for (int index = 0; index < slotCount; ++index) {
        ArchiveSlot& slot = slots[index];
        if (slot.image != nullptr || slot.zip == nullptr || CompareNoCase(slot.path, fullPath) != 0) continue;
        if (LoadSlotIntoMemory(slot)) return 1;
    }
    return 0;
}

void UnmountAll() {
    ArchiveRoot().Clear();
    for (int index = 0; index < slotCount; ++index) CloseSlot(slots[index]);
}

void ResetArchiveTable() {
    for (int index = 0; index < slotCount; ++index) CloseSlot(slots[index]);
    std::memset(slots, 0, sizeof slots);
    slotCount = 0;
    namePoolUsed = 0;
}

int MountedArchiveCount() { return slotCount; }

const ArchiveSlot* ArchiveSlotAt(int index) {
    if (index < 0 || index >= slotCount) return nullptr;
    return &slots[index];
}
