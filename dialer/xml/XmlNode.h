// The node and attribute records of the layout document model. Names and values point
// into the parsed text (borrowed) or into copies that the document owns. Every record of
// a tree lives in its document's arena and goes with it.
#pragma once

#include "dialer/xml/XmlArena.h"
#include "platform/base/Types.h"

enum class XmlNodeType : DWORD {
    None = 0,  // only a handle's stand-alone empty node
    Document = 1,
    Element = 2,
    Text = 3,
    CData = 4,
    Comment = 5,
    ProcessingInstruction = 6,
    Include = 7,
    DocType = 8,
    Declaration = 9,
    AttributeListDeclaration = 10,
    ElementDeclaration = 11,
    NotationDeclaration = 12,
};

// Parse flags. The framework always parses with XML_PARSE_ALL.
constexpr DWORD XML_PARSE_PROCESSING_INSTRUCTIONS = 0x2;
constexpr DWORD XML_PARSE_DOCTYPE = 0x4;  // DOCTYPE and INCLUDE sections
constexpr DWORD XML_PARSE_COMMENTS = 0x8;
constexpr DWORD XML_PARSE_CDATA = 0x10;
constexpr DWORD XML_TRIM_TEXT = 0x40;
constexpr DWORD XML_TRIM_ATTRIBUTES = 0x80;
constexpr DWORD XML_TRIM_CDATA = 0x100;
constexpr DWORD XML_TRIM_DECLARATIONS = 0x200;
constexpr DWORD XML_TRIM_DOCTYPE_SUBSET = 0x400;
constexpr DWORD XML_TRIM_COMMENTS = 0x800;
constexpr DWORD XML_COLLAPSE_BLANKS = 0x1000;
constexpr DWORD XML_PARSE_DOCTYPE_SUBSET = 0x2000;
constexpr DWORD XML_STOP_AFTER_DOCTYPE_SUBSET = 0x4000;
constexpr DWORD XML_PARSE_ALL = 0xFFFF;
constexpr DWORD XML_KEEP_FLAGS = 0x80000000u;  // Parse: keep the document's stored flags

struct XmlAttributeRecord {
    WCHAR* name;
    BOOL nameBorrowed;
    WCHAR* value;
    BOOL valueBorrowed;
};

struct XmlNode {
    XmlNode* parent;  // the document node is its own parent
    WCHAR* name;
    BOOL nameBorrowed;
    XmlNodeType type;
    UINT attributeCount;
    UINT attributeCapacity;
    XmlAttributeRecord** attributes;
    UINT childCount;
    UINT childCapacity;
    XmlNode** children;
    WCHAR* value;
    BOOL valueBorrowed;
    UINT indexInParent;  // position in the parent's children, for sibling steps
    XmlArena* arena;     // the document's memory
};

// The document node of a new tree in arena; it is its own parent. Throws E_OUTOFMEMORY.
XmlNode* CreateXmlDocumentNode(XmlArena* arena);
// A new node of `type` appended to parent's children. Throws E_OUTOFMEMORY.
XmlNode* CreateXmlNode(XmlNodeType type, XmlNode* parent, UINT growStep);
// Appends an attribute record; the record borrows name and value unless told otherwise.
// Throws E_OUTOFMEMORY.
XmlAttributeRecord* AppendXmlAttribute(XmlNode* node, WCHAR* name, WCHAR* value, UINT growStep);
