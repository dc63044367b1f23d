// Page files: inheritance between pages, style, class and back page, and the controls.
#include "engine/overlay/menu/PageDescription.h"

#include <vector>

#include "engine/core/files/TagFile.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/menu/ControlDescription.h"
#include "engine/overlay/menu/MenuManager.h"
#include "engine/overlay/menu/MenuStyle.h"

namespace {

void DeleteControl(void* item) { delete static_cast<ControlDescription*>(item); }

bool CopyTag(const TagFileTag& from, TagFile& into) {
    TagFileTag* copy = into.AddTag(from.name.Text());
    if (copy == nullptr) return false;
    for (KDLLink* link = from.values.head; link != nullptr; link = link->next) {
        auto* value = static_cast<EngineString*>(link->item);
        if (!copy->AddValue(value->Text(), value->Length())) return false;
    }
    return true;
}

// A deep copy of `node` appended to `parent`'s children, without recursion.
bool CopyNode(const TagFile& node, TagFile& parent) {
    struct Pending {
        const TagFile* from;
        TagFile* under;
    };
    std::vector<Pending> work{{&node, &parent}};
    while (!work.empty()) {
        const Pending next = work.back();
        work.pop_back();
        TagFile* copy = next.under->AddChild(next.from->name.Text());
        if (copy == nullptr) return false;
        for (KDLLink* link = next.from->tags.head; link != nullptr; link = link->next) {
            if (!CopyTag(*static_cast<TagFileTag*>(link->item), *copy)) return false;
        }
        // Children are taken from the back so that they are copied in order.
        for (KDLLink* link = next.from->children.tail; link != nullptr; link = link->previous) {
            work.push_back(Pending{static_cast<const TagFile*>(link->item), copy});
        }
    }
    return true;
}

// The description's own tags and controls, once its bases are merged in.
int ParseOwnPart(PageDescription& d) {
    TagFile& root = *d.tree;
    EngineString styleName("Default");
    if (TagFileTag* style = root.FindTag("STYLE")) {
        style->GetString(0, styleName);
        if (CompareNoCase(styleName.Text(), "Theme") == 0) styleName = GetMenuManager().themeName;
    }
    d.style = LoadMenuStyle(styleName.Text());
    if (TagFileTag* tag = root.FindTag("CLASS")) {
        if (tag->GetString(0, d.className) == 0) return 0;
    }
    if (TagFileTag* tag = root.FindTag("BACK")) {
        if (tag->GetString(0, d.backName) == 0) return 0;
    }
    const ControlDescription* anchor = nullptr;
    for (KDLLink* link = root.children.head; link != nullptr; link = link->next) {
        auto* control = new ControlDescription;
        if (control == nullptr) return 0;
        if (ParseControlProperties(*control, *static_cast<TagFile*>(link->item), anchor) == 0) {
            delete control;
            return 0;
        }
        control->id = kFirstControlId + d.controls.count;
        if (ListAppend(d.controls, control) == nullptr) {
            delete control;
            return 0;
        }
        anchor = control;
    }
    d.parsed = 1;
    return 1;
}

}  // namespace

PageDescription::~PageDescription() {
    ListDeleteAll(controls, DeleteControl);
    delete tree;
}

void InheritPageDescription(PageDescription& description, const PageDescription& base) {
    if (description.tree == nullptr || base.tree == nullptr) return;
    TagFile& root = *description.tree;
    for (KDLLink* link = base.tree->tags.head; link != nullptr; link = link->next) {
        auto* tag = static_cast<TagFileTag*>(link->item);
        if (root.FindTag(tag->name.Text()) == nullptr) CopyTag(*tag, root);
    }
    for (KDLLink* link = base.tree->children.head; link != nullptr; link = link->next) {
        CopyNode(*static_cast<TagFile*>(link->item), root);
    }
}

int ParsePageDescription(PageDescription& description) {
    if (description.parsed != 0) return 1;
    // The chain of bases, this description first; the walk stops at a parsed base or at one
    // without INHERIT. A description met twice is a cycle.
    std::vector<PageDescription*> chain;
    int result = 1;
    for (PageDescription* at = &description; at != nullptr && at->parsed == 0;) {
        if (at->tree == nullptr) at->tree = new TagFile;
        if (at->tree == nullptr || at->parsing != 0) {
            if (at->parsing != 0)
                LogWrite("menus/%s.menu: INHERIT leads back to \"%s\"; the page is refused", "Menu", 1,
                         description.name.Text(), at->name.Text());
            result = 0;
            break;
        }
        at->parsing = 1;
        chain.push_back(at);
        TagFileTag* inherit = at->tree->FindTag("INHERIT");
        if (inherit == nullptr) break;
        if (inherit->GetString(0, at->baseName) == 0 || at->baseName.IsEmpty()) {
            LogWrite("menus/%s.menu: INHERIT names no page", "Menu", 1, at->name.Text());
            result = 0;
            break;
        }
        PageDescription* base = GetMenuManager().FindPageDescription(at->baseName.Text());
        if (base == nullptr) {
            LogWrite("menus/%s.menu: INHERIT names \"%s\", which is no page", "Menu", 1, at->name.Text(),
                     at->baseName.Text());
            result = 0;
            break;
        }
        at = base;
    }
    // From the root of the chain down: each merges its parsed base, then reads its own part.
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        PageDescription* d = *it;
        d->parsing = 0;
        if (result == 0) continue;
        if (!d->baseName.IsEmpty()) {
            const PageDescription* base = GetMenuManager().FindPageDescription(d->baseName.Text());
            if (base == nullptr || base->parsed == 0) {
                result = 0;
                continue;
            }
            InheritPageDescription(*d, *base);
        }
        if (ParseOwnPart(*d) == 0) result = 0;
    }
    return result;
}

MenuStyle* LoadMenuStyle(const char* styleName) {
    MenuManager& manager = GetMenuManager();
    for (KDLLink* link = manager.styles.head; link != nullptr; link = link->next) {
        auto* style = static_cast<MenuStyle*>(link->item);
        if (CompareNoCase(style->name.Text(), styleName) == 0) return style;
    }
    auto* style = new MenuStyle(styleName);
    if (style == nullptr) return nullptr;
    auto* tree = new TagFile;
    if (tree != nullptr) {
        const EngineString path = EngineString::Format("menus/%s.menustyle", styleName);
        tree->Load(path.Text(), 0);
        ReadMenuStyle(*style, *tree);
        delete tree;
    }
    if (ListAppend(manager.styles, style) == nullptr) {
        delete style;
        return nullptr;
    }
    return style;
}
