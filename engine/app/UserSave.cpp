// The save file: its header, the subclass's payload and the file itself.
#include "engine/app/UserSave.h"

#include <cstdio>
#include <cstring>

#include "engine/app/Application.h"
#include "engine/core/files/Crc32.h"
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
// Names a refused save is kept under: the first free of ".bad", ".bad1" ... ".bad9".
constexpr int kAsideNames = 10;
constexpr std::size_t kChecksumOffset = kUserSaveFileSize - kUserSaveChecksumSize;

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

// Moves whatever stands at `path` to the first free name of the ".bad" series and says so:
// "<path>: <why>; it is kept as <aside>, and <then>." False (also said) when none is free or
// the move fails.
bool SetAside(const char* path, const char* why, const char* then) {
    WCHAR widePath[kStreamPathCapacity];
    Utf8ToWide(widePath, path, kStreamPathCapacity);
    for (int index = 0; index < kAsideNames; ++index) {
        char aside[kStreamPathCapacity];
        const int length = index == 0 ? std::snprintf(aside, sizeof aside, "%s.bad", path)
                                      : std::snprintf(aside, sizeof aside, "%s.bad%d", path, index);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof aside) break;
        WCHAR wideAside[kStreamPathCapacity];
        Utf8ToWide(wideAside, aside, kStreamPathCapacity);
        if (GetFileAttributesW(wideAside) != INVALID_FILE_ATTRIBUTES) continue;
        if (MoveFileW(widePath, wideAside) == FALSE) break;
        std::fprintf(stderr, "%s: %s; it is kept as %s, and %s.\n", path, why, aside, then);
        return true;
    }
    std::fprintf(stderr, "%s: %s, and it cannot be kept aside as %s.bad.\n", path, why, path);
    return false;
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
    if (WritePayload(record + kUserSaveHeaderSize, kUserSavePayloadSize) == 0) return false;
    PutWord(file + kChecksumOffset, Crc32(0, file, kChecksumOffset));
    return true;
}

int UserSave::Save() {
    if (loadState < kUserSaveReady) return 0;
    char path[kStreamPathCapacity];
    char temporary[kStreamPathCapacity];
    if (!UserSavePath(path, sizeof path)) return 0;
    const int length = std::snprintf(temporary, sizeof temporary, "%s%s", path, kTemporarySuffix);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof temporary) return 0;
    BYTE file[kUserSaveFileSize];
    if (!Serialise(file)) {
        std::fprintf(stderr, "%s: the progress cannot be put into a save record; the progress is not saved.\n", path);
        return 0;
    }
    MakeSaveFolder();

    WCHAR widePath[kStreamPathCapacity];
    WCHAR wideTemporary[kStreamPathCapacity];
    Utf8ToWide(widePath, path, kStreamPathCapacity);
    Utf8ToWide(wideTemporary, temporary, kStreamPathCapacity);
    if (!WriteDurably(wideTemporary, file, sizeof file)) {
        DeleteFileW(wideTemporary);
        std::fprintf(stderr, "%s cannot be written; the progress is not saved.\n", temporary);
        return 0;
    }
    // The first save has no file to replace.
    const auto place = [&] {
        return GetFileAttributesW(widePath) == INVALID_FILE_ATTRIBUTES
                   ? MoveFileW(wideTemporary, widePath) != FALSE
                   : DeleteAndRenameFile(widePath, wideTemporary) != FALSE;
    };
    // What stops the new file taking the old one's place (a folder, a pipe, a link that
    // leads nowhere) would stop every save after it: it is kept aside, once.
    bool placed = place();
    if (!placed && SetAside(path, "it is in the way of the new save", "the new save takes its place")) placed = place();
    if (!placed) {
        DeleteFileW(wideTemporary);
        std::fprintf(stderr, "%s cannot be replaced; the progress is not saved.\n", path);
        return 0;
    }
    loadState = kUserSaveReady;
    return 1;
}

const char* UserSave::Refusal(const BYTE* file, std::size_t size) {
    if (file == nullptr || size < kUserSaveFileSize) return "it is shorter than a save";
    const BYTE* record = file + kUserSaveKeySize;
    if (GetWord(record) != kUserSaveFormat) return "its format is not one this game reads";
    const std::uint32_t checksum = GetWord(file + kChecksumOffset);
    if (checksum != 0 && checksum != Crc32(0, file, kChecksumOffset)) return "its checksum does not match its bytes";
    if (ReadPayload(record + kUserSaveHeaderSize, kUserSavePayloadSize) == 0) return "its progress record is refused";
    return nullptr;
}

void UserSave::TakeHeader(const BYTE* file) {
    const BYTE* record = file + kUserSaveKeySize;
    std::memcpy(key, file, kUserSaveKeySize);
    std::memcpy(name, record + 12, kUserSaveNameSize);
    name[kUserSaveNameSize - 1] = 0;
    awardWords[0] = GetWord(record + 44);
    awardWords[1] = GetWord(record + 48);
    loadState = kUserSaveReady;
    SetCurrentProfileId(key);
}

int UserSave::Deserialise(const BYTE* file, std::size_t size) {
    // The payload is offered before the header is taken: a refused one must leave the
    // header's fields as they were.
    if (Refusal(file, size) != nullptr) return 0;
    TakeHeader(file);
    return 1;
}

int UserSave::Load() {
    if (loadState < kUserSaveReady) return 0;
    char path[kStreamPathCapacity];
    if (!UserSavePath(path, sizeof path)) return 0;
    WCHAR widePath[kStreamPathCapacity];
    Utf8ToWide(widePath, path, kStreamPathCapacity);
    const DWORD attributes = GetFileAttributesW(widePath);
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;  // no save yet: a new profile
    constexpr char kThen[] = "the game starts a new profile";
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        SetAside(path, "it is a folder, not a save", kThen);
        return 0;
    }
    FileStream stream;
    if (stream.Open(path, kStreamBinary | kStreamAbsolutePath) == 0) {
        SetAside(path, "it cannot be read", kThen);
        return 0;
    }
    BYTE file[kUserSaveFileSize];
    const std::size_t read = stream.Read(file, sizeof file);
    BYTE beyond = 0;
    const bool longer = read == sizeof file && stream.Read(&beyond, 1) == 1;
    stream.Close();
    const char* refusal = longer ? "it is longer than a save" : Refusal(file, read == sizeof file ? sizeof file : 0);
    if (refusal != nullptr) {
        SetAside(path, refusal, kThen);
        return 0;
    }
    TakeHeader(file);
    return 1;
}
