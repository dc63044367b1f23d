// Navigation, searches and attribute look-up on document handles.
#include "dialer/xml/XmlElement.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "dialer/foundation/OrmException.h"
#include "dialer/xml/WildcardMatch.h"
#include "platform/base/WideString.h"

namespace {

LPCWSTR NameOf(const XmlNode* node) { return node->name != nullptr ? node->name : u""; }

bool IsDocument(const XmlNode* node) { return node->type == XmlNodeType::Document; }

// The first later sibling of node whose name matches `pattern`, or null.
XmlNode* LaterSibling(const XmlNode* node, LPCWSTR pattern) {
    if (node->parent == node || IsDocument(node)) return nullptr;
    const XmlNode* parent = node->parent;
    for (UINT i = node->indexInParent + 1; i < parent->childCount; ++i)
        if (WildcardMatch(pattern, NameOf(parent->children[i]))) return parent->children[i];
    return nullptr;
}

XmlNode* FirstMatchingChild(const XmlNode* node, LPCWSTR pattern) {
    for (UINT i = 0; i < node->childCount; ++i)
        if (WildcardMatch(pattern, NameOf(node->children[i]))) return node->children[i];
    return nullptr;
}

}  // namespace

bool CXmlElement::IsValid() const {
    return !IsEmpty() && m_node->type != XmlNodeType::None && m_node->name != nullptr;
}

bool CXmlElement::HasChildren() const { return m_node->type != XmlNodeType::None && m_node->childCount > 0; }

CXmlElement CXmlElement::GetChild(int index) const {
    if (index < 0 || static_cast<UINT>(index) >= m_node->childCount) return CXmlElement();
    return CXmlElement(m_node->children[index]);
}

CXmlAttribute CXmlElement::GetAttribute(int index) const {
    if (index < 0 || static_cast<UINT>(index) >= m_node->attributeCount) return CXmlAttribute();
    return CXmlAttribute(m_node->attributes[index]);
}

bool CXmlElement::FindChild(LPCWSTR pattern) {
    if (pattern == nullptr) return false;
    XmlNode* child = FirstMatchingChild(m_node, pattern);
    if (child == nullptr) return false;
    m_node = child;
    return true;
}

bool CXmlElement::NextSibling(LPCWSTR pattern) {
    if (pattern == nullptr || IsEmpty()) return false;
    XmlNode* sibling = LaterSibling(m_node, pattern);
    if (sibling == nullptr) return false;
    m_node = sibling;
    return true;
}

bool CXmlElement::MoveToParent() {
    if (m_node->parent == m_node) return false;
    m_node = m_node->parent;
    return true;
}

void CXmlElement::MoveToRoot() {
    while (m_node->parent != m_node) m_node = m_node->parent;
}

CXmlElement CXmlElement::FindDescendant(LPCWSTR pattern) const {
    if (pattern == nullptr) return CXmlElement();
    // An explicit stack of (node, next child to visit).
    std::vector<std::pair<const XmlNode*, UINT>> stack{{m_node, 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == node->childCount) {
            stack.pop_back();
            continue;
        }
        XmlNode* child = node->children[next++];
        if (WildcardMatch(pattern, NameOf(child))) return CXmlElement(child);
        if (child->childCount > 0) stack.emplace_back(child, 0);
    }
    return CXmlElement();
}

CXmlElement CXmlElement::SelectPath(LPCWSTR path, LPCWSTR separators) const {
    if (path == nullptr || separators == nullptr || separators[0] == 0 || m_node->type == XmlNodeType::None)
        return CXmlElement();
    std::vector<std::u16string> tokens;
    std::u16string token;
    for (LPCWSTR p = path;; ++p) {
        if (*p == 0 || wcschr(separators, *p) != nullptr) {
            if (!token.empty()) tokens.push_back(std::move(token));
            token.clear();
            if (*p == 0) break;
        } else {
            token.push_back(*p);
        }
    }
    if (tokens.empty()) return CXmlElement();

    XmlNode* current = m_node;
    if (path[0] == separators[0])
        while (current->parent != current) current = current->parent;

    // Every step either goes down with the next token, moves forward in document order
    // with the same depth-minus-token balance, or lowers that balance: the walk ends.
    std::size_t k = 0;
    while (k < tokens.size()) {
        const std::u16string& name = tokens[k];
        if (name[0] == u'.') {
            if (name == u"..") {
                current = current->parent;
                if (IsDocument(current)) return CXmlElement();
            }
            ++k;
            continue;
        }
        if (XmlNode* child = FirstMatchingChild(current, name.c_str())) {
            current = child;
            ++k;
            continue;
        }
        if (XmlNode* sibling = LaterSibling(current, NameOf(current))) {
            current = sibling;
            continue;
        }
        XmlNode* parent = current->parent;
        if (XmlNode* parentSibling = LaterSibling(parent, NameOf(parent))) {
            current = parentSibling;
            if (k > 0) --k;
        } else {
            current = parent;
        }
        if (IsDocument(current)) return CXmlElement();
    }
    return CXmlElement(current);
}

int CXmlElement::FindAttributeIndex(LPCWSTR pattern) const {
    if (pattern == nullptr) return -1;
    for (UINT i = 0; i < m_node->attributeCount; ++i) {
        LPCWSTR name = m_node->attributes[i]->name;
        if (WildcardMatch(pattern, name != nullptr ? name : u"")) return static_cast<int>(i);
    }
    return -1;
}

LPCWSTR CXmlElement::GetAttributeValue(LPCWSTR pattern) const {
    const int index = FindAttributeIndex(pattern);
    return index < 0 ? nullptr : m_node->attributes[index]->value;
}

CXmlAttribute CXmlElement::FindAttribute(LPCWSTR pattern) const {
    const int index = FindAttributeIndex(pattern);
    if (index >= 0) return CXmlAttribute(m_node->attributes[index]);
    if (pattern == nullptr || IsEmpty() || m_node->type == XmlNodeType::None) return CXmlAttribute();
    // Appended with copies that the document owns: the pattern need not outlive the tree.
    XmlArena* arena = m_node->arena;
    const std::size_t length = wcslen(pattern);
    auto* name = static_cast<WCHAR*>(arena->AllocateUninitialized((length + 1) * sizeof(WCHAR)));
    std::memcpy(name, pattern, (length + 1) * sizeof(WCHAR));
    auto* value = static_cast<WCHAR*>(arena->Allocate(sizeof(WCHAR)));
    XmlAttributeRecord* record = AppendXmlAttribute(m_node, name, value, 1);
    record->nameBorrowed = FALSE;
    record->valueBorrowed = FALSE;
    return CXmlAttribute(record);
}
