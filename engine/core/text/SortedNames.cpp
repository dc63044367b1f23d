// The name-ordered inserts over ListInsertSorted.
#include "engine/core/text/SortedNames.h"

#include "engine/core/text/TextCompare.h"

namespace {

const char* KeyOf(const void* record) { return *static_cast<const char* const*>(record); }

}  // namespace

KDLLink* ListInsertSortedByName(KDLList& list, const char* name) {
    return ListInsertSorted(list, const_cast<char*>(name), [](const void* a, const void* b) {
        return CompareNoCase(static_cast<const char*>(a), static_cast<const char*>(b));
    });
}

KDLLink* ListInsertSortedByKey(KDLList& list, void* record) {
    return ListInsertSorted(list, record,
                            [](const void* a, const void* b) { return CompareNoCase(KeyOf(a), KeyOf(b)); });
}
