// Parsing animation events from their text nodes.
#include "engine/resources/animation/AnimationEvents.h"

#include "engine/core/files/TagFile.h"
#include "engine/core/files/TagWords.h"
#include "engine/core/node/Animation.h"
#include "engine/core/node/AnimationEvent.h"

namespace {

constexpr TagWord kKinds[] = {
    {"Sound", kAnimationEventSound},
    {"Particle", kAnimationEventParticle},
    {"Game", kAnimationEventGame},
};

constexpr TagWord kFlagWords[] = {
    {"EVERYLOOP", kAnimationEventEveryLoop}, {"MATERIAL", kAnimationEventMaterial},
    {"LEADOUT", kAnimationEventLeadOut},     {"SOUND2D", kAnimationEventSound2D},
    {"TRACED", kAnimationEventTraced},
};

}  // namespace

int ParseAnimationEvent(TagFile& node, AnimationEvent& event) {
    if (!FindTagWord(node.name.Text(), kKinds, event.kind)) return 1;

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
        if (rotation->GetVector3(1, degrees) != 0) event.rotation = RotationFromDegrees(degrees);
    }
    if (TagFileTag* delta = node.FindTag("Delta")) {
        if (delta->GetVector3(0, event.delta) == 0) return 1;
    }
    event.flags |= TagWordFlags(node.FindTag("Flags"), kFlagWords);
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
