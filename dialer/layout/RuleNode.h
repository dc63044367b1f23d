// Rules and conditions: the "Rules" element of a layout set is a small decision tree that
// names the layout to use from the screen, the platform, the phone and properties of the
// caller. Siblings are tried in document order; a condition that holds descends into its
// own children; "UseLayout" ends the search with its name.
#pragma once

#include <string>

#include "dialer/foundation/RefCounted.h"
#include "dialer/properties/PropertyReader.h"
#include "dialer/xml/XmlElement.h"
#include "platform/base/Types.h"

class CRuleNode : public CRefCounted {
public:
    CRuleNode() = default;
    // Releases the subtree without recursion, so deep rule trees cannot exhaust the stack.
    ~CRuleNode() override;

    // Walks the tree from this node (its earlier siblings first, through its alternative)
    // and writes the chosen layout's name. False when nothing is chosen.
    bool Evaluate(IPropertyReader* context, std::u16string* layoutName) const;

    // This node's own test; the plain node ("Rules", "Default") always holds.
    virtual bool Holds(IPropertyReader* context) const;
    // The layout a terminal names, or null for a node that is not one.
    virtual const std::u16string* ChosenLayout() const { return nullptr; }

    CRuleNode* GetChild() const { return m_child.Get(); }
    CRuleNode* GetAlternative() const { return m_alternative.Get(); }
    void SetChild(CRefPtr<CRuleNode> child) { m_child = std::move(child); }
    void SetAlternative(CRefPtr<CRuleNode> alternative) { m_alternative = std::move(alternative); }

private:
    CRefPtr<CRuleNode> m_child;        // the chain read from this node's children
    CRefPtr<CRuleNode> m_alternative;  // the sibling read just before this one
};

// "Condition": the context's property of that name, as text, equals the expected text.
class CPropertyCondition : public CRuleNode {
public:
    CPropertyCondition(std::u16string name, std::u16string expected)
        : m_name(std::move(name)), m_expected(std::move(expected)) {}
    bool Holds(IPropertyReader* context) const override;

private:
    std::u16string m_name;
    std::u16string m_expected;
};

// "ScreenCondition": the screen is Width × Height (IsScreenOfSize).
class CScreenCondition : public CRuleNode {
public:
    CScreenCondition(LONG width, LONG height) : m_width(width), m_height(height) {}
    bool Holds(IPropertyReader* context) const override;

private:
    LONG m_width;
    LONG m_height;
};

// "PlatformCondition": decided when read, from the platform of the device.
class CPlatformCondition : public CRuleNode {
public:
    explicit CPlatformCondition(bool matched) : m_matched(matched) {}
    bool Holds(IPropertyReader*) const override { return m_matched; }

private:
    bool m_matched;
};

// "PhoneCondition": the phone's presence equals the expectation.
class CPhoneCondition : public CRuleNode {
public:
    explicit CPhoneCondition(bool present) : m_present(present) {}
    bool Holds(IPropertyReader* context) const override;

private:
    bool m_present;
};

// "UseLayout": the terminal that chooses its layout.
class CUseLayout : public CRuleNode {
public:
    explicit CUseLayout(std::u16string name) : m_name(std::move(name)) {}
    const std::u16string* ChosenLayout() const override { return &m_name; }

private:
    std::u16string m_name;
};

// The root of the tree read from the first "Rules" below layouts; without one, a root
// that chooses nothing. Unknown elements are skipped and numbers that do not parse count
// as 0. Throws E_OUTOFMEMORY.
CRefPtr<CRuleNode> ReadRules(const CXmlElement& layouts);
