// Reading one control node: names, size, position rules, texts, alignment and event scripts.
#include "engine/overlay/menu/ControlDescription.h"

#include <strings.h>

#include "engine/core/files/TagFile.h"
#include "engine/core/text/TextCompare.h"

namespace {

void DeleteScript(void* item) { delete static_cast<EventScript*>(item); }

// Every value of the tag, as owned strings in value order.
void ReadAllStrings(const TagFileTag* tag, KDLList& into) {
    if (tag == nullptr) return;
    for (std::uint32_t i = 0; i < tag->ValueCount(); ++i) {
        EngineString value;
        if (tag->GetString(i, value) == 0) continue;
        EngineString* copy = EngineString::New(value.Text());
        if (copy == nullptr) continue;
        if (ListAppend(into, copy) == nullptr) EngineString::Delete(copy);
    }
}

void ReadString(TagFile& node, const char* tagName, EngineString& out) {
    if (TagFileTag* tag = node.FindTag(tagName)) tag->GetString(0, out);
}

bool IsWord(const EngineString& value, const char* word) { return CompareNoCase(value.Text(), word) == 0; }

DWORD FirstAlignment(const EngineString& word) {
    if (IsWord(word, "LEFT") || IsWord(word, "TOP")) return 0;
    if (IsWord(word, "RIGHT")) return kAlignRight;
    if (IsWord(word, "BOTTOM")) return kAlignBottom;
    if (IsWord(word, "VCENTER")) return kAlignVCentre;
    return kAlignHCentre;  // HCENTER and any other word
}

DWORD SecondAlignment(const EngineString& word) {
    if (IsWord(word, "LEFT") || IsWord(word, "TOP")) return 0;
    if (IsWord(word, "RIGHT")) return kAlignRight;
    if (IsWord(word, "HCENTER")) return kAlignHCentre;
    if (IsWord(word, "BOTTOM")) return kAlignBottom;
    return kAlignVCentre;  // VCENTER and any other word
}

void ReadPosition(ControlDescription& d, TagFile& node, const ControlDescription* anchor) {
    if (TagFileTag* centre = node.FindTag("CENTERPOS")) {
        centre->GetInt(0, d.x);
        centre->GetInt(1, d.y);
        d.x -= d.width >> 1;
        d.y -= d.height >> 1;
        return;
    }
    if (TagFileTag* pos = node.FindTag("POS")) {
        pos->GetInt(0, d.x);
        pos->GetInt(1, d.y);
        return;
    }
    TagFileTag* align = node.FindTag("ALIGNTO");
    if (align == nullptr || anchor == nullptr) return;
    EngineString side;
    align->GetString(0, side);
    std::int32_t gap = 10;
    align->GetInt(1, gap);
    const std::int32_t ax = anchor->x, ay = anchor->y, aw = anchor->width, ah = anchor->height;
    if (IsWord(side, "BOTTOM")) {
        d.x = ax + (aw >> 1) - (d.width >> 1);
        d.y = ay + ah + gap;
    } else if (IsWord(side, "TOP")) {
        d.x = ax + (aw >> 1) - (d.width >> 1);
        d.y = ay - d.height - gap;
    } else if (IsWord(side, "RIGHT")) {
        d.x = ax + aw + gap;
        d.y = ay + (ah >> 1) - (d.height >> 1);
    } else if (IsWord(side, "LEFT")) {
        d.x = ax - d.width - gap;
        d.y = ay + (ah >> 1) - (d.height >> 1);
    }
}

void ReadAlignment(ControlDescription& d, TagFile& node) {
    TagFileTag* tag = node.FindTag("ALIGNTEXT");
    if (tag == nullptr) {
        d.alignment = kAlignHCentre | kAlignVCentre;
        return;
    }
    EngineString first;
    EngineString second;
    tag->GetString(0, first);
    tag->GetString(1, second);
    d.alignment = FirstAlignment(first) | SecondAlignment(second);
    d.textOffsetX = 0.0f;
    d.textOffsetY = 0.0f;
    float offset = 0.0f;
    if (tag->GetFloat(2, offset) != 0 && offset != 0.0f) d.textOffsetX = offset;
    offset = 0.0f;
    if (tag->GetFloat(3, offset) != 0 && offset != 0.0f) d.textOffsetY = offset;
}

}  // namespace

ControlDescription::~ControlDescription() {
    ListDeleteAll(texts, EngineString::DeleteItem);
    ListDeleteAll(tooltips, EngineString::DeleteItem);
    ListDeleteAll(scripts, DeleteScript);
}

EventScript* ControlDescription::FindEventScript(const char* event) const {
    for (KDLLink* link = scripts.head; link != nullptr; link = link->next) {
        auto* script = static_cast<EventScript*>(link->item);
        if (CompareNoCase(script->eventName.Text(), event) == 0) return script;
    }
    return nullptr;
}

EventScript* ControlDescription::FindClickScript() const {
    for (KDLLink* link = scripts.head; link != nullptr; link = link->next) {
        auto* script = static_cast<EventScript*>(link->item);
        if (script->kind == kEventClick) return script;
    }
    return nullptr;
}

EngineString* ControlDescription::TextKey(std::uint32_t at) const {
    std::uint32_t i = 0;
    for (KDLLink* link = texts.head; link != nullptr; link = link->next, ++i) {
        if (i == at) return static_cast<EngineString*>(link->item);
    }
    return nullptr;
}

int ParseEventScript(EventScript& script, const TagFileTag& tag) {
    script.eventName = tag.name;
    const char* event = tag.name.Text();
    if (CompareNoCase(event, "ON_CLICK") == 0 || CompareNoCase(event, "ON_SELECTCHANGE") == 0) {
        script.kind = kEventClick;
    } else if (CompareNoCase(event, "ON_SELECT") == 0) {
        script.kind = kEventSelect;
    } else {
        script.kind = kEventOther;
    }
    EngineString word;
    if (tag.GetString(0, word) == 0) return 0;
    if (IsWord(word, "GOBACK")) {
        script.action = kActionGoBack;
        return 1;
    }
    if (IsWord(word, "GOTO")) {
        if (tag.GetString(1, script.first) == 0) return 0;
        EngineString doWord;
        if (tag.GetString(2, doWord) == 0 || !IsWord(doWord, "DO")) {
            script.action = kActionGoto;
            return 1;
        }
        if (tag.GetString(3, script.second) == 0) return 0;
        tag.GetString(4, script.third);
        script.action = kActionGotoDo;
        return 1;
    }
    if (IsWord(word, "RETURN")) {
        if (tag.GetString(1, script.first) == 0) return 0;
        script.action = kActionReturn;
        return 1;
    }
    script.first = word;
    tag.GetString(1, script.second);
    script.action = kActionCommand;
    return 1;
}

int ParseControlProperties(ControlDescription& d, TagFile& node, const ControlDescription* anchor) {
    d.type = node.name;
    d.colorGiven = 0;
    d.textShadow = 0;

    ReadString(node, "NAME", d.name);
    if (TagFileTag* tag = node.FindTag("INDEX")) tag->GetInt(0, d.index);
    if (TagFileTag* size = node.FindTag("SIZE")) {
        size->GetInt(0, d.width);
        size->GetInt(1, d.height);
    } else if (anchor != nullptr) {
        d.width = anchor->width;
        d.height = anchor->height;
    }
    d.wrapWidth = 0;
    d.wrapHeight = 0;
    if (TagFileTag* wrap = node.FindTag("WRAPSIZE")) {
        wrap->GetInt(0, d.wrapWidth);
        wrap->GetInt(1, d.wrapHeight);
    }
    ReadString(node, "IMAGE", d.image);
    if (TagFileTag* colour = node.FindTag("COLOR")) {
        colour->GetColor(0, d.color);
        d.colorGiven = 1;
    }
    ReadString(node, "BRUSH", d.brushName);

    ReadPosition(d, node, anchor);

    d.postGraphics = node.FindTag("POSTGFX") != nullptr ? 1 : 0;
    ReadAllStrings(node.FindTag("TEXT"), d.texts);
    d.textScale = 1.0f;
    if (TagFileTag* tag = node.FindTag("TEXTSCALE")) tag->GetFloat(0, d.textScale);
    d.maxWidth = -1.0f;
    if (TagFileTag* tag = node.FindTag("MAXWIDTH")) tag->GetFloat(0, d.maxWidth);
    if (TagFileTag* tag = node.FindTag("FONT")) tag->GetUInt(0, d.font);
    ReadAllStrings(node.FindTag("TOOLTIP"), d.tooltips);
    ReadString(node, "TOOLIMAGE", d.toolImage);
    d.values[0] = 0;
    d.values[1] = 0;
    if (TagFileTag* tag = node.FindTag("VALUES")) {
        tag->GetInt(0, d.values[0]);
        tag->GetInt(1, d.values[1]);
    }

    ReadAlignment(d, node);

    if (TagFileTag* tag = node.FindTag("CLICKSOUNDS")) tag->GetInt(0, d.clickSounds);
    if (node.FindTag("TEXTSHADOW") != nullptr) d.textShadow = 1;

    for (KDLLink* link = node.tags.head; link != nullptr; link = link->next) {
        auto* tag = static_cast<TagFileTag*>(link->item);
        if (CompareNoCaseN(tag->name.Text(), "ON_", 3) != 0) continue;
        auto* script = new EventScript;
        if (script == nullptr) return 0;
        if (ParseEventScript(*script, *tag) == 0 || ListAppend(d.scripts, script) == nullptr) {
            delete script;
            return 0;
        }
    }
    return 1;
}
