// Sort orders and seeks: the order of strings with and without case, descending keys,
// records without the key, keys of two properties, and every kind of seek with its index.
#include "tests/platform/cedb/CedbFixture.h"

namespace cedb_test {
namespace {

constexpr CEPROPID kName = MAKEPROPID(7, CEVT_LPWSTR);
constexpr CEPROPID kGiven = MAKEPROPID(8, CEVT_LPWSTR);
constexpr CEPROPID kCount = MAKEPROPID(4, CEVT_I4);
constexpr CEPROPID kStart = MAKEPROPID(2, CEVT_FILETIME);

class SortSeekTest : public CedbTest {
protected:
    // Writes records with the given names (null: no name) and returns their object ids.
    std::vector<CEOID> WriteNames(HANDLE db, std::vector<const char16_t*> names) {
        std::vector<CEOID> oids;
        for (const char16_t* name : names)
            oids.push_back(name ? Write(db, 0, {Text(7, name)}) : Write(db, 0, {Int(4, 0)}));
        return oids;
    }
    std::vector<std::u16string> NamesInOrder(HANDLE db) {
        std::vector<std::u16string> names;
        for (CEOID oid : Walk(db)) {
            EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_CEOID, oid, 0, nullptr), oid);
            ReadBack back = ReadCurrent(db);
            EXPECT_EQ(back.oid, oid);
            const CEPROPVAL* name = back.Find(kName);
            names.push_back(name ? back.texts[name - back.values.data()] : u"-");
        }
        return names;
    }
};

TEST_F(SortSeekTest, StringOrdersWithAndWithoutCase) {
    struct Case {
        DWORD flags;
        std::vector<std::u16string> expected;
    };
    const std::vector<Case> cases = {
        {CEDB_SORT_CASEINSENSITIVE, {u"apple", u"Banana", u"banana", u"Cherry", u"-"}},
        {0, {u"apple", u"Banana", u"banana", u"Cherry", u"-"}},  // folded first, then case
        {CEDB_SORT_DESCENDING | CEDB_SORT_CASEINSENSITIVE, {u"Cherry", u"Banana", u"banana", u"apple", u"-"}},
        {CEDB_SORT_UNKNOWNFIRST, {u"-", u"apple", u"Banana", u"banana", u"Cherry"}},
        {CEDB_SORT_UNKNOWNFIRST | CEDB_SORT_DESCENDING, {u"-", u"Cherry", u"banana", u"Banana", u"apple"}},
    };
    std::vector<SORTORDERSPECEX> orders;
    for (const Case& c : cases) orders.push_back(Order(kName, c.flags));
    CreateDatabase(u"Contacts Database", orders);
    HANDLE writer = Open(u"Contacts Database");
    WriteNames(writer, {u"Banana", u"Cherry", nullptr, u"apple", u"banana"});
    CloseHandle(writer);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        HANDLE db = Open(u"Contacts Database", &orders[i]);
        EXPECT_EQ(NamesInOrder(db), cases[i].expected);
        CloseHandle(db);
    }
}

TEST_F(SortSeekTest, NumbersTimesAndTwoPropertyKeys) {
    SORTORDERSPECEX byCount = Order(kCount);
    SORTORDERSPECEX byStartNewestFirst = Order(kStart, CEDB_SORT_DESCENDING);
    SORTORDERSPECEX byFamilyThenGiven = Order2(kName, CEDB_SORT_CASEINSENSITIVE, kGiven, CEDB_SORT_DESCENDING);
    CreateDatabase(u"db", {byCount, byStartNewestFirst, byFamilyThenGiven});
    HANDLE db = Open(u"db");
    auto record = [&](LONG count, DWORD startHigh, const char16_t* family, const char16_t* given) {
        CEPROPVAL start{};
        start.propid = kStart;
        start.val.filetime = {0, startHigh};
        return Write(db, 0, {Int(4, count), start, Text(7, family), Text(8, given)});
    };
    CEOID a = record(-5, 0x80000000u, u"Smith", u"Anna");
    CEOID b = record(3, 0x01000000u, u"smith", u"Zoe");
    CEOID c = record(-70000, 0x7FFFFFFFu, u"Jones", u"Bob");
    CloseHandle(db);

    db = Open(u"db", &byCount);
    EXPECT_EQ(Walk(db), (std::vector<CEOID>{c, a, b}));  // signed
    CloseHandle(db);
    db = Open(u"db", &byStartNewestFirst);
    EXPECT_EQ(Walk(db), (std::vector<CEOID>{a, c, b}));  // unsigned 64-bit
    CloseHandle(db);
    db = Open(u"db", &byFamilyThenGiven);
    EXPECT_EQ(Walk(db), (std::vector<CEOID>{c, b, a}));  // equal family: given descending

    // A changed key moves the record; the handle sees it at its next seek.
    Write(db, a, {Text(7, u"Adams")});
    EXPECT_EQ(Walk(db), (std::vector<CEOID>{a, c, b}));
    CloseHandle(db);
}

TEST_F(SortSeekTest, PositionalSeeksAndTheirIndex) {
    CreateDatabase(u"db");
    HANDLE db = Open(u"db");
    std::vector<CEOID> oids = WriteNames(db, {u"a", u"b", u"c", u"d"});
    DWORD index = 99;
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 2, 0, &index), oids[2]);
    EXPECT_EQ(index, 2u);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_CURRENT, static_cast<DWORD>(-1), 0, &index), oids[1]);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_CURRENT, 2, 0, &index), oids[3]);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_END, 0, 0, &index), oids[3]);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_END, 3, 0, &index), oids[0]);
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(CeSeekDatabase(db, CEDB_SEEK_CEOID, oids[2], &index), oids[2]);
    EXPECT_EQ(index, 2u);

    // Out of range: no record, and the current record stays.
    for (auto [type, value] : {std::pair<DWORD, DWORD>{CEDB_SEEK_BEGINNING, 4},
                               {CEDB_SEEK_CURRENT, 2},
                               {CEDB_SEEK_CURRENT, static_cast<DWORD>(-3)},
                               {CEDB_SEEK_END, 4},
                               {CEDB_SEEK_CEOID, 0x1234},
                               {0x400, 0}}) {
        EXPECT_EQ(CeSeekDatabaseEx(db, type, value, 0, &index), 0u);
    }
    EXPECT_EQ(ReadCurrent(db).oid, oids[2]);

    // Deleting the current record: the next record is one forward, the previous one back.
    ASSERT_TRUE(CeDeleteRecord(db, oids[2]));
    EXPECT_EQ(ReadCurrent(db).oid, 0u);
    EXPECT_EQ(GetLastError(), ERROR_KEY_DELETED);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_CURRENT, 1, 0, &index), oids[3]);
    EXPECT_EQ(index, 2u);
    ASSERT_TRUE(CeDeleteRecord(db, oids[3]));
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_CURRENT, static_cast<DWORD>(-1), 0, &index), oids[1]);

    // Deleting from the first record on until none is left ends.
    std::size_t deleted = 0;
    for (CEOID oid; (oid = CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 0, nullptr)) != 0; ++deleted)
        ASSERT_TRUE(CeDeleteRecord(db, oid));
    EXPECT_EQ(deleted, 2u);
    CloseHandle(db);
}

TEST_F(SortSeekTest, ValueSeeksInAscendingAndDescendingOrders) {
    SORTORDERSPECEX ascending = Order(kCount);
    SORTORDERSPECEX descending = Order(kCount, CEDB_SORT_DESCENDING);
    CreateDatabase(u"db", {ascending, descending});
    HANDLE writer = Open(u"db");
    // Order ascending: 10, 20, 20, 30 (the two 20s in object-id order).
    CEOID r10 = Write(writer, 0, {Int(4, 10)});
    CEOID r20a = Write(writer, 0, {Int(4, 20)});
    CEOID r30 = Write(writer, 0, {Int(4, 30)});
    CEOID r20b = Write(writer, 0, {Int(4, 20)});
    CloseHandle(writer);

    struct Case {
        SORTORDERSPECEX* order;
        DWORD seek;
        LONG value;
        CEOID expected;
        DWORD index;
    };
    const std::vector<Case> cases = {
        {&ascending, CEDB_SEEK_VALUEFIRSTEQUAL, 20, r20a, 1},
        {&ascending, CEDB_SEEK_VALUEFIRSTEQUAL, 25, 0, 0},
        {&ascending, CEDB_SEEK_VALUESMALLER, 20, r10, 0},
        {&ascending, CEDB_SEEK_VALUESMALLER, 10, 0, 0},
        {&ascending, CEDB_SEEK_VALUESMALLEROREQUAL, 20, r20a, 1},
        {&ascending, CEDB_SEEK_VALUESMALLEROREQUAL, 25, r20b, 2},
        {&ascending, CEDB_SEEK_VALUEGREATER, 20, r30, 3},
        {&ascending, CEDB_SEEK_VALUEGREATER, 30, 0, 0},
        {&ascending, CEDB_SEEK_VALUEGREATEROREQUAL, 15, r20a, 1},
        {&ascending, CEDB_SEEK_VALUEGREATEROREQUAL, 31, 0, 0},
        // In a descending order "smaller" is "before": 30, 20, 20, 10.
        {&descending, CEDB_SEEK_VALUEFIRSTEQUAL, 20, r20a, 1},
        {&descending, CEDB_SEEK_VALUESMALLER, 20, r30, 0},
        {&descending, CEDB_SEEK_VALUEGREATER, 20, r10, 3},
        {&descending, CEDB_SEEK_VALUEGREATEROREQUAL, 25, r20a, 1},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        HANDLE db = Open(u"db", c.order);
        CEPROPVAL value = Int(4, c.value);
        DWORD index = 99;
        EXPECT_EQ(CeSeekDatabaseEx(db, c.seek, reinterpret_cast<DWORD_PTR>(&value), 1, &index), c.expected);
        if (c.expected) {
            EXPECT_EQ(index, c.index);
        }
        CloseHandle(db);
    }

    // NEXTEQUAL walks the run of equal records and stops after it.
    HANDLE db = Open(u"db", &ascending);
    CEPROPVAL twenty = Int(4, 20);
    auto value = reinterpret_cast<DWORD_PTR>(&twenty);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, value, 1, nullptr), r20a);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUENEXTEQUAL, value, 1, nullptr), r20b);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUENEXTEQUAL, value, 1, nullptr), 0u);
    EXPECT_EQ(ReadCurrent(db).oid, r20b);

    // Values must name the order's keys, in its order and number.
    CEPROPVAL wrong = UInt(4, 20);
    CEPROPVAL two[] = {twenty, twenty};
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&wrong), 1, nullptr), 0u);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(two), 2, nullptr), 0u);
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, 0, 1, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    CloseHandle(db);
    // A handle without a sort order cannot seek by value.
    db = Open(u"db");
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, value, 1, nullptr), 0u);
    CloseHandle(db);
}

TEST_F(SortSeekTest, SeekByItemIdAndByPrefixOfAKey) {
    SORTORDERSPECEX byItemId = Order(CEPROPID_ITEMID);
    SORTORDERSPECEX byName = Order2(kName, CEDB_SORT_CASEINSENSITIVE, kGiven, 0);
    CreateDatabase(u"Contacts Database", {byItemId, byName});
    HANDLE db = Open(u"Contacts Database", &byItemId);
    std::vector<CEOID> oids;
    for (const char16_t* given : {u"Carl", u"Anna", u"Bert"})
        oids.push_back(Write(db, 0, {Text(7, u"Berg"), Text(8, given)}));
    CEPROPVAL itemId{};
    itemId.propid = CEPROPID_ITEMID;
    itemId.val.ulVal = 2;
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&itemId), 1, nullptr),
              oids[1]);
    CloseHandle(db);

    // One value of a two-key order compares the first key only: "BERG" finds the first Berg.
    db = Open(u"Contacts Database", &byName);
    CEPROPVAL family = Text(7, u"BERG");
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&family), 1, nullptr),
              oids[1]);
    CEPROPVAL both[] = {family, Text(8, u"Bert")};
    EXPECT_EQ(CeSeekDatabaseEx(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(both), 2, nullptr), oids[2]);
    CloseHandle(db);
}

}  // namespace
}  // namespace cedb_test
