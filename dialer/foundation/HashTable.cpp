// CHashTable storage, probing and growth.
#include "dialer/foundation/HashTable.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "dialer/foundation/OrmException.h"
#include "platform/base/WideString.h"

namespace {

bool EqualCaseSensitive(LPCWSTR a, LPCWSTR b) { return wcscmp(a, b) == 0; }
bool EqualCaseInsensitive(LPCWSTR a, LPCWSTR b) { return _wcsicmp(a, b) == 0; }

WCHAR* CopyText(LPCWSTR text) {
    const std::size_t length = wcslen(text);
    auto* copy = new (std::nothrow) WCHAR[length + 1];
    if (copy == nullptr) ThrowOrm(E_OUTOFMEMORY);
    std::memcpy(copy, text, (length + 1) * sizeof(WCHAR));
    return copy;
}

}  // namespace

CHashTable::CHashTable(bool caseSensitive)
    : m_hash(caseSensitive ? &HashCaseSensitive : &HashCaseInsensitive),
      m_equal(caseSensitive ? &EqualCaseSensitive : &EqualCaseInsensitive) {}

CHashTable::~CHashTable() { RemoveAll(); }

void CHashTable::SetInitialBits(UINT bits) { m_initialBits = std::clamp(bits, kMinBits, kMaxBits); }

UINT CHashTable::HashCaseSensitive(LPCWSTR text) {
    UINT h = 0;
    for (; *text != 0; ++text) h = 5u * h + 37u * static_cast<UINT>(*text);
    return h;
}

UINT CHashTable::HashCaseInsensitive(LPCWSTR text) {
    UINT h = 0;
    for (; *text != 0; ++text) h = 5u * h + 37u * static_cast<UINT>(towlower(*text));
    return h;
}

UINT CHashTable::HomeSlot(UINT hash, UINT bits) {
    if (bits == 0) return 0;
    return static_cast<UINT>(static_cast<DWORD>(hash * 0x9E3779B9u) >> (32 - bits));
}

bool CHashTable::Lookup(LPCWSTR key, LPCWSTR* value) const {
    if (m_storage == nullptr || m_hash == nullptr || m_equal == nullptr || key == nullptr) return false;
    const UINT capacity = 1u << m_bits;
    UINT slot = HomeSlot(m_hash(key), m_bits);
    // Without a free slot the probe would wrap for ever: one full round is enough.
    for (UINT probed = 0; probed < capacity; ++probed) {
        const Group& group = m_storage[slot >> 5];
        const UINT bit = slot & 31;
        if ((group.occupancy & (1u << bit)) == 0) return false;
        if (m_equal(group.slots[bit].key, key)) {
            if (value != nullptr) *value = group.slots[bit].value;
            return true;
        }
        slot = (slot + 1) & (capacity - 1);
    }
    return false;
}

CHashTable::Group* CHashTable::AllocateStorage(UINT bits) {
    const std::size_t groups = (std::size_t{1} << bits) / kSlotsPerGroup;
    auto* storage = new (std::nothrow) Group[groups];
    if (storage == nullptr) ThrowOrm(E_OUTOFMEMORY);
    std::memset(static_cast<void*>(storage), 0, groups * sizeof(Group));
    return storage;
}

void CHashTable::PlaceNew(Group* storage, UINT bits, WCHAR* key, WCHAR* value) const {
    const UINT capacity = 1u << bits;
    UINT slot = HomeSlot(m_hash(key), bits);
    while (storage[slot >> 5].occupancy & (1u << (slot & 31))) slot = (slot + 1) & (capacity - 1);
    Group& group = storage[slot >> 5];
    group.occupancy |= 1u << (slot & 31);
    group.slots[slot & 31] = Slot{key, value};
}

void CHashTable::Grow() {
    if (m_bits >= kMaxBits) ThrowOrm(E_OUTOFMEMORY);
    const UINT newBits = m_bits + 1;
    Group* grown = AllocateStorage(newBits);
    const std::size_t groups = (std::size_t{1} << m_bits) / kSlotsPerGroup;
    for (std::size_t g = 0; g < groups; ++g)
        for (UINT bit = 0; bit < kSlotsPerGroup; ++bit)
            if (m_storage[g].occupancy & (1u << bit))
                PlaceNew(grown, newBits, m_storage[g].slots[bit].key, m_storage[g].slots[bit].value);
    delete[] m_storage;
    m_storage = grown;
    m_bits = newBits;
}

void CHashTable::Insert(LPCWSTR key, LPCWSTR value) {
    if (key == nullptr || value == nullptr) ThrowOrm(E_INVALIDARG);
    if (m_storage == nullptr) {
        m_storage = AllocateStorage(m_initialBits);
        m_bits = m_initialBits;
    }
    // Replace the value of a key already present.
    const UINT capacity = 1u << m_bits;
    UINT slot = HomeSlot(m_hash(key), m_bits);
    for (UINT probed = 0; probed < capacity; ++probed) {
        Group& group = m_storage[slot >> 5];
        const UINT bit = slot & 31;
        if ((group.occupancy & (1u << bit)) == 0) break;
        if (m_equal(group.slots[bit].key, key)) {
            WCHAR* copy = CopyText(value);
            delete[] group.slots[bit].value;
            group.slots[bit].value = copy;
            return;
        }
        slot = (slot + 1) & (capacity - 1);
    }
    // The map fills up completely before it grows: it only ever holds a few overrides.
    if (m_count == capacity) Grow();
    WCHAR* keyCopy = CopyText(key);
    WCHAR* valueCopy = nullptr;
    try {
        valueCopy = CopyText(value);
    } catch (...) {
        delete[] keyCopy;
        throw;
    }
    PlaceNew(m_storage, m_bits, keyCopy, valueCopy);
    ++m_count;
}

void CHashTable::RemoveAll() {
    if (m_storage != nullptr) {
        const std::size_t groups = (std::size_t{1} << m_bits) / kSlotsPerGroup;
        for (std::size_t g = 0; g < groups; ++g)
            for (UINT bit = 0; bit < kSlotsPerGroup; ++bit)
                if (m_storage[g].occupancy & (1u << bit)) {
                    delete[] m_storage[g].slots[bit].key;
                    delete[] m_storage[g].slots[bit].value;
                }
        delete[] m_storage;
    }
    m_storage = nullptr;
    m_bits = 0;
    m_count = 0;
}
