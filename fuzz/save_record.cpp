// Fuzzes the save file and its save record: any bytes load without a crash; a refused file
// leaves the profile as it was, and an accepted one holds its options in range and saves to
// a record that loads back to the same bytes.
#include <cstdint>
#include <cstring>

#include "game/flow/profile/PlayerProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PlayerProfile profile;
    BYTE before[kSaveRecordSize];
    profile.WriteRecord(before);
    BYTE after[kSaveRecordSize];
    if (profile.Deserialise(data, size) == 0) {
        profile.WriteRecord(after);
        if (std::memcmp(before, after, sizeof after) != 0 || profile.awardWords[0] != 0) __builtin_trap();
        return 0;
    }
    if (profile.Option(kOptionLanguage) < -1 || profile.Option(kOptionLanguage) >= kLanguageCount) __builtin_trap();
    if (profile.name[kUserSaveNameSize - 1] != 0) __builtin_trap();
    profile.WriteRecord(after);
    PlayerProfile again;
    if (again.ReadRecord(after, sizeof after) != 1) __builtin_trap();
    BYTE twice[kSaveRecordSize];
    again.WriteRecord(twice);
    if (std::memcmp(after, twice, sizeof twice) != 0) __builtin_trap();
    return 0;
}
