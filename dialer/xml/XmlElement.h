// Handles on the layout document tree. A handle never owns nodes; an empty handle points
// at a stand-alone empty node of its own (a copy too), so every operation on it is
// harmless. All name searches use WildcardMatch with the pattern first.
#pragma once

#include "dialer/xml/XmlNode.h"
#include "platform/base/Types.h"

class CXmlAttribute {
public:
    CXmlAttribute() : m_record(&m_empty) {}
    explicit CXmlAttribute(XmlAttributeRecord* record) : m_record(record != nullptr ? record : &m_empty) {}
    CXmlAttribute(const CXmlAttribute& other) : m_record(other.IsEmpty() ? &m_empty : other.m_record) {}
    CXmlAttribute& operator=(const CXmlAttribute& other) {
        m_record = other.IsEmpty() ? &m_empty : other.m_record;
        return *this;
    }

    bool IsValid() const { return !IsEmpty(); }
    LPCWSTR GetName() const { return m_record->name; }
    // The value text; null when the handle is empty or the attribute has no value.
    LPCWSTR GetAttributeText() const { return m_record->value; }

private:
    bool IsEmpty() const { return m_record == &m_empty; }

    XmlAttributeRecord* m_record;
    XmlAttributeRecord m_empty{};
};

class CXmlElement {
public:
    CXmlElement() : m_node(&m_empty) {}
    explicit CXmlElement(XmlNode* node) : m_node(node != nullptr ? node : &m_empty) {}
    CXmlElement(const CXmlElement& other) : m_node(other.IsEmpty() ? &m_empty : other.m_node) {}
    CXmlElement& operator=(const CXmlElement& other) {
        m_node = other.IsEmpty() ? &m_empty : other.m_node;
        return *this;
    }

    // The node exists, has a type and a name.
    bool IsValid() const;
    bool HasChildren() const;
    XmlNodeType GetType() const { return m_node->type; }
    LPCWSTR GetName() const { return m_node->name; }
    // The text of text, CDATA, comment, include and declaration nodes; null for elements.
    LPCWSTR GetValue() const { return m_node->value; }
    XmlNode* GetNode() const { return IsEmpty() ? nullptr : m_node; }

    int GetChildCount() const { return static_cast<int>(m_node->childCount); }
    // The index-th child of any type, or an empty handle.
    CXmlElement GetChild(int index) const;
    int GetAttributeCount() const { return static_cast<int>(m_node->attributeCount); }
    CXmlAttribute GetAttribute(int index) const;

    // Moves to the first child whose name matches (a child without a name is tested as
    // the empty string); false, handle unchanged, when none does.
    bool FindChild(LPCWSTR pattern);
    // Moves to the next later sibling whose name matches.
    bool NextSibling(LPCWSTR pattern);
    bool MoveToParent();
    void MoveToRoot();
    // Depth-first, pre-order search below this node.
    CXmlElement FindDescendant(LPCWSTR pattern) const;
    // Follows a path of names split at any of `separators` ("/" in the framework), from the
    // document node when the path starts with the first separator; ".." climbs. A name
    // that has no matching child backtracks to later siblings of the same name.
    CXmlElement SelectPath(LPCWSTR path, LPCWSTR separators) const;

    // The first attribute whose name matches. When none does, an attribute with a copy of
    // the pattern as name and an empty value is appended to the element, so an absent
    // attribute reads as the empty string.
    CXmlAttribute FindAttribute(LPCWSTR pattern) const;
    // The index of the first matching attribute, or -1; adds nothing.
    int FindAttributeIndex(LPCWSTR pattern) const;
    // The value of the first matching attribute, or null when there is none; adds nothing.
    LPCWSTR GetAttributeValue(LPCWSTR pattern) const;

private:
    bool IsEmpty() const { return m_node == &m_empty; }

    static XmlNode EmptyNodeAt(XmlNode* self) {
        XmlNode empty{};
        empty.parent = self;
        return empty;
    }

    XmlNode* m_node;
    XmlNode m_empty = EmptyNodeAt(&m_empty);
};
