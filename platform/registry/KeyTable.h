// The registry keys a process has open: HKEY values are opaque handles into this
// per-process table, next to the predefined root keys.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/base/Types.h"

namespace platform::registry {

// The three hives behind the predefined keys.
enum class Hive : int { ClassesRoot = 0, CurrentUser = 1, LocalMachine = 2 };

// What a handle stands for: a key row of one registry file, or the root of a hive for a
// predefined key (id 0, in whichever registry the process uses now).
struct OpenKey {
    Hive hive = Hive::LocalMachine;
    std::int64_t id = 0;
    std::string registry;
};

class KeyTable {
public:
    static KeyTable& Instance();

    // The key behind a handle; nothing for null, closed and unknown values.
    std::optional<OpenKey> Find(HKEY key);
    // Hands out a new handle that no other open key of this process has.
    HKEY Add(const OpenKey& key);
    // Closes a handle; false when it is not open. Predefined keys are never in the table.
    bool Remove(HKEY key);

    static std::optional<Hive> PredefinedHive(HKEY key);

private:
    std::mutex mutex_;
    std::unordered_map<std::uintptr_t, OpenKey> keys_;
    std::uintptr_t next_ = kFirstHandle;

    // Handles stay below the predefined keys' 0x80000000 so that code keeping a key in a
    // 32-bit field still works; they are multiples of 4 and never 0.
    static constexpr std::uintptr_t kFirstHandle = 0x1000;
    static constexpr std::uintptr_t kLastHandle = 0x7FFFFFF0;
};

}  // namespace platform::registry
