// Reading and evaluating rule trees, with explicit stacks instead of recursion.
#include "dialer/layout/RuleNode.h"

#include <new>
#include <vector>

#include "dialer/foundation/OrmException.h"
#include "dialer/layout/DeviceConditions.h"
#include "platform/base/WideString.h"

namespace {

// "Value"-style decimals of rule attributes; anything that does not parse is 0.
LONG DecimalAttribute(const CXmlElement& element, LPCWSTR name) {
    LPCWSTR text = element.GetAttributeValue(name);
    return text == nullptr ? 0 : static_cast<LONG>(wcstol(text, nullptr, 10));
}

std::u16string TextAttribute(const CXmlElement& element, LPCWSTR name) {
    LPCWSTR text = element.GetAttributeValue(name);
    return text == nullptr ? std::u16string() : std::u16string(text);
}

template <class TNode, class... Args>
CRefPtr<CRuleNode> MakeNode(Args&&... arguments) {
    auto* node = new (std::nothrow) TNode(std::forward<Args>(arguments)...);
    if (node == nullptr) ThrowOrm(E_OUTOFMEMORY);
    return CRefPtr<CRuleNode>(node);
}

// The node for a rule element, or null for an element that is not a rule.
CRefPtr<CRuleNode> MakeRule(const CXmlElement& element) {
    LPCWSTR kind = element.GetName();
    if (element.GetType() != XmlNodeType::Element || kind == nullptr) return {};
    if (wcscmp(kind, u"Default") == 0) return MakeNode<CRuleNode>();
    if (wcscmp(kind, u"Condition") == 0)
        return MakeNode<CPropertyCondition>(TextAttribute(element, u"Name"), TextAttribute(element, u"Value"));
    if (wcscmp(kind, u"ScreenCondition") == 0)
        return MakeNode<CScreenCondition>(DecimalAttribute(element, u"Width"), DecimalAttribute(element, u"Height"));
    if (wcscmp(kind, u"PlatformCondition") == 0) {
        LPCWSTR platform = element.GetAttributeValue(u"Platform");
        const bool matched = platform != nullptr && _wcsicmp(platform, IsPocketPC() ? u"PocketPC" : u"Smartphone") == 0;
        return MakeNode<CPlatformCondition>(matched);
    }
    if (wcscmp(kind, u"PhoneCondition") == 0)
        return MakeNode<CPhoneCondition>(DecimalAttribute(element, u"Present") != 0);
    if (wcscmp(kind, u"UseLayout") == 0) return MakeNode<CUseLayout>(TextAttribute(element, u"Name"));
    return {};
}

}  // namespace

CRuleNode::~CRuleNode() {
    std::vector<CRuleNode*> pending{m_child.Detach(), m_alternative.Detach()};
    while (!pending.empty()) {
        CRuleNode* node = pending.back();
        pending.pop_back();
        if (node == nullptr || node->DecrementRef() != 0) continue;
        pending.push_back(node->m_child.Detach());
        pending.push_back(node->m_alternative.Detach());
        delete node;
    }
}

bool CRuleNode::Holds(IPropertyReader*) const { return true; }

bool CPropertyCondition::Holds(IPropertyReader* context) const {
    if (context == nullptr) return false;
    BSTR text = nullptr;
    if (context->GetString(CPropertyKey(m_name.c_str()), &text) != S_OK) return false;
    const bool equal = text != nullptr && std::u16string(text, SysStringLen(text)) == m_expected;
    SysFreeString(text);
    return equal;
}

bool CScreenCondition::Holds(IPropertyReader*) const { return IsScreenOfSize(m_width, m_height); }

bool CPhoneCondition::Holds(IPropertyReader*) const { return IsPhonePresent() == m_present; }

bool CRuleNode::Evaluate(IPropertyReader* context, std::u16string* layoutName) const {
    // Each frame is one chain of siblings in document order (a node's alternative is the
    // sibling before it); a holding node's children are tried before its later siblings.
    auto chainOf = [](const CRuleNode* last) {
        std::vector<const CRuleNode*> chain;
        for (const CRuleNode* node = last; node != nullptr; node = node->GetAlternative()) chain.push_back(node);
        return chain;  // latest first: walked from the back
    };
    std::vector<std::vector<const CRuleNode*>> frames{chainOf(this)};
    while (!frames.empty()) {
        std::vector<const CRuleNode*>& chain = frames.back();
        if (chain.empty()) {
            frames.pop_back();
            continue;
        }
        const CRuleNode* node = chain.back();
        chain.pop_back();
        if (const std::u16string* name = node->ChosenLayout()) {
            if (layoutName != nullptr) *layoutName = *name;
            return true;
        }
        if (node->GetChild() != nullptr && node->Holds(context)) frames.push_back(chainOf(node->GetChild()));
    }
    return false;
}

CRefPtr<CRuleNode> ReadRules(const CXmlElement& layouts) {
    CRefPtr<CRuleNode> root = MakeNode<CRuleNode>();
    const CXmlElement rules = layouts.FindDescendant(u"Rules");
    if (!rules.IsValid()) return root;

    // Each frame: an element whose children are being read into a node.
    struct Frame {
        CXmlElement element;
        CRuleNode* node;
        int next;
    };
    std::vector<Frame> frames{Frame{rules, root.Get(), 0}};
    while (!frames.empty()) {
        Frame& frame = frames.back();
        if (frame.next >= frame.element.GetChildCount()) {
            frames.pop_back();
            continue;
        }
        const CXmlElement child = frame.element.GetChild(frame.next++);
        CRefPtr<CRuleNode> node = MakeRule(child);
        if (!node) continue;
        if (node->ChosenLayout() != nullptr) {
            // A terminal replaces whatever chain was read so far and ends this element.
            frame.node->SetChild(node);
            frames.pop_back();
            continue;
        }
        node->SetAlternative(CRefPtr<CRuleNode>(frame.node->GetChild()));
        frame.node->SetChild(node);
        frames.push_back(Frame{child, node.Get(), 0});
    }
    return root;
}
