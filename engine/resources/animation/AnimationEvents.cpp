// Parsing animation events from their text nodes.
#include "engine/resources/animation/AnimationEvents.h"

#include "engine/core/files/TagFile.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/Animation.h"
#include "engine/core/node/AnimationEvent.h"
#include "engine/core/text/TextCompare.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

struct Word {
    const char* text;
    DWORD value;
};

constexpr Word kKinds[] = {
    {"Sound", kAnimationEventSound},
    {"Particle", kAnimationEventParticle},
    {"Game", kAnimationEventGame},
};

constexpr Word kFlagWords[] = {
    {"EVERYLOOP", kAnimationEventEveryLoop}, {"MATERIAL", kAnimationEventMaterial},
    {"LEADOUT", kAnimationEventLeadOut},     {"SOUND2D", kAnimationEventSound2D},
    {"TRACED", kAnimationEventTraced},
};

}  // namespace

int ParseAnimationEvent(TagFile& node, AnimationEvent& event) {
    bool known = false;
    for (const Word& kind : kKinds) {
        if (CompareNoCase(node.name.Text(), kind.text) == 0) {
            event.kind = kind.value;
            known = true;
        }
    }
    if (!known) return 1;

    if (TagFileTag* frame = node.FindTag("Frame")) {
        float value = 0.0f;
        if (frame->GetFloat(0, value) == 0 || !(value >= 0.0f && value <= kLastEventFrame)) return 1;
        event.frame = value;
    }
    if (TagFileTag* position = node.FindTag("Position")) {
        if (position->GetString(0, event.positionNode) == 0) return 1;
        Vector3 offset;
        if (position->GetVector3(1, offset) != 0) event.positionOffset = offset;
    }
    if (TagFileTag* rotation = node.FindTag("Rotation")) {
        if (rotation->GetString(0, event.rotationNode) == 0) return 1;
        Vector3 degrees;
        if (rotation->GetVector3(1, degrees) != 0)
            QuaternionFromEuler({degrees.x * kDegreesToRadians, degrees.y * kDegreesToRadians,
                                 degrees.z * kDegreesToRadians},
                                event.rotation);
    }
    if (TagFileTag* delta = node.FindTag("Delta")) {
        if (delta->GetVector3(0, event.delta) == 0) return 1;
    }
    if (TagFileTag* flags = node.FindTag("Flags")) {
        for (std::uint32_t i = 0; i < flags->ValueCount(); ++i)
            for (const Word& word : kFlagWords)
                if (CompareNoCase(flags->Value(i)->Text(), word.text) == 0) event.flags |= word.value;
    }
    TagFileTag* effect = node.FindTag("Effect");
    if (effect == nullptr || effect->GetString(0, event.effect) == 0) return 1;
    return 0;
}

int AddAnimationEvents(Animation& animation, TagFile& root) {
    int added = 0;
    for (KDLLink* link = root.children.head; link != nullptr; link = link->next) {
        auto* event = new AnimationEvent;
        if (event == nullptr) break;
        if (ParseAnimationEvent(*static_cast<TagFile*>(link->item), *event) != 0) {
            delete event;
            continue;
        }
        if (animation.AddEvent(event)) ++added;
    }
    return added;
}
