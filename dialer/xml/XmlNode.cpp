// Creation of document nodes and attribute records in their document's arena.
#include "dialer/xml/XmlNode.h"

#include <cstring>

#include "dialer/foundation/OrmException.h"

namespace {

// Grows a pointer array by at least the document's grow step, and by half its size beyond
// that, so that a node with many children is not copied over and over. The old array stays
// in the arena until the document goes. Entries beyond the count are never read, so the
// arrays are not zeroed.
template <class T>
void GrowArray(XmlArena* arena, T**& array, UINT& capacity, UINT count, UINT growStep) {
    const ULONGLONG step = growStep == 0 ? 1 : growStep;
    const ULONGLONG wanted = static_cast<ULONGLONG>(capacity) + (capacity / 2 > step ? capacity / 2 : step);
    if (wanted > 0x7FFFFFFFull) ThrowOrm(E_OUTOFMEMORY);
    auto** grown = static_cast<T**>(arena->AllocateUninitialized(static_cast<std::size_t>(wanted) * sizeof(T*)));
    if (count > 0) std::memcpy(static_cast<void*>(grown), static_cast<const void*>(array), count * sizeof(T*));
    array = grown;
    capacity = static_cast<UINT>(wanted);
}

template <class T>
void ReserveArray(XmlArena* arena, T**& array, UINT& capacity, UINT count) {
    array = static_cast<T**>(arena->AllocateUninitialized(count * sizeof(T*)));
    capacity = count;
}

XmlNode* NewNode(XmlArena* arena, XmlNodeType type) {
    auto* node = static_cast<XmlNode*>(arena->Allocate(sizeof(XmlNode)));
    node->type = type;
    node->nameBorrowed = TRUE;
    node->valueBorrowed = TRUE;
    node->arena = arena;
    // Text, CDATA, comments and include sections never carry attributes; only the
    // document, elements and DOCTYPE declarations usually have children.
    const bool noAttributes = type == XmlNodeType::Document || type == XmlNodeType::Text ||
                              type == XmlNodeType::CData || type == XmlNodeType::Comment ||
                              type == XmlNodeType::Include;
    if (!noAttributes) ReserveArray(arena, node->attributes, node->attributeCapacity, 1);
    if (type == XmlNodeType::Document || type == XmlNodeType::Element || type == XmlNodeType::DocType)
        ReserveArray(arena, node->children, node->childCapacity, 1);
    return node;
}

}  // namespace

XmlNode* CreateXmlDocumentNode(XmlArena* arena) {
    XmlNode* node = NewNode(arena, XmlNodeType::Document);
    node->parent = node;
    return node;
}

XmlNode* CreateXmlNode(XmlNodeType type, XmlNode* parent, UINT growStep) {
    XmlArena* arena = parent->arena;
    if (parent->childCount == parent->childCapacity)
        GrowArray(arena, parent->children, parent->childCapacity, parent->childCount, growStep);
    XmlNode* node = NewNode(arena, type);
    node->parent = parent;
    node->indexInParent = parent->childCount;
    parent->children[parent->childCount++] = node;
    return node;
}

XmlAttributeRecord* AppendXmlAttribute(XmlNode* node, WCHAR* name, WCHAR* value, UINT growStep) {
    XmlArena* arena = node->arena;
    if (node->attributeCount == node->attributeCapacity)
        GrowArray(arena, node->attributes, node->attributeCapacity, node->attributeCount, growStep);
    auto* record = static_cast<XmlAttributeRecord*>(arena->AllocateUninitialized(sizeof(XmlAttributeRecord)));
    *record = XmlAttributeRecord{name, TRUE, value, TRUE};
    node->attributes[node->attributeCount++] = record;
    return record;
}
