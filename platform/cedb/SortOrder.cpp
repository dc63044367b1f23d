// Key comparison of the sort orders, as the handset sorts: numbers by value, strings by
// their characters (folded first, so that "apple" comes before "Zeta" even with case),
// blobs by their bytes.
#include "platform/cedb/SortOrder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/base/WideString.h"

namespace platform::cedb {

namespace {

constexpr DWORD kKnownKeyFlags = CEDB_SORT_DESCENDING | CEDB_SORT_CASEINSENSITIVE | CEDB_SORT_UNKNOWNFIRST;

template <typename T>
int Order(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

double AsDouble(std::uint64_t bits) {
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// NaN sorts after every number so that the order stays total.
int CompareDoubles(double a, double b) {
    bool aNan = std::isnan(a);
    bool bNan = std::isnan(b);
    if (aNan || bNan) return Order(aNan, bNan);
    return Order(a, b);
}

int CompareStrings(const std::u16string& a, const std::u16string& b, bool caseInsensitive) {
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        int c = Order(towlower(a[i]), towlower(b[i]));
        if (c != 0) return c;
    }
    int c = Order(a.size(), b.size());
    if (c != 0 || caseInsensitive) return c;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

int CompareValues(const PropertyValue& a, const PropertyValue& b, bool caseInsensitive) {
    switch (a.Type()) {
        case CEVT_I2:
            return Order(static_cast<std::int16_t>(a.scalar), static_cast<std::int16_t>(b.scalar));
        case CEVT_I4:
            return Order(static_cast<std::int32_t>(a.scalar), static_cast<std::int32_t>(b.scalar));
        case CEVT_BOOL:
            return Order(static_cast<std::uint32_t>(a.scalar) != 0, static_cast<std::uint32_t>(b.scalar) != 0);
        case CEVT_R8:
            return CompareDoubles(AsDouble(a.scalar), AsDouble(b.scalar));
        case CEVT_LPWSTR:
            return CompareStrings(a.text, b.text, caseInsensitive);
        case CEVT_BLOB: {
            std::size_t common = std::min(a.bytes.size(), b.bytes.size());
            int c = common ? std::memcmp(a.bytes.data(), b.bytes.data(), common) : 0;
            if (c != 0) return c < 0 ? -1 : 1;
            return Order(a.bytes.size(), b.bytes.size());
        }
        default:  // UI2, UI4, AUTO_I4, FILETIME: unsigned
            return Order(a.scalar, b.scalar);
    }
}

SortOrder::SortOrder(const SORTORDERSPECEX& order) : order_(order) {
    for (WORD i = order_.wNumProps; i < CEDB_MAXSORTPROP; ++i) {
        order_.rgPropID[i] = 0;
        order_.rgdwFlags[i] = 0;
    }
    order_.wReserved = 0;
}

bool SortOrder::IsValidOrder(const SORTORDERSPECEX& order) {
    if (order.wVersion != SORTORDERSPECEX_VERSION) return false;
    if (order.wNumProps < 1 || order.wNumProps > CEDB_MAXSORTPROP) return false;
    if (order.wKeyFlags != 0) return false;
    for (WORD i = 0; i < order.wNumProps; ++i) {
        if (!IsRecordValueType(PROP_TYPE(order.rgPropID[i]))) return false;
        if (order.rgdwFlags[i] & ~kKnownKeyFlags) return false;
    }
    return true;
}

bool SortOrder::SameOrder(const SORTORDERSPECEX& a, const SORTORDERSPECEX& b) {
    if (a.wNumProps != b.wNumProps || a.wKeyFlags != b.wKeyFlags) return false;
    for (WORD i = 0; i < a.wNumProps && i < CEDB_MAXSORTPROP; ++i)
        if (a.rgPropID[i] != b.rgPropID[i] || a.rgdwFlags[i] != b.rgdwFlags[i]) return false;
    return true;
}

SortKey SortOrder::KeyOf(const std::vector<PropertyValue>& properties) const {
    SortKey key;
    for (WORD i = 0; i < order_.wNumProps; ++i) {
        for (const PropertyValue& property : properties) {
            if (property.id == order_.rgPropID[i]) {
                key[i] = property;
                break;
            }
        }
    }
    return key;
}

int SortOrder::Compare(const SortKey& a, const SortKey& b, WORD keys) const {
    WORD count = std::min(keys, order_.wNumProps);
    for (WORD i = 0; i < count; ++i) {
        DWORD flags = order_.rgdwFlags[i];
        const auto& x = a[i];
        const auto& y = b[i];
        if (!x || !y) {
            if (!x && !y) continue;
            // An unknown value is placed first or last whatever the direction.
            bool unknownFirst = (flags & CEDB_SORT_UNKNOWNFIRST) != 0;
            return !x ? (unknownFirst ? -1 : 1) : (unknownFirst ? 1 : -1);
        }
        int c = CompareValues(*x, *y, (flags & CEDB_SORT_CASEINSENSITIVE) != 0);
        if (c != 0) return (flags & CEDB_SORT_DESCENDING) ? -c : c;
    }
    return 0;
}

}  // namespace platform::cedb
