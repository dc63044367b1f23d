// The archive file system: mounts the game's ".par" archives from the data folder into one
// directory tree (ArchiveDirectory), opens files inside them for FileStream, and can load
// whole archives into memory so that the files on the card are no longer read.
#pragma once

#include <cstddef>

#include "platform/base/Types.h"

struct ZipArchive;

constexpr int kArchiveSlotCount = 256;
constexpr std::size_t kArchiveNamePoolSize = 4096;

// One slot of the archive table.
struct ArchiveSlot {
    const char* path;    // full path, in the name pool
    ZipArchive* zip;     // null when closed
    BYTE* image;         // the whole archive in engine memory, or null while it is read from its file
    DWORD imageSize;
};

// The start-up sequence; later mounts win: "startup.par", then "arch0.par" to "arch19.par",
// then every other "*.par" of the data folder except "arch<digit>..." names and names that
// begin with "DLC".
void MountArchives();

// Mounts data folder + name. 1 when mounted (also when the header walk stopped early); 0
// when the file cannot be opened, is not a ZIP archive, the name pool or the table is full,
// or the name is refused (a ".." component or an absolute path: archives stay in the data
// folder). Mounting a path again re-adds its entries under its first slot.
int MountArchive(const char* name);

enum class ArchiveOpenResult {
    NotFound,    // not in any archive: the disk is tried
    Found,       // extracted into the image
    Unreadable,  // in an archive but it cannot be extracted (logged); the open fails
};
// An extracted entry: `buffer` is an engine allocation of `size` bytes (null for 0) that the
// caller owns; `base` is the entry's data offset in its archive.
struct ArchiveEntryImage {
    void* buffer = nullptr;
    DWORD size = 0;
    DWORD base = 0;
};
// Looks the path up in the tree and extracts the entry into `image` (FileStream::Open reads
// it as a memory image).
ArchiveOpenResult OpenInArchive(const char* path, ArchiveEntryImage& image);

// The first slot whose full path equals `fullPath` without regard to case; -1 when none.
int FindArchiveIndex(const char* fullPath);

// Reads every mounted archive whole into memory and reopens it over the image; an archive
// that cannot be read whole stays on its file. 1.
int LoadArchivesIntoMemory();
// The same for the first mounted "startup.par" only; 1 when it was loaded, else 0.
int LoadStartupArchive();

// Destroys the directory tree, closes every archive and frees every image.
void UnmountAll();
// Empties the table and the name pool.
void ResetArchiveTable();

int MountedArchiveCount();
// Null outside 0 .. MountedArchiveCount() - 1.
const ArchiveSlot* ArchiveSlotAt(int index);
