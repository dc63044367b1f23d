// The per-process table of open registry keys.
#include "platform/registry/KeyTable.h"

namespace platform::registry {

KeyTable& KeyTable::Instance() {
    static KeyTable table;
    return table;
}

std::optional<Hive> KeyTable::PredefinedHive(HKEY key) {
    // Accept the value zero-extended (as the handset's constants are defined here) and
    // sign-extended (as a 32-bit LONG holding it widens).
    std::uintptr_t value = reinterpret_cast<std::uintptr_t>(key);
    if ((value >> 32) == 0xFFFFFFFFu) value &= 0xFFFFFFFFu;
    if (value >= 0x80000000u && value <= 0x80000002u) return static_cast<Hive>(value - 0x80000000u);
    return std::nullopt;
}

std::optional<OpenKey> KeyTable::Find(HKEY key) {
    if (const auto hive = PredefinedHive(key)) return OpenKey{*hive, 0, std::string()};
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = keys_.find(reinterpret_cast<std::uintptr_t>(key));
    if (found == keys_.end()) return std::nullopt;
    return found->second;
}

HKEY KeyTable::Add(const OpenKey& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Handles are not reused until the range wraps, so a stale handle of a closed key does
    // not silently reach a key opened later.
    do {
        next_ = next_ >= kLastHandle ? kFirstHandle : next_ + 4;
    } while (keys_.count(next_) != 0);
    keys_.emplace(next_, key);
    return reinterpret_cast<HKEY>(next_);
}

bool KeyTable::Remove(HKEY key) {
    std::lock_guard<std::mutex> lock(mutex_);
    return keys_.erase(reinterpret_cast<std::uintptr_t>(key)) != 0;
}

}  // namespace platform::registry
