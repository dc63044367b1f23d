// A sort order of a database and the keys it compares: up to three properties, each
// ascending or descending, strings with or without case, records lacking a property first
// or last. Records with equal keys keep the order of their object ids.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "platform/cedb/PropertyValue.h"

namespace platform::cedb {

// The key values of one record; an empty slot is a property the record does not hold.
using SortKey = std::array<std::optional<PropertyValue>, CEDB_MAXSORTPROP>;

class SortOrder {
public:
    // No sort order: records in the order they were created.
    SortOrder() = default;
    explicit SortOrder(const SORTORDERSPECEX& order);

    // A valid sort order: its version, 1 to 3 keys of types that sort (no streams), known flags.
    static bool IsValidOrder(const SORTORDERSPECEX& order);
    // Two definitions name the same sort order when their keys and flags are the same.
    static bool SameOrder(const SORTORDERSPECEX& a, const SORTORDERSPECEX& b);

    bool IsSorted() const { return order_.wNumProps != 0; }
    WORD KeyCount() const { return order_.wNumProps; }
    CEPROPID KeyProperty(WORD index) const { return order_.rgPropID[index]; }
    const SORTORDERSPECEX& Definition() const { return order_; }

    SortKey KeyOf(const std::vector<PropertyValue>& properties) const;
    // Compares the first `keys` keys (all when keys exceeds the count): <0, 0 or >0.
    int Compare(const SortKey& a, const SortKey& b, WORD keys = CEDB_MAXSORTPROP) const;

private:
    SORTORDERSPECEX order_{};
};

// Compares two values of the same type in ascending order.
int CompareValues(const PropertyValue& a, const PropertyValue& b, bool caseInsensitive);

}  // namespace platform::cedb
