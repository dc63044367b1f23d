// The events of an animation from its ".trg" side file: a TagFile whose root holds one node
// per event, named by the event's kind, with the event's tags.
#pragma once

class Animation;
class TagFile;
struct AnimationEvent;

// Bounds of an event's frame.
constexpr float kLastEventFrame = 1000000000.0f;

// Fills the event from one event node: "Sound", "Particle" or "Game" (any case) with the
// tags "Frame", "Position", "Rotation", "Delta", "Flags" and the required "Effect". 0 on
// success, 1 when the node is no event (the event is then partly filled).
int ParseAnimationEvent(TagFile& node, AnimationEvent& event);

// Every event node below the root that parses joins the animation's events in frame order;
// the others are left out. The number of events added.
int AddAnimationEvents(Animation& animation, TagFile& root);
