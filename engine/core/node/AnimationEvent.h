// AnimationEvent: one event of an animation (a sound, a particle effect or a game event at
// a frame), and the placement a node gives it when it fires.
#pragma once

#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

class KNode;

// Event flags.
constexpr DWORD kAnimationEventEveryLoop = 0x1;
constexpr DWORD kAnimationEventTraced = 0x2;
constexpr DWORD kAnimationEventMaterial = 0x4;
constexpr DWORD kAnimationEventSound2D = 0x8;
constexpr DWORD kAnimationEventLeadOut = 0x10;

// Event kinds.
constexpr DWORD kAnimationEventSound = 0;
constexpr DWORD kAnimationEventParticle = 1;
constexpr DWORD kAnimationEventGame = 2;

// Animations keep their events in engine memory.
struct AnimationEvent : EngineAllocated {
    DWORD flags = 0;
    DWORD kind = kAnimationEventSound;
    float frame = 0.0f;
    // Nodes below the firing node that place and orient the event; empty: the node itself.
    EngineString positionNode;
    EngineString rotationNode;
    EngineString effect;
    Vector3 delta{0, 0, 0};
    Vector3 positionOffset{0, 0, 0};
    Quaternion rotation = kIdentityQuaternion;
    DWORD reserved = 0;
};

// An event as a node fired it: where it happens and how it is turned, in world space.
struct PlacedAnimationEvent {
    const AnimationEvent* event;
    KNode* node;        // the node that fired it
    KNode* placedAt;    // the attachment node (or the firing node)
    Vector3 position;
    Quaternion rotation;
};

// Whoever plays effects, sounds and game events receives the fired events; none is set
// until one registers, and events then go nowhere.
using AnimationEventHandler = void (*)(const PlacedAnimationEvent& placed);
void SetAnimationEventHandler(AnimationEventHandler handler);
AnimationEventHandler GetAnimationEventHandler();
