// The archive directory tree: merging entries, looking paths up, listing folders.
#include "engine/core/files/ArchiveDirectory.h"

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <new>

#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/SortedNames.h"
#include "engine/core/text/TextCompare.h"

static_assert(offsetof(ArchiveDirectory, name) == 0, "sorted insertion reads a folder as its name");
static_assert(offsetof(ArchiveFileEntry, name) == 0, "file entries start with their name");

namespace {

constexpr std::size_t kListPathLimit = 259;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Walks the '/'- or '\'-separated components of a text, skipping empty ones.
class ComponentReader {
public:
    ComponentReader(const char* text, std::size_t length) : at_(text), end_(text + length) {}
    // The next component, or false at the end.
    bool Next(const char*& start, std::size_t& length) {
        while (at_ < end_ && IsSeparator(*at_)) ++at_;
        if (at_ == end_) return false;
        start = at_;
        while (at_ < end_ && !IsSeparator(*at_)) ++at_;
        length = static_cast<std::size_t>(at_ - start);
        return true;
    }

private:
    const char* at_;
    const char* end_;
};

// A component as a zero-terminated field; false when it does not fit in one.
bool ToField(const char* start, std::size_t length, char (&field)[kArchiveNameCapacity]) {
    if (length >= kArchiveNameCapacity) return false;
    std::memcpy(field, start, length);
    field[length] = 0;
    return true;
}

int CompareNames(const void* item, const void* other) {
    return CompareNoCase(static_cast<const char*>(item), static_cast<const char*>(other));
}

// The sub-folder `name`, or null; `laterExists` tells whether a sub-folder sorts after it.
ArchiveDirectory* FindFolder(ArchiveDirectory& folder, const char* name, bool& laterExists) {
    auto* child = static_cast<ArchiveDirectory*>(folder.folderIndex.Find(name));
    laterExists = false;
    if (child == nullptr) {
        folder.MergeAdded();
        laterExists = folder.folders.tail != nullptr &&
                      CompareNoCase(static_cast<ArchiveDirectory*>(folder.folders.tail->item)->name, name) > 0;
    }
    return child;
}

ArchiveDirectory* FindOrMakeFolder(ArchiveDirectory& folder, const char* name) {
    if (auto* child = static_cast<ArchiveDirectory*>(folder.folderIndex.Find(name))) return child;
    auto* child = new ArchiveDirectory;
    if (child == nullptr) return nullptr;
    std::memcpy(child->name, name, std::strlen(name) + 1);
    if (ListAppend(folder.addedFolders, child) == nullptr) {
        delete child;
        return nullptr;
    }
    if (!folder.folderIndex.Add(child)) {
        ListPopBack(folder.addedFolders);
        delete child;
        return nullptr;
    }
    return child;
}

// Splits a path (one leading separator skipped) at its last separator.
void SplitPath(const char* path, const char*& folder, std::size_t& folderLength, const char*& file) {
    if (IsSeparator(path[0])) ++path;
    const char* last = nullptr;
    for (const char* at = path; *at != 0; ++at)
        if (IsSeparator(*at)) last = at;
    folder = path;
    folderLength = last != nullptr ? static_cast<std::size_t>(last - path) : 0;
    file = last != nullptr ? last + 1 : path;
}

// The folder at the end of a folder path, or null when a component is missing.
ArchiveDirectory* WalkFolders(const char* path, std::size_t length, bool& laterExists) {
    laterExists = false;
    ArchiveDirectory* folder = &ArchiveRoot();
    ComponentReader components(path, length);
    const char* start = nullptr;
    std::size_t componentLength = 0;
    while (components.Next(start, componentLength)) {
        char field[kArchiveNameCapacity];
        if (!ToField(start, componentLength, field)) return nullptr;
        folder = FindFolder(*folder, field, laterExists);
        if (folder == nullptr) return nullptr;
    }
    return folder;
}

bool ListHoldsName(const KDLList& names, const char* name) {
    for (KDLLink* link = names.head; link != nullptr; link = link->next)
        if (CompareNoCase(static_cast<EngineString*>(link->item)->Text(), name) == 0) return true;
    return false;
}

void AddName(KDLList& names, const char* name, std::size_t length, DWORD flags) {
    EngineString text = EngineString::FromCharsN(name, static_cast<int>(length));
    if (ListHoldsName(names, text.Text())) return;
    EngineString* item = EngineString::New(text.Text());
    if (item == nullptr) return;
    KDLLink* link = (flags & kListSorted) != 0 ? ListInsertSortedByKey(names, item) : ListAppend(names, item);
    if (link == nullptr) EngineString::Delete(item);
}

}  // namespace

void ArchiveDirectory::Clear() {
    // Folders to empty are kept on a list rather than on the call stack: entry paths can
    // nest thousands of folders deep.
    KDLList pending;
    ArchiveDirectory* folder = this;
    for (;;) {
        folder->folderIndex.Clear();
        folder->fileIndex.Clear();
        ListFreeAll(folder->files);  // the file entries are plain engine blocks
        ListFreeAll(folder->addedFiles);
        for (KDLList* children : {&folder->folders, &folder->addedFolders})
            for (void* child = ListPopBack(*children); child != nullptr; child = ListPopBack(*children))
                ListAppend(pending, child);
        if (folder != this) delete folder;  // empty now, so its own Clear does nothing
        folder = static_cast<ArchiveDirectory*>(ListPopBack(pending));
        if (folder == nullptr) break;
    }
}

void ArchiveDirectory::MergeAdded() {
    if (addedFolders.head != nullptr) {
        ListSort(addedFolders, CompareNames);
        ListMergeSorted(folders, addedFolders, CompareNames);
    }
    if (addedFiles.head != nullptr) {
        ListSort(addedFiles, CompareNames);
        ListMergeSorted(files, addedFiles, CompareNames);
    }
}

ArchiveDirectory& ArchiveRoot() {
    // Never destroyed: at exit the engine heap may already be gone.
    alignas(ArchiveDirectory) static unsigned char storage[sizeof(ArchiveDirectory)];
    static ArchiveDirectory* root = ::new (storage) ArchiveDirectory;
    return *root;
}

void ArchiveMergeAdded() {
    // Every folder is visited once, through a list rather than the call stack.
    KDLList pending;
    ArchiveDirectory* folder = &ArchiveRoot();
    while (folder != nullptr) {
        folder->MergeAdded();
        for (KDLLink* link = folder->folders.head; link != nullptr; link = link->next)
            if (ListAppend(pending, link->item) == nullptr) break;
        folder = static_cast<ArchiveDirectory*>(ListPopBack(pending));
    }
}

bool ArchiveAddFile(const char* entryPath, const ArchiveEntryFields& fields) {
    const char* folderPath = nullptr;
    std::size_t folderLength = 0;
    const char* fileName = nullptr;
    SplitPath(entryPath, folderPath, folderLength, fileName);
    char fileField[kArchiveNameCapacity];
    if (!ToField(fileName, std::strlen(fileName), fileField)) {
        KEL_LOG_EXCEPTION("%s: archive entry %s is skipped: its name is 48 characters or longer.", fields.archivePath,
                          entryPath);
        return false;
    }
    // Every folder name is checked before any folder is made, so a skipped entry leaves no
    // empty folders behind.
    ComponentReader check(folderPath, folderLength);
    const char* start = nullptr;
    std::size_t length = 0;
    while (check.Next(start, length)) {
        if (length >= kArchiveNameCapacity) {
            KEL_LOG_EXCEPTION("%s: archive entry %s is skipped: a folder name is 48 characters or longer.",
                              fields.archivePath, entryPath);
            return false;
        }
    }
    ArchiveDirectory* folder = &ArchiveRoot();
    ComponentReader components(folderPath, folderLength);
    while (components.Next(start, length)) {
        char field[kArchiveNameCapacity];
        ToField(start, length, field);
        folder = FindOrMakeFolder(*folder, field);
        if (folder == nullptr) return false;
    }
    auto* file = static_cast<ArchiveFileEntry*>(folder->fileIndex.Find(fileField));
    if (file == nullptr) {
        file = static_cast<ArchiveFileEntry*>(EngineAlloc(sizeof(ArchiveFileEntry)));
        if (file == nullptr) return false;
        std::memcpy(file->name, fileField, sizeof fileField);
        if (ListAppend(folder->addedFiles, file) == nullptr) {
            EngineFree(file);
            return false;
        }
        if (!folder->fileIndex.Add(file)) {
            ListPopBack(folder->addedFiles);
            EngineFree(file);
            return false;
        }
    }
    // A later archive's entry of the same path replaces the earlier one, name included.
    std::memcpy(file->name, fileField, sizeof fileField);
    file->dataOffset = fields.dataOffset;
    file->nameOffset = fields.nameOffset;
    file->uncompressedSize = fields.uncompressedSize;
    file->compressedSize = fields.compressedSize;
    file->entryIndex = fields.entryIndex;
    file->archiveIndex = fields.archiveIndex;
    file->archivePath = fields.archivePath;
    return true;
}

const ArchiveFileEntry* FindArchiveFile(const char* path) {
    if (path == nullptr) return nullptr;
    const char* folderPath = nullptr;
    std::size_t folderLength = 0;
    const char* fileName = nullptr;
    SplitPath(path, folderPath, folderLength, fileName);
    char fileField[kArchiveNameCapacity];
    if (!ToField(fileName, std::strlen(fileName), fileField)) return nullptr;
    bool laterExists = false;
    ArchiveDirectory* folder = WalkFolders(folderPath, folderLength, laterExists);
    if (folder == nullptr) return nullptr;
    return static_cast<const ArchiveFileEntry*>(folder->fileIndex.Find(fileField));
}

int ListArchiveFolder(const char* folderPath, const char* extension, KDLList& names, DWORD flags) {
    if (folderPath == nullptr) folderPath = "";
    if (IsSeparator(folderPath[0])) ++folderPath;
    const std::size_t pathLength = strnlen(folderPath, kListPathLimit + 1);
    if (pathLength > kListPathLimit) return 1;  // no folder of the tree can have such a path
    bool laterExists = false;
    ArchiveDirectory* folder = WalkFolders(folderPath, pathLength, laterExists);
    if (folder == nullptr) return laterExists ? 0 : 1;
    folder->MergeAdded();
    if (extension == nullptr || extension[0] == 0) {
        for (KDLLink* link = folder->folders.head; link != nullptr; link = link->next) {
            const char* name = static_cast<ArchiveDirectory*>(link->item)->name;
            AddName(names, name, std::strlen(name), flags);
        }
        return 1;
    }
    const std::size_t extensionLength = std::strlen(extension);
    for (KDLLink* link = folder->files.head; link != nullptr; link = link->next) {
        const char* name = static_cast<ArchiveFileEntry*>(link->item)->name;
        const std::size_t length = std::strlen(name);
        if (length < extensionLength + 1) continue;
        const std::size_t dot = length - extensionLength - 1;
        if (name[dot] != '.' || CompareNoCase(name + dot + 1, extension) != 0) continue;
        AddName(names, name, dot, flags);
    }
    return 1;
}
