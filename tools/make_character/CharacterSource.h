// Character descriptions: readable text that names a skeleton of bones at their bind
// positions and the rigid body parts each bone carries (the shapes of make_mesh's
// descriptions), and the text skeleton (".skel") each becomes.
//
//   # a comment
//   character <name>
//       bone <name> <x> <y> <z> [parent <bone>]     the first bone is the root; every other
//                                                   bone names a parent given before it
//       part <bone> <shape line>                    a box, pyramid or tile line of a mesh
//                                                   description, moved with the bone
//   end
//
// Every vertex of a part is bound wholly to its bone. Parts of different bones must not
// share a corner: the skinned object finds a vertex's binding by its position.
#pragma once

#include <string>
#include <vector>

#include "tools/make_mesh/ShapeSource.h"

namespace make_character {

struct CharacterBone {
    std::string name;
    make_mesh::Point position;
    int parent = -1;
};

struct Character {
    std::string name;
    std::vector<CharacterBone> bones;
    make_mesh::MeshShape body;           // every part's polygons
    std::vector<int> polygonBones;       // the bone of each polygon of the body
};

// At most this many bones (what a skinned object takes).
constexpr std::size_t kMaxCharacterBones = 96;

// The characters of a description in the order given; false with "line <n>: <sentence>" in
// `error` at the first mistake.
bool ReadCharacters(const std::string& text, std::vector<Character>* characters, std::string* error);

// The character as a text skeleton: Geometry, BindInfo and Skeleton sections. False with a
// sentence in `error` when two bones' parts share a corner.
bool WriteSkelText(const Character& character, std::string* text, std::string* error);

}  // namespace make_character
