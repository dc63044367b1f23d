// Fuzz harness: the input is a list of registry operations on one key, each with its own
// name, type, data and buffer sizes: set (every type, unknown ones and wrong sizes too),
// query, enumerate, delete, key information, and value rows written straight into
// registry.db as damage would leave them. Every answer must keep the calls' promises: the
// bytes set come back, a short buffer gives ERROR_MORE_DATA with the size and stays as it
// was, and nothing is written past a buffer.
// Runs with -entropic=0 unless told otherwise (-entropic=1): the entropic schedule spent a
// fifth of each run weighing the features of its thousands of branches, on top of what the
// calls cost; see also FuzzAllocatorOptions.h.
#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/FuzzAllocatorOptions.h"
#include "fuzz/FuzzDefaultFlags.h"
#include "platform/base/HandsetRoot.h"
#include "platform/registry/Registry.h"

namespace {

// Hands out the input's bytes; zeros once it is used up.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Done() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t Word() { return Byte() | (Byte() << 8) | (Byte() << 16) | (static_cast<uint32_t>(Byte()) << 24); }
    std::vector<BYTE> Bytes(size_t count) {
        std::vector<BYTE> bytes;
        while (bytes.size() < count && !Done()) bytes.push_back(Byte());
        return bytes;
    }
    // A value name: a few characters from a small alphabet (so that names meet again, in
    // other cases), any UTF-16 units, or one longer than a name may be.
    std::u16string Name() {
        const uint8_t kind = Byte();
        if (kind == 0xFF) return std::u16string(256 + Byte(), u'n');
        std::u16string name;
        for (int i = 0; i < kind % 6; ++i) {
            const uint8_t c = Byte();
            name += c < 0xF0 ? static_cast<char16_t>(u"aAbB\u00e9\u00c9\\ "[c % 8]) : static_cast<char16_t>(Word());
        }
        return name;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

constexpr BYTE kGuard = 0xA5;

void Check(bool holds) {
    if (!holds) std::abort();
}

std::string g_database;

HKEY FreshKey() {
    static bool rooted = [] {
        static char root[] = "/dev/shm/fuzz-registry-XXXXXX";
        if (!mkdtemp(root)) std::abort();
        platform::SetHandsetRoot(root);
        g_database = std::string(root) + "/registry.db";
        std::atexit([] { std::filesystem::remove_all(root); });
        return true;
    }();
    (void)rooted;
    RegDeleteKeyW(HKEY_CURRENT_USER, u"Fuzz");
    HKEY key = nullptr;
    Check(RegCreateKeyExW(HKEY_CURRENT_USER, u"Fuzz", 0, nullptr, 0, 0, nullptr, &key, nullptr) == ERROR_SUCCESS);
    return key;
}

// A row as damage or another writer might leave it: any name bytes, type and data. Written
// through a second connection, as another process would, kept open with its statement across
// inputs, as opening a database for every row cost more than writing it.
void WriteRawRow(Input& input) {
    static sqlite3_stmt* insert = [] {
        sqlite3* db = nullptr;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_open_v2(g_database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) std::abort();
        sqlite3_busy_timeout(db, 1000);
        sqlite3_prepare_v2(db,
                           "INSERT OR REPLACE INTO key_values(key, folded, name, type, data) "
                           "SELECT id, ?1, ?2, ?3, ?4 FROM keys WHERE hive = 1 AND parent IS NOT NULL",
                           -1, &statement, nullptr);
        if (statement == nullptr) std::abort();
        std::atexit([] {
            sqlite3* owner = sqlite3_db_handle(insert);
            sqlite3_finalize(insert);
            sqlite3_close(owner);
        });
        return statement;
    }();
    const std::vector<BYTE> folded = input.Bytes(input.Byte() % 12);
    const std::vector<BYTE> name = input.Bytes(input.Byte() % 12);
    const std::vector<BYTE> data = input.Bytes(input.Byte());
    // A null pointer would bind NULL, which the columns refuse: "" binds an empty blob.
    const auto bind = [](int index, const std::vector<BYTE>& bytes) {
        sqlite3_bind_blob(insert, index, bytes.empty() ? static_cast<const void*>("") : bytes.data(),
                          static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    };
    bind(1, folded);
    bind(2, name);
    sqlite3_bind_int64(insert, 3, static_cast<sqlite3_int64>(static_cast<int32_t>(input.Word())) * 4099);
    bind(4, data);
    sqlite3_step(insert);
    sqlite3_reset(insert);
}

// Reads into a buffer of `capacity` bytes (none for a size query) and checks the answer
// against the value's size.
void ReadInto(HKEY key, const std::u16string& name, DWORD capacity, bool withBuffer) {
    DWORD type = 0;
    DWORD size = 0;
    const LONG sized = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> buffer(static_cast<size_t>(capacity) + 1, kGuard);
    DWORD bytes = capacity;
    const LONG read = RegQueryValueExW(key, name.c_str(), nullptr, &type, withBuffer ? buffer.data() : nullptr, &bytes);
    Check(buffer[capacity] == kGuard);
    if (sized != ERROR_SUCCESS) return Check(read == sized);
    Check(bytes == size);
    if (withBuffer && capacity < size) {
        Check(read == ERROR_MORE_DATA);
        for (BYTE b : buffer) Check(b == kGuard);
    } else {
        Check(read == ERROR_SUCCESS);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    AddDefaultFlags(argc, argv, {"-entropic=0"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    HKEY key = FreshKey();
    for (int step = 0; step < 48 && !input.Done(); ++step) {
        const std::u16string name = input.Name();
        switch (input.Byte() % 6) {
            case 0: {
                const uint8_t typeByte = input.Byte();
                const DWORD type = typeByte < 0xF0 ? typeByte % 12 : input.Word();
                const std::vector<BYTE> bytes = input.Bytes(input.Byte() == 0xFF ? 4096 : input.Byte());
                const LONG set = RegSetValueExW(key, name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
                if (set != ERROR_SUCCESS) break;
                std::vector<BYTE> back(bytes.size() + 1, kGuard);
                DWORD storedType = 0;
                DWORD got = static_cast<DWORD>(bytes.size());
                Check(RegQueryValueExW(key, name.c_str(), nullptr, &storedType, back.data(), &got) == ERROR_SUCCESS);
                Check(storedType == type && got == bytes.size() && back[got] == kGuard);
                Check(bytes.empty() || std::memcmp(back.data(), bytes.data(), bytes.size()) == 0);
                break;
            }
            case 1:
                ReadInto(key, name, input.Byte(), input.Byte() % 2 == 0);
                break;
            case 2: {
                const DWORD index = input.Byte() % 8;
                const DWORD nameCapacity = input.Byte() % 300;
                std::vector<WCHAR> nameBuffer(static_cast<size_t>(nameCapacity) + 1, 0x5A5A);
                DWORD nameChars = nameCapacity;
                const DWORD capacity = input.Byte();
                std::vector<BYTE> buffer(static_cast<size_t>(capacity) + 1, kGuard);
                DWORD bytes = capacity;
                DWORD type = 0;
                const LONG listed = RegEnumValueW(key, index, nameBuffer.data(), &nameChars, nullptr, &type,
                                                  input.Byte() % 2 ? buffer.data() : nullptr, &bytes);
                Check(nameBuffer[nameCapacity] == 0x5A5A && buffer[capacity] == kGuard);
                if (listed == ERROR_SUCCESS) Check(nameChars < nameCapacity && nameBuffer[nameChars] == 0);
                break;
            }
            case 3:
                RegDeleteValueW(key, name.c_str());
                break;
            case 4: {
                DWORD values = 0;
                DWORD longestName = 0;
                DWORD largest = 0;
                if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &longestName,
                                     &largest, nullptr, nullptr) != ERROR_SUCCESS)
                    break;
                // Every value listed fits what the key information promised.
                for (DWORD index = 0; index < values && index < 8; ++index) {
                    std::vector<WCHAR> nameBuffer(static_cast<size_t>(longestName) + 1);
                    DWORD nameChars = longestName + 1;
                    DWORD bytes = 0;
                    Check(RegEnumValueW(key, index, nameBuffer.data(), &nameChars, nullptr, nullptr, nullptr, &bytes) ==
                          ERROR_SUCCESS);
                    Check(nameChars <= longestName && bytes <= largest);
                }
                break;
            }
            default:
                WriteRawRow(input);
                break;
        }
    }
    RegCloseKey(key);
    return 0;
}
