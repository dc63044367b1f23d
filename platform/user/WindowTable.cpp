// The shared top-level window table: a file <root>/run/windows.table mapped by every
// process, guarded by an exclusive file lock (which the kernel releases when a process
// dies) and, within a process, by a mutex.
#include "platform/user/WindowTable.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

#include "platform/base/HandsetRoot.h"
#include "platform/base/WideString.h"
#include "platform/process/ProcessIdentity.h"

namespace platform::user::window_table {

namespace {

constexpr std::uint32_t kMagic = 0x54574848;  // "HHWT"
constexpr std::uint32_t kVersion = 1;
constexpr std::uint32_t kCapacity = 1024;

// The layout is shared only by processes of this build on this machine; the header's
// magic, version and sizes make a table of another layout start afresh.
struct SharedHeader {
    std::uint32_t magic;
    std::uint32_t version;
    std::uint32_t capacity;
    std::uint32_t entrySize;
    std::uint64_t foreground;
    std::int64_t topZ;
    std::int64_t bottomZ;
    std::uint64_t reserved[3];
};

struct SharedEntry {
    std::uint64_t window;  // 0: a free slot
    std::uint64_t owner;
    std::uint64_t processStart;
    std::int64_t z;  // larger is nearer the top
    std::uint32_t processId;
    std::uint32_t threadId;
    std::uint32_t style;
    std::uint32_t exStyle;
    std::uint32_t visible;
    std::uint32_t titleLength;  // of the whole title
    std::uint64_t titleHash;    // of the whole title
    std::uint32_t classLength;
    std::uint32_t reserved;
    char16_t className[kMaxClassNameChars + 1];
    char16_t title[kTableTitleChars + 1];
};

constexpr DWORD kTopmostStyle = 0x00000008;  // WS_EX_TOPMOST

std::uint64_t TitleHash(const char16_t* text, std::size_t length) {
    std::uint64_t hash = 1469598103934665603ull;
    for (std::size_t i = 0; i < length; ++i) {
        hash ^= static_cast<std::uint16_t>(text[i]);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::uint64_t HandleValue(HWND window) { return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window)); }
HWND HandleOf(std::uint64_t value) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value)); }

// The length comes from the shared file: one beyond the field (only damage makes it so)
// matches nothing rather than reading on into the title and the next entry.
bool SameClassName(const SharedEntry& entry, const char16_t* name, std::size_t length) {
    if (entry.classLength != length || length > kMaxClassNameChars) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (towlower(entry.className[i]) != towlower(name[i])) return false;
    return true;
}

void StoreTitle(SharedEntry& entry, const std::u16string& title) {
    std::size_t kept = std::min(title.size(), kTableTitleChars);
    std::memcpy(entry.title, title.data(), kept * sizeof(char16_t));
    entry.title[kept] = 0;
    entry.titleLength = static_cast<std::uint32_t>(std::min<std::size_t>(title.size(), UINT32_MAX));
    entry.titleHash = TitleHash(title.data(), title.size());
}

TopLevelEntry ToEntry(const SharedEntry& shared) {
    TopLevelEntry entry;
    entry.window = HandleOf(shared.window);
    entry.owner = HandleOf(shared.owner);
    entry.processId = shared.processId;
    entry.threadId = shared.threadId;
    entry.style = shared.style;
    entry.exStyle = shared.exStyle;
    entry.visible = shared.visible != 0;
    entry.className.assign(shared.className, std::min<std::size_t>(shared.classLength, kMaxClassNameChars));
    entry.title.assign(shared.title, std::min<std::size_t>(shared.titleLength, kTableTitleChars));
    return entry;
}

class Table {
public:
    // Runs `work` on the mapped table of the current root with both locks held; false when
    // the table cannot be opened.
    template <typename Work>
    bool With(Work&& work) {
        std::lock_guard<std::mutex> guard(mutex_);
        if (!OpenForRoot(HandsetRoot())) return false;
        if (flock(fd_, LOCK_EX) != 0) return false;
        work(*header_, entries_);
        flock(fd_, LOCK_UN);
        return true;
    }

private:
    bool OpenForRoot(const std::string& root) {
        if (fd_ >= 0 && root == root_) return true;
        Close();
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(root) / "run", ignored);
        std::string path = (std::filesystem::path(root) / "run" / "windows.table").string();
        int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) return Unusable(path, errno);
        const std::uint64_t size = sizeof(SharedHeader) + std::uint64_t{kCapacity} * sizeof(SharedEntry);
        if (flock(fd, LOCK_EX) != 0) {
            close(fd);
            return false;
        }
        bool ready = Prepare(fd, size);
        void* mapping = ready ? mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
        if (mapping != MAP_FAILED) {
            auto* header = static_cast<SharedHeader*>(mapping);
            if (header->magic != kMagic) {
                // Prepare has just cleared the file: every slot reads as free already, and
                // writing a megabyte of zeros would only make the kernel back it with pages.
                header->capacity = kCapacity;
                header->entrySize = sizeof(SharedEntry);
                header->version = kVersion;
                header->magic = kMagic;
            }
        }
        const int mapError = errno;
        flock(fd, LOCK_UN);
        if (mapping == MAP_FAILED) {
            close(fd);
            return Unusable(path, mapError);
        }
        fd_ = fd;
        root_ = root;
        size_ = size;
        header_ = static_cast<SharedHeader*>(mapping);
        entries_ = reinterpret_cast<SharedEntry*>(static_cast<char*>(mapping) + sizeof(SharedHeader));
        return true;
    }

    // Says once per file why the table cannot be used: without it no top-level window can be
    // made, and "the main window cannot be created" alone would not tell why.
    bool Unusable(const std::string& path, int error) {
        if (path != lastReported_) {
            std::fprintf(stderr, "windows: %s cannot be used as the window table (%s); no window can be made.\n",
                         path.c_str(), std::strerror(error));
            lastReported_ = path;
        }
        return false;
    }

    // Called under the file lock: a table of another layout or size is cleared.
    static bool Prepare(int fd, std::uint64_t size) {
        struct stat info {};
        if (fstat(fd, &info) != 0) return false;
        bool fits = static_cast<std::uint64_t>(info.st_size) == size;
        if (fits) {
            SharedHeader header{};
            fits = pread(fd, &header, sizeof(header), 0) == static_cast<ssize_t>(sizeof(header)) &&
                   header.magic == kMagic && header.version == kVersion && header.capacity == kCapacity &&
                   header.entrySize == sizeof(SharedEntry);
        }
        if (fits) return true;
        return ftruncate(fd, 0) == 0 && ftruncate(fd, static_cast<off_t>(size)) == 0;
    }

    void Close() {
        if (header_ != nullptr) munmap(header_, size_);
        if (fd_ >= 0) close(fd_);
        header_ = nullptr;
        entries_ = nullptr;
        fd_ = -1;
        root_.clear();
    }

    std::mutex mutex_;
    std::string root_;
    std::string lastReported_;  // the table last said to be unusable
    int fd_ = -1;
    std::uint64_t size_ = 0;
    SharedHeader* header_ = nullptr;
    SharedEntry* entries_ = nullptr;
};

Table& TheTable() {
    // Never destroyed: windows are dropped from the table by thread and exit handlers.
    static Table* table = new Table;
    return *table;
}

SharedEntry* FindLocked(SharedEntry* entries, HWND window) {
    std::uint64_t value = HandleValue(window);
    if (value == 0) return nullptr;
    for (std::uint32_t i = 0; i < kCapacity; ++i)
        if (entries[i].window == value) return &entries[i];
    return nullptr;
}

// Drops the entries of processes that have ended; each process is asked once.
void PurgeLocked(SharedHeader& header, SharedEntry* entries) {
    std::map<std::uint32_t, bool> alive;
    for (std::uint32_t i = 0; i < kCapacity; ++i) {
        SharedEntry& entry = entries[i];
        if (entry.window == 0) continue;
        auto known = alive.find(entry.processId);
        if (known == alive.end())
            known = alive.emplace(entry.processId, IsProcessAlive(entry.processId, entry.processStart)).first;
        if (known->second) continue;
        if (header.foreground == entry.window) header.foreground = 0;
        std::memset(&entry, 0, sizeof(entry));
    }
}

std::vector<SharedEntry*> OrderedLocked(SharedEntry* entries) {
    std::vector<SharedEntry*> ordered;
    for (std::uint32_t i = 0; i < kCapacity; ++i)
        if (entries[i].window != 0) ordered.push_back(&entries[i]);
    std::sort(ordered.begin(), ordered.end(), [](const SharedEntry* a, const SharedEntry* b) {
        bool topmostA = (a->exStyle & kTopmostStyle) != 0;
        bool topmostB = (b->exStyle & kTopmostStyle) != 0;
        if (topmostA != topmostB) return topmostA;
        return a->z > b->z;
    });
    return ordered;
}

template <typename Change>
void Modify(HWND window, Change&& change) {
    TheTable().With([&](SharedHeader& header, SharedEntry* entries) {
        if (SharedEntry* entry = FindLocked(entries, window)) change(header, *entry, entries);
    });
}

}  // namespace

bool Add(const TopLevelEntry& entry) {
    bool added = false;
    TheTable().With([&](SharedHeader& header, SharedEntry* entries) {
        PurgeLocked(header, entries);
        SharedEntry* slot = FindLocked(entries, entry.window);
        for (std::uint32_t i = 0; slot == nullptr && i < kCapacity; ++i)
            if (entries[i].window == 0) slot = &entries[i];
        if (slot == nullptr) return;
        std::memset(slot, 0, sizeof(*slot));
        slot->window = HandleValue(entry.window);
        slot->owner = HandleValue(entry.owner);
        slot->processId = entry.processId;
        slot->processStart = OwnStartTime();
        slot->threadId = entry.threadId;
        slot->style = entry.style;
        slot->exStyle = entry.exStyle;
        slot->visible = entry.visible ? 1 : 0;
        std::size_t classLength = std::min(entry.className.size(), kMaxClassNameChars);
        std::memcpy(slot->className, entry.className.data(), classLength * sizeof(char16_t));
        slot->classLength = static_cast<std::uint32_t>(classLength);
        StoreTitle(*slot, entry.title);
        slot->z = ++header.topZ;
        added = true;
    });
    return added;
}

void Remove(HWND window) {
    Modify(window, [](SharedHeader& header, SharedEntry& entry, SharedEntry*) {
        if (header.foreground == entry.window) header.foreground = 0;
        std::memset(&entry, 0, sizeof(entry));
    });
}

void RemoveOwnProcess() {
    auto self = static_cast<std::uint32_t>(getpid());
    TheTable().With([&](SharedHeader& header, SharedEntry* entries) {
        for (std::uint32_t i = 0; i < kCapacity; ++i) {
            if (entries[i].window == 0 || entries[i].processId != self) continue;
            if (header.foreground == entries[i].window) header.foreground = 0;
            std::memset(&entries[i], 0, sizeof(entries[i]));
        }
    });
}

void SetTitle(HWND window, const std::u16string& title) {
    Modify(window, [&](SharedHeader&, SharedEntry& entry, SharedEntry*) { StoreTitle(entry, title); });
}

void SetVisible(HWND window, bool visible) {
    Modify(window, [&](SharedHeader&, SharedEntry& entry, SharedEntry*) { entry.visible = visible ? 1 : 0; });
}

void SetStyles(HWND window, DWORD style, DWORD exStyle) {
    Modify(window, [&](SharedHeader&, SharedEntry& entry, SharedEntry*) {
        entry.style = style;
        entry.exStyle = exStyle;
    });
}

void PlaceOnTop(HWND window) {
    Modify(window, [](SharedHeader& header, SharedEntry& entry, SharedEntry*) { entry.z = ++header.topZ; });
}

void PlaceAtBottom(HWND window) {
    Modify(window, [](SharedHeader& header, SharedEntry& entry, SharedEntry*) { entry.z = --header.bottomZ; });
}

void PlaceBelow(HWND window, HWND after) {
    Modify(window, [&](SharedHeader& header, SharedEntry& moved, SharedEntry* entries) {
        if (FindLocked(entries, after) == nullptr || after == window) return;
        // Renumber the whole order with `moved` directly after `after`.
        std::vector<SharedEntry*> ordered = OrderedLocked(entries);
        ordered.erase(std::find(ordered.begin(), ordered.end(), &moved));
        auto position = std::find_if(ordered.begin(), ordered.end(),
                                     [&](const SharedEntry* e) { return e->window == HandleValue(after); });
        ordered.insert(position + 1, &moved);
        std::int64_t z = static_cast<std::int64_t>(ordered.size());
        for (SharedEntry* entry : ordered) entry->z = z--;
        header.topZ = static_cast<std::int64_t>(ordered.size());
        header.bottomZ = 0;
    });
}

std::optional<TopLevelEntry> Find(HWND window) {
    std::optional<TopLevelEntry> found;
    TheTable().With([&](SharedHeader& header, SharedEntry* entries) {
        SharedEntry* entry = FindLocked(entries, window);
        if (entry == nullptr) return;
        if (!IsProcessAlive(entry->processId, entry->processStart)) {
            PurgeLocked(header, entries);
            return;
        }
        found = ToEntry(*entry);
    });
    return found;
}

std::vector<TopLevelEntry> ZOrder() {
    std::vector<TopLevelEntry> order;
    TheTable().With([&](SharedHeader& header, SharedEntry* entries) {
        PurgeLocked(header, entries);
        for (const SharedEntry* entry : OrderedLocked(entries)) order.push_back(ToEntry(*entry));
    });
    return order;
}

HWND FindByName(LPCWSTR className, LPCWSTR title) {
    std::size_t classLength = className ? wcslen(className) : 0;
    std::size_t titleLength = title ? wcslen(title) : 0;
    std::uint64_t titleHash = title ? TitleHash(title, titleLength) : 0;
    HWND found = nullptr;
    TheTable().With([&](SharedHeader& header, SharedEntry* entries) {
        PurgeLocked(header, entries);
        for (const SharedEntry* entry : OrderedLocked(entries)) {
            if (className && !SameClassName(*entry, className, classLength)) continue;
            if (title) {
                if (entry->titleLength != titleLength || entry->titleHash != titleHash) continue;
                std::size_t kept = std::min(titleLength, kTableTitleChars);
                if (std::memcmp(entry->title, title, kept * sizeof(char16_t)) != 0) continue;
            }
            found = HandleOf(entry->window);
            return;
        }
    });
    return found;
}

HWND Foreground() {
    HWND foreground = nullptr;
    TheTable().With([&](SharedHeader& header, SharedEntry* entries) {
        SharedEntry* entry = FindLocked(entries, HandleOf(header.foreground));
        if (entry != nullptr && !IsProcessAlive(entry->processId, entry->processStart)) PurgeLocked(header, entries);
        foreground = HandleOf(header.foreground);
    });
    return foreground;
}

HWND SwapForeground(HWND window) {
    HWND former = nullptr;
    TheTable().With([&](SharedHeader& header, SharedEntry* entries) {
        former = HandleOf(header.foreground);
        header.foreground = HandleValue(window);
        if (SharedEntry* entry = FindLocked(entries, window)) entry->z = ++header.topZ;
    });
    return former;
}

bool ClearForegroundIf(HWND window) {
    bool cleared = false;
    TheTable().With([&](SharedHeader& header, SharedEntry*) {
        if (header.foreground != HandleValue(window)) return;
        header.foreground = 0;
        cleared = true;
    });
    return cleared;
}

bool PurgeIfEnded(DWORD processId) {
    bool ended = false;
    TheTable().With([&](SharedHeader& header, SharedEntry* entries) {
        for (std::uint32_t i = 0; i < kCapacity; ++i) {
            if (entries[i].window == 0 || entries[i].processId != processId) continue;
            ended = !IsProcessAlive(processId, entries[i].processStart);
            break;
        }
        if (ended) PurgeLocked(header, entries);
    });
    return ended;
}

}  // namespace platform::user::window_table
