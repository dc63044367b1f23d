// CHashTable: an open-addressing map from text to text with golden-ratio hashing, linear
// probing, and storage in groups of 32 slots led by an occupancy bitmap. It owns copies
// of its keys and values.
#pragma once

#include "platform/base/Types.h"

class CHashTable {
public:
    using HashFunction = UINT (*)(LPCWSTR text);
    using EqualFunction = bool (*)(LPCWSTR a, LPCWSTR b);

    static constexpr UINT kSlotsPerGroup = 32;
    static constexpr UINT kMinBits = 5;   // one group
    static constexpr UINT kMaxBits = 30;

    // Installs the case-sensitive (h = 5h + 37c) or case-insensitive hash and equality;
    // no storage until the first insertion, which makes 2^initial bits slots.
    explicit CHashTable(bool caseSensitive);
    CHashTable(const CHashTable&) = delete;
    CHashTable& operator=(const CHashTable&) = delete;
    virtual ~CHashTable();

    void SetInitialBits(UINT bits);
    UINT GetInitialBits() const { return m_initialBits; }
    UINT GetCapacityBits() const { return m_bits; }
    UINT GetCount() const { return m_count; }

    // The value stored under key; false when the map has no storage, a function is
    // missing or the key is absent. A probe ends after one full round of the slots.
    bool Lookup(LPCWSTR key, LPCWSTR* value) const;
    // Stores copies of key and value, replacing the value of a key already present. A full
    // map doubles first. Throws E_OUTOFMEMORY when storage cannot grow; E_INVALIDARG for
    // a null key or value.
    void Insert(LPCWSTR key, LPCWSTR value);
    void RemoveAll();

    static UINT HashCaseSensitive(LPCWSTR text);
    static UINT HashCaseInsensitive(LPCWSTR text);
    // The home slot of a hash in a map of 2^bits slots.
    static UINT HomeSlot(UINT hash, UINT bits);

private:
    struct Slot {
        WCHAR* key;
        WCHAR* value;
    };
    struct Group {
        DWORD occupancy;
        Slot slots[kSlotsPerGroup];
    };

    static Group* AllocateStorage(UINT bits);
    void PlaceNew(Group* storage, UINT bits, WCHAR* key, WCHAR* value) const;
    void Grow();

    HashFunction m_hash;
    EqualFunction m_equal;
    UINT m_initialBits = kMinBits;
    UINT m_bits = 0;
    UINT m_count = 0;
    Group* m_storage = nullptr;
};
