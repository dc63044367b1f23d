// The global text table: buckets, look-up with the fallback text, and clearing.
#include "engine/overlay/text/TextTable.h"

#include <utility>

#include "engine/core/text/TextCompare.h"
#include "engine/overlay/text/GlyphRun.h"

namespace {

TextTable* globalTable = nullptr;

void DeleteEntry(void* item) { delete static_cast<TextEntry*>(item); }

// The entry of the key, moved to the front of its bucket; null when absent.
TextEntry* FindEntry(TextTable* table, const char* key) {
    if (table == nullptr || table->buckets == nullptr || key == nullptr) return nullptr;
    const std::int32_t bucket = TextHash(key, table->bucketCount);
    if (bucket < 0) return nullptr;
    KDLList& list = table->buckets[bucket];
    for (KDLLink* link = list.head; link != nullptr; link = link->next) {
        auto* entry = static_cast<TextEntry*>(link->item);
        if (CompareNoCase(entry->key.Text(), key) != 0) continue;
        ListMoveToFront(list, entry, list);
        return entry;
    }
    return nullptr;
}

// The table goes with the program if the game did not destroy it.
struct TableAtExit {
    ~TableAtExit() {
        if (HeapIsInitialised()) TextTableDestroy();
    }
} tableAtExit;

}  // namespace

TextEntry::~TextEntry() { DeleteGlyphRun(run); }

TextTable* GlobalTextTable() { return globalTable; }

int TextTableCreate() {
    if (globalTable != nullptr) {
        TextTableClear(globalTable);
        return 1;
    }
    auto* table = new TextTable;
    if (table == nullptr) return 0;
    table->buckets = static_cast<KDLList*>(EngineAlloc(sizeof(KDLList) * kTextTableBuckets));
    if (table->buckets == nullptr) {
        delete table;
        return 0;
    }
    for (std::uint32_t i = 0; i < kTextTableBuckets; ++i) table->buckets[i] = KDLList{};
    table->bucketCount = kTextTableBuckets;
    globalTable = table;
    return 1;
}

void TextTableClear(TextTable* table) {
    if (table == nullptr || table->buckets == nullptr) return;
    for (std::uint32_t i = 0; i < table->bucketCount; ++i) ListDeleteAll(table->buckets[i], DeleteEntry);
}

int TextTableDestroy() {
    TextTable* table = globalTable;
    globalTable = nullptr;
    if (table == nullptr) return 1;
    TextTableClear(table);
    EngineFree(table->buckets);
    delete table;
    return 1;
}

std::int32_t TextHash(const char* key, std::uint32_t bucketCount) {
    if (key == nullptr || bucketCount == 0) return -1;
    std::int64_t sum = 0;
    for (const char* at = key; *at != 0; ++at) sum += static_cast<signed char>(*at);
    return static_cast<std::int32_t>(sum % static_cast<std::int64_t>(bucketCount));
}

bool AddTextEntry(TextTable& table, const char* key, std::size_t keyLength, EngineWString text) {
    if (table.buckets == nullptr || keyLength > 0x7FFFFFFF) return false;
    auto* entry = new TextEntry;
    if (entry == nullptr) return false;
    entry->key = EngineString::FromCharsN(key, static_cast<int>(keyLength));
    const std::int32_t bucket = TextHash(entry->key.Text(), table.bucketCount);
    if (bucket < 0) {
        delete entry;
        return false;
    }
    entry->text = std::move(text);
    entry->run = BuildGlyphRun(entry->text.Text(), entry->text.Length());
    if (ListAppend(table.buckets[bucket], entry) == nullptr) {
        delete entry;
        return false;
    }
    return true;
}

const WCHAR* TextTableFind(TextTable* table, const char* key, std::uint32_t* length) {
    TextEntry* entry = FindEntry(table, key);
    if (entry == nullptr && (key == nullptr || CompareNoCase(key, kDefaultTextKey) != 0))
        entry = FindEntry(table, kDefaultTextKey);
    if (entry == nullptr && table != nullptr &&
        AddTextEntry(*table, kDefaultTextKey, 7, EngineWString(kUnknownText)))
        entry = FindEntry(table, kDefaultTextKey);
    if (entry == nullptr) {
        // No table, or no memory for the fallback entry: the fallback text itself.
        if (length != nullptr) *length = 16;
        return kUnknownText;
    }
    if (length != nullptr) *length = entry->text.Length();
    return entry->text.Text();
}

bool TextTableHas(TextTable* table, const char* key) { return FindEntry(table, key) != nullptr; }

GlyphRun* FindTextGlyphRun(const char* key) {
    TextEntry* entry = FindEntry(globalTable, key);
    return entry != nullptr ? entry->run : nullptr;
}
