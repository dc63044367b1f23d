// Entries chosen by rules.
#include "dialer/layout/ResolveByRules.h"

#include "dialer/properties/PropertySet.h"

CRefPtr<CLayoutEntry> ResolveByRules(const CEntryList* entries, const CRuleNode* rules,
                                     IPropertyReader* overrideReader) {
    // A set with no list of its own: the conditions see only what the override answers.
    CInterfacePtr<IPropertyReader> context = CreatePropertySet(CPropertyList(), overrideReader);
    std::u16string name;
    if (rules == nullptr || !rules->Evaluate(context.Get(), &name)) return {};
    return entries != nullptr ? entries->FindByName(name.c_str()) : CRefPtr<CLayoutEntry>();
}
