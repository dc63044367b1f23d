// UserSave: the player's save file "user.sav" in the save folder. It keeps the profile id,
// the player's name and two award words in a header of its own and asks its subclass (the
// game's player profile) to fill or take the payload.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/memory/EngineMemory.h"
#include "platform/base/Types.h"

constexpr std::size_t kUserSaveKeySize = 8;
constexpr std::size_t kUserSaveNameSize = 32;
constexpr std::size_t kUserSaveRecordSize = 3072;
constexpr std::size_t kUserSaveHeaderSize = 4 + kUserSaveKeySize + kUserSaveNameSize + 8;
// The record's last four bytes hold the CRC-32 of every byte of the file before them, little
// endian; zero there is a save from before the checksum, read without the check.
constexpr std::size_t kUserSaveChecksumSize = 4;
constexpr std::size_t kUserSavePayloadSize = kUserSaveRecordSize - kUserSaveHeaderSize - kUserSaveChecksumSize;
constexpr std::size_t kUserSaveFileSize = kUserSaveKeySize + kUserSaveRecordSize;
constexpr std::uint32_t kUserSaveFormat = 1;
// States: 0 new, 1 and 2 set by the game while it builds the profile, 3 ready.
constexpr DWORD kUserSaveReady = 3;

class UserSave : public EngineAllocated {
public:
    UserSave();
    virtual ~UserSave() = default;
    UserSave(const UserSave&) = delete;
    UserSave& operator=(const UserSave&) = delete;

    // Fills the payload (`size` bytes, zeroed by the caller); non-zero on success.
    virtual int WritePayload(BYTE* payload, std::size_t size) = 0;
    // Takes a payload; non-zero when it was accepted.
    virtual int ReadPayload(const BYTE* payload, std::size_t size) = 0;
    // Clears the name, both words, the key and the state.
    virtual void Reset();

    // State 1 or 2 becomes ready; any other state stays. Always 1.
    int MarkReady();

    // Writes "<save folder>user.sav" (making the folder when it is missing): the key, then
    // the record. The bytes go to "user.sav.tmp" first, reach the disk, and only then take
    // the old file's place, so an interrupted save leaves the previous one whole. 1 on
    // success; 0 while not ready, when the payload cannot be written or the file cannot be
    // stored whole (the previous file is then untouched), each said on stderr. Something
    // other than a file in the save's place (a folder, a link, a pipe) is kept aside as
    // Load keeps a damaged save, and the save then takes its place.
    int Save();
    // Reads the file. A missing file answers 0 quietly. A save that cannot be read or is
    // refused (short, a header whose format word is not 1, a checksum that does not match,
    // a payload the subclass refuses) answers 0 and is kept aside as "user.sav.bad" (or
    // .bad1 to .bad9 when that is taken), said on stderr, so the next save does not
    // overwrite it; nothing of it is taken. Non-zero on success (the key also becomes the
    // current profile id); 0 while not ready.
    int Load();

    // The file's bytes as Save writes them; false when the payload could not be written.
    bool Serialise(BYTE (&file)[kUserSaveFileSize]);
    // Load's checks on bytes already read; the fields change only when the file is accepted.
    int Deserialise(const BYTE* file, std::size_t size);
    // Why Deserialise would refuse these bytes, as a phrase for the log ("its checksum does
    // not match its bytes"); nullptr when it takes them. Offers the payload to the subclass.
    const char* Refusal(const BYTE* file, std::size_t size);

    BYTE key[kUserSaveKeySize] = {};
    char name[kUserSaveNameSize] = {};
    std::uint32_t awardWords[2] = {};
    DWORD loadState = 0;

private:
    // Takes the header's fields from a file Refusal accepted.
    void TakeHeader(const BYTE* file);
};

// "<save folder>user.sav" into `path`; false when it does not fit.
bool UserSavePath(char* path, std::size_t capacity);

// The id of the profile last loaded, or set by the game when it creates one.
const BYTE* CurrentProfileId();
void SetCurrentProfileId(const BYTE (&id)[kUserSaveKeySize]);
