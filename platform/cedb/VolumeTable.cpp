// The mount table: one Volume per volume file in this process, shared by its mounts and by
// the handles opened on it, so that a handle outlives an unmount safely.
#include "platform/cedb/VolumeTable.h"

#include <map>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/base/HandsetRoot.h"
#include "platform/base/WideString.h"

namespace platform::cedb {

namespace {

constexpr std::size_t kMaxNameLength = 64;

struct MountTable {
    std::map<std::string, std::weak_ptr<Volume>> byPath;
    std::map<DWORD, std::shared_ptr<Volume>> mounted;
    DWORD nextMountId = 1;
};

MountTable& Table() {
    static MountTable* table = new MountTable;  // outlives static destruction of the users
    return *table;
}

}  // namespace

std::recursive_mutex& CedbLock() {
    static std::recursive_mutex* lock = new std::recursive_mutex;
    return *lock;
}

bool VolumePathFromName(LPCWSTR name, std::string& path, DWORD& error) {
    error = ERROR_INVALID_NAME;
    if (!name) return false;
    std::size_t length = wcsnlen(name, kMaxNameLength + 2);
    std::u16string text(name, length);
    if (!text.empty() && (text[0] == u'\\' || text[0] == u'/')) text.erase(0, 1);
    if (text.size() > kMaxNameLength) return false;
    if (!IsValidHandsetName(text)) return false;
    for (char16_t& c : text) c = towlower(c);
    path = HandsetRoot() + "/" + Utf16ToUtf8(text);
    return true;
}

bool MountVolume(LPCWSTR name, DWORD creation, CEGUID& guid, DWORD& error) {
    constexpr DWORD kCreateNew = 1, kOpenExisting = 3, kOpenAlways = 4;
    if (creation != kCreateNew && creation != kOpenExisting && creation != kOpenAlways) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    std::string path;
    if (!VolumePathFromName(name, path, error)) return false;
    MountTable& table = Table();
    std::shared_ptr<Volume> volume;
    auto known = table.byPath.find(path);
    if (known != table.byPath.end()) volume = known->second.lock();
    if (volume) {
        if (creation == kCreateNew) {
            error = ERROR_FILE_EXISTS;
            return false;
        }
    } else {
        volume = Volume::Open(path, creation, error);
        if (!volume) return false;
        table.byPath[path] = volume;
    }
    if (volume->mountCount == 0) {
        volume->mountId = table.nextMountId++;
        table.mounted[volume->mountId] = volume;
    }
    ++volume->mountCount;
    guid = GuidOf(*volume);
    return true;
}

std::shared_ptr<Volume> MountedVolume(const CEGUID* guid, DWORD& error) {
    if (guid && guid->Data2 == 0 && guid->Data3 == 0 && guid->Data4 == 0) {
        auto found = Table().mounted.find(guid->Data1);
        if (found != Table().mounted.end()) return found->second;
    }
    error = ERROR_INVALID_PARAMETER;
    return nullptr;
}

bool UnmountVolume(const CEGUID* guid, DWORD& error) {
    std::shared_ptr<Volume> volume = MountedVolume(guid, error);
    if (!volume) return false;
    if (--volume->mountCount == 0) Table().mounted.erase(volume->mountId);
    return true;
}

CEGUID GuidOf(const Volume& volume) { return CEGUID{volume.mountCount > 0 ? volume.mountId : 0, 0, 0, 0}; }

std::vector<std::shared_ptr<Volume>> LiveVolumes() {
    std::vector<std::shared_ptr<Volume>> live;
    MountTable& table = Table();
    for (auto entry = table.byPath.begin(); entry != table.byPath.end();) {
        if (auto volume = entry->second.lock()) {
            live.push_back(std::move(volume));
            ++entry;
        } else {
            entry = table.byPath.erase(entry);
        }
    }
    return live;
}

}  // namespace platform::cedb
