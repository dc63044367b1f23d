// ArchiveDirectory: the merged directory tree of every mounted ".par" archive, folders and
// files kept in ascending case-insensitive name order. Mounting adds entries (a later
// archive's entry replaces an earlier one of the same path); opening and listing look up.
// Each folder finds its children by name through an index, and takes new children in a
// batch that is sorted and merged into its lists once, so that merging n entries costs
// n log n, not n squared.
#pragma once

#include <cstddef>

#include "engine/core/containers/KDLList.h"
#include "engine/core/files/ArchiveNameIndex.h"
#include "engine/core/memory/EngineMemory.h"
#include "platform/base/Types.h"

// Folder and file names are held in fields of this size, terminator included.
constexpr std::size_t kArchiveNameCapacity = 48;

struct ArchiveFileEntry {
    char name[kArchiveNameCapacity];  // first: the sorted insertions read it as the item's name
    DWORD dataOffset;
    DWORD nameOffset;
    DWORD uncompressedSize;
    DWORD compressedSize;
    LONG entryIndex;    // among the archive's local headers, from 0
    LONG archiveIndex;  // slot of the archive table
    const char* archivePath;
};

class ArchiveDirectory : public EngineAllocated {
public:
    ArchiveDirectory() = default;
    // Frees the whole subtree.
    ~ArchiveDirectory() { Clear(); }
    ArchiveDirectory(const ArchiveDirectory&) = delete;
    ArchiveDirectory& operator=(const ArchiveDirectory&) = delete;

    // Destroys every sub-folder and file entry below this folder, without recursion.
    void Clear();
    // Sorts the children added since the last call into `folders` and `files`.
    void MergeAdded();

    char name[kArchiveNameCapacity] = {};  // first: the index and the sorts read it as the item's name
    KDLList folders;                        // of ArchiveDirectory, sorted
    KDLList files;                          // of ArchiveFileEntry, sorted
    KDLList addedFolders;                   // added, not yet merged into `folders`
    KDLList addedFiles;                     // added, not yet merged into `files`
    ArchiveNameIndex folderIndex;           // every folder of `folders` and `addedFolders`
    ArchiveNameIndex fileIndex;             // every file of `files` and `addedFiles`
};

// The root of the mounted archives. It lives for the whole run; its contents are engine
// blocks, so it must be emptied (UnmountAll) before the engine heap is set up again.
ArchiveDirectory& ArchiveRoot();
// Merges the children added to every folder of the tree (MergeAdded); mounting calls it once
// an archive's entries are in. Look-ups and listings need not: they merge what they walk.
void ArchiveMergeAdded();

struct ArchiveEntryFields {
    DWORD dataOffset;
    DWORD nameOffset;
    DWORD uncompressedSize;
    DWORD compressedSize;
    const char* archivePath;
    LONG entryIndex;
    LONG archiveIndex;
};

// Merges one entry into the tree under the root; one leading separator is skipped and '/'
// and '\' both separate. A path ending in a separator (a ZIP folder entry) makes its folders
// and an entry with an empty name in the last. false when a name is 48 characters or longer
// (the entry is skipped and logged) or memory runs out.
bool ArchiveAddFile(const char* entryPath, const ArchiveEntryFields& fields);

// The file entry at `path`, or null.
const ArchiveFileEntry* FindArchiveFile(const char* path);

// Flag of ListArchiveFolder: keep `names` sorted without regard to case.
constexpr DWORD kListSorted = 0x4;

// Appends new EngineString objects to `names`: with no extension (null or empty) the folder's
// sub-folders, otherwise its files ending in '.' + extension (case-insensitive), without
// that ending. A name already in the list is not added again. Every component of the path
// (at most 259 characters, one leading separator ignored) is a folder. 1, or 0 when a folder
// of the path is missing and a folder that sorts after it exists.
int ListArchiveFolder(const char* folderPath, const char* extension, KDLList& names, DWORD flags);
