// The save file: its header, the subclass's payload and the file itself.
#include "engine/app/UserSave.h"

#include <cstdio>
#include <cstring>

#include "engine/app/Application.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/text/TextConversion.h"
#include "platform/base/Handle.h"
#include "platform/fs/Directories.h"
#include "platform/fs/FileOperations.h"
#include "platform/fs/Files.h"

namespace {

constexpr char kDefaultName[] = "Player";
constexpr char kSaveFileName[] = "user.sav";
constexpr char kTemporarySuffix[] = ".tmp";

BYTE currentProfileId[kUserSaveKeySize] = {};

void PutWord(BYTE* at, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<BYTE>(word >> (8 * i));
}

std::uint32_t GetWord(const BYTE* at) {
    std::uint32_t word = 0;
    for (int i = 3; i >= 0; --i) word = (word << 8) | at[i];
    return word;
}

// The save folder without its trailing separator, made when missing.
void MakeSaveFolder() {
    char folder[kAppFolderCapacity];
    std::snprintf(folder, sizeof folder, "%s", App().saveFolder);
    std::size_t length = std::strlen(folder);
    while (length > 0 && (folder[length - 1] == '\\' || folder[length - 1] == '/')) folder[--length] = 0;
    if (length == 0) return;
    // Every folder on the way, so that a save folder in a fresh install can be written.
    for (std::size_t end = 1; end <= length; ++end) {
        if (end < length && folder[end] != '\\' && folder[end] != '/') continue;
        const char kept = folder[end];
        folder[end] = 0;
        WCHAR wide[kAppFolderCapacity];
        Utf8ToWide(wide, folder, kAppFolderCapacity);
        CreateDirectoryW(wide, nullptr);
        folder[end] = kept;
    }
}

// Writes the bytes to a new file at `path` and waits until they are on the disk.
bool WriteDurably(const WCHAR* path, const BYTE* bytes, DWORD size) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool stored = WriteFile(file, bytes, size, &written, nullptr) != FALSE && written == size &&
                        FlushFileBuffers(file) != FALSE;
    return CloseHandle(file) != FALSE && stored;
}

}  // namespace

UserSave::UserSave() { std::memcpy(name, kDefaultName, sizeof kDefaultName); }

void UserSave::Reset() {
    std::memset(name, 0, sizeof name);
    std::memset(key, 0, sizeof key);
    awardWords[0] = awardWords[1] = 0;
    loadState = 0;
}

int UserSave::MarkReady() {
    if (loadState == 1 || loadState == 2) loadState = kUserSaveReady;
    return 1;
}

bool UserSavePath(char* path, std::size_t capacity) {
    const int written = std::snprintf(path, capacity, "%s%s", App().saveFolder, kSaveFileName);
    return written > 0 && static_cast<std::size_t>(written) < capacity;
}

const BYTE* CurrentProfileId() { return currentProfileId; }

void SetCurrentProfileId(const BYTE (&id)[kUserSaveKeySize]) { std::memcpy(currentProfileId, id, sizeof id); }

bool UserSave::Serialise(BYTE (&file)[kUserSaveFileSize]) {
    std::memset(file, 0, sizeof file);
    std::memcpy(file, key, kUserSaveKeySize);
    BYTE* record = file + kUserSaveKeySize;
    PutWord(record, kUserSaveFormat);
    std::memcpy(record + 4, key, kUserSaveKeySize);
    std::memcpy(record + 12, name, kUserSaveNameSize);
    record[12 + kUserSaveNameSize - 1] = 0;
    PutWord(record + 44, awardWords[0]);
    PutWord(record + 48, awardWords[1]);
    return WritePayload(record + kUserSaveHeaderSize, kUserSavePayloadSize) != 0;
}

int UserSave::Save() {
    if (loadState < kUserSaveReady) return 0;
    char path[kStreamPathCapacity];
    char temporary[kStreamPathCapacity];
    if (!UserSavePath(path, sizeof path)) return 0;
    const int length = std::snprintf(temporary, sizeof temporary, "%s%s", path, kTemporarySuffix);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof temporary) return 0;
    BYTE file[kUserSaveFileSize];
    if (!Serialise(file)) return 0;
    MakeSaveFolder();

    WCHAR widePath[kStreamPathCapacity];
    WCHAR wideTemporary[kStreamPathCapacity];
    Utf8ToWide(widePath, path, kStreamPathCapacity);
    Utf8ToWide(wideTemporary, temporary, kStreamPathCapacity);
    if (!WriteDurably(wideTemporary, file, sizeof file)) {
        DeleteFileW(wideTemporary);
        return 0;
    }
    // The first save has no file to replace.
    const bool placed = GetFileAttributesW(widePath) == INVALID_FILE_ATTRIBUTES
                            ? MoveFileW(wideTemporary, widePath) != FALSE
                            : DeleteAndRenameFile(widePath, wideTemporary) != FALSE;
    if (!placed) {
        DeleteFileW(wideTemporary);
        return 0;
    }
    loadState = kUserSaveReady;
    return 1;
}

int UserSave::Deserialise(const BYTE* file, std::size_t size) {
    if (file == nullptr || size < kUserSaveFileSize) return 0;
    const BYTE* record = file + kUserSaveKeySize;
    if (GetWord(record) != kUserSaveFormat) return 0;
    // The payload is offered first: a refused one must leave the header's fields as they were.
    if (ReadPayload(record + kUserSaveHeaderSize, kUserSavePayloadSize) == 0) return 0;
    std::memcpy(key, file, kUserSaveKeySize);
    std::memcpy(name, record + 12, kUserSaveNameSize);
    name[kUserSaveNameSize - 1] = 0;
    awardWords[0] = GetWord(record + 44);
    awardWords[1] = GetWord(record + 48);
    loadState = kUserSaveReady;
    SetCurrentProfileId(key);
    return 1;
}

int UserSave::Load() {
    if (loadState < kUserSaveReady) return 0;
    char path[kStreamPathCapacity];
    if (!UserSavePath(path, sizeof path)) return 0;
    FileStream stream;
    if (stream.Open(path, kStreamBinary | kStreamAbsolutePath) == 0) return 0;
    BYTE file[kUserSaveFileSize];
    if (stream.Read(file, sizeof file) != sizeof file) return 0;
    return Deserialise(file, sizeof file);
}
