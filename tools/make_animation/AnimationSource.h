// Animation sources: readable TagFile texts that make_animation turns into ".kan" files.
//
// The root node's name says what the text holds:
// - "NodeAnimation": the engine's own text form of a node animation, read as it is.
// - "NodeAnimationSource": a node animation from a few keys, every frame in between blended:
//       Frames 48                       frame count (1 to 65535)
//       FrameRate 24                    optional, 30 without it
//       Flags ABSOLUTE SCALE            optional; ABSOLUTE, SCALE
//       Key 0 [0 0 0] [0 0 0]           frame, position, rotation as Euler angles in degrees,
//       Key 47 [0 0 0] [0 0 360]        and with SCALE a scale vector
//   Positions, angles and scales are blended linearly, so a key may turn by more than half a
//   circle; before the first key and after the last the nearest key holds. The start pose is
//   the first frame's.
// - "SkelAnimationSource": a skeletal animation, one "Bone" node per bone in bone order:
//       Frames 31                       frame count (1 to 65535)
//       FrameRate 30                    optional
//       Axes X Z                        optional axis flags
//       Reference [0 0 0]               optional reference vector
//       FirstTrack 0 [0 0 0]            optional keys of the two per-frame tracks (frame,
//       SecondTrack 30 [0 1 0]          vector), blended like node keys
//       Bone
//       {
//       Name joint1                     up to 32 characters
//       Weight 1.0                      optional, 1 without it
//       Key 0 [0 0 0] 0                 frame, Euler angles in degrees, the bone's value
//       Key 15 [30 0 0] 0.5
//       }
//   A bone's key lasts until its next key; its last key until the last frame (at least one
//   frame). Key frames rise strictly within each list and lie below the frame count.
#pragma once

#include <string>

class Animation;
class TagFile;

// A new animation built from the parsed source, or null with `error` set to a sentence that
// names the source and what is wrong.
Animation* BuildAnimation(TagFile& root, const std::string& sourceName, std::string& error);
