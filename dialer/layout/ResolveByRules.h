// Choosing an entry of a layout set by its rules: the rule tree names a layout, with the
// caller's override reader as the context of its conditions, and the entry of that name is
// taken from the list.
#pragma once

#include "dialer/layout/LayoutEntry.h"
#include "dialer/layout/RuleNode.h"
#include "dialer/properties/PropertyReader.h"

// The entry that the rules name (the last of that name, compared without case), with a
// reference; null when the rules choose nothing or no entry has the name. Throws
// E_OUTOFMEMORY.
CRefPtr<CLayoutEntry> ResolveByRules(const CEntryList* entries, const CRuleNode* rules,
                                     IPropertyReader* overrideReader);
