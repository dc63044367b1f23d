// Reading character descriptions and writing them as text skeletons.
#include "tools/make_character/CharacterSource.h"

#include <cmath>
#include <map>
#include <sstream>

namespace make_character {

namespace {

std::string Trim(const std::string& line) {
    const std::size_t hash = line.find('#');
    std::string text = hash == std::string::npos ? line : line.substr(0, hash);
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

int FindBone(const Character& character, const std::string& name) {
    for (std::size_t b = 0; b < character.bones.size(); ++b)
        if (character.bones[b].name == name) return static_cast<int>(b);
    return -1;
}

std::string Number(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// Reads one "bone" line after its keyword; an empty string on success, else the mistake.
std::string ReadBone(std::istringstream& words, Character& character) {
    CharacterBone bone;
    if (!(words >> bone.name >> bone.position.x >> bone.position.y >> bone.position.z))
        return "a bone needs a name and three numbers.";
    for (double coordinate : {bone.position.x, bone.position.y, bone.position.z})
        if (std::fabs(coordinate) > make_mesh::kLargestShapeNumber)
            return "the bone " + bone.name + " lies beyond -1000000 to 1000000.";
    if (FindBone(character, bone.name) >= 0) return "the bone " + bone.name + " is given twice.";
    if (bone.name.size() > 31) return "the bone name " + bone.name + " is longer than 31 characters.";
    std::string word;
    if (words >> word) {
        std::string parent;
        if (word != "parent" || !(words >> parent)) return "after a bone's position only \"parent <bone>\" may follow.";
        bone.parent = FindBone(character, parent);
        if (bone.parent < 0) return "the parent " + parent + " is not a bone given before.";
        if (words >> word) return "the bone line goes on after its parent.";
    }
    if (character.bones.empty() != (bone.parent < 0))
        return character.bones.empty() ? "the first bone is the root and has no parent."
                                       : "every bone but the first names its parent.";
    if (character.bones.size() >= kMaxCharacterBones) return "a character has at most 96 bones.";
    character.bones.push_back(bone);
    return std::string();
}

// Reads one "part" line after its keyword through the mesh description reader.
std::string ReadPart(std::istringstream& words, Character& character) {
    std::string boneName;
    if (!(words >> boneName)) return "a part names its bone.";
    const int bone = FindBone(character, boneName);
    if (bone < 0) return "the part's bone " + boneName + " is not a bone given before.";
    std::string shape;
    std::getline(words, shape);
    std::vector<make_mesh::MeshShape> meshes;
    std::string error;
    if (!make_mesh::ReadShapes("mesh part\n" + shape + "\nend\n", &meshes, &error) || meshes.size() != 1)
        return "the part's shape does not read: " + error;
    for (const make_mesh::Polygon& polygon : meshes[0].polygons) {
        character.body.polygons.push_back(polygon);
        character.polygonBones.push_back(bone);
    }
    return std::string();
}

}  // namespace

bool ReadCharacters(const std::string& text, std::vector<Character>* characters, std::string* error) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    Character* open = nullptr;
    auto fail = [&](const std::string& sentence) {
        *error = "line " + std::to_string(number) + ": " + sentence;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        const std::string trimmed = Trim(line);
        if (trimmed.empty()) continue;
        std::istringstream words(trimmed);
        std::string keyword;
        words >> keyword;
        if (keyword == "character") {
            if (open != nullptr) return fail("a character starts before the last one ended.");
            std::string name;
            if (!(words >> name)) return fail("a character needs a name.");
            for (const Character& other : *characters)
                if (other.name == name) return fail("the character " + name + " is given twice.");
            characters->push_back(Character{});
            open = &characters->back();
            open->name = name;
            open->body.name = name;
            continue;
        }
        if (open == nullptr) return fail("\"" + keyword + "\" stands outside a character.");
        std::string mistake;
        if (keyword == "bone") {
            mistake = ReadBone(words, *open);
        } else if (keyword == "part") {
            mistake = ReadPart(words, *open);
        } else if (keyword == "end") {
            if (open->bones.empty() || open->body.polygons.empty())
                mistake = "the character " + open->name + " has no bones or no parts.";
            open = nullptr;
        } else {
            mistake = "\"" + keyword + "\" is not bone, part or end.";
        }
        if (!mistake.empty()) return fail(mistake);
    }
    if (open != nullptr) {
        *error = "the character " + open->name + " has no end.";
        return false;
    }
    return true;
}

bool WriteSkelText(const Character& character, std::string* text, std::string* error) {
    std::vector<std::size_t> vertexPolygons;
    std::string out = make_mesh::WriteMeshText(character.body, &vertexPolygons);
    // Each position belongs to one bone.
    std::map<std::string, int> cornerBones;
    for (std::size_t p = 0; p < character.body.polygons.size(); ++p)
        for (const make_mesh::Corner& corner : character.body.polygons[p].corners) {
            const std::string key =
                Number(corner.position.x) + " " + Number(corner.position.y) + " " + Number(corner.position.z);
            const auto [place, added] = cornerBones.emplace(key, character.polygonBones[p]);
            if (!added && place->second != character.polygonBones[p]) {
                *error = "the parts of " + character.bones[place->second].name + " and " +
                         character.bones[character.polygonBones[p]].name + " share the corner (" + key + ").";
                return false;
            }
        }
    out += "BindInfo\n{\n";
    for (std::size_t polygon : vertexPolygons) out += "1 1 " + std::to_string(character.polygonBones[polygon]) + " 0 0 0 0 0 0\n";
    out += "}\nSkeleton\n{\n" + std::to_string(character.bones.size()) + "\n";
    std::vector<std::vector<std::size_t>> children(character.bones.size());
    for (std::size_t b = 1; b < character.bones.size(); ++b)
        children[static_cast<std::size_t>(character.bones[b].parent)].push_back(b);
    for (std::size_t b = 0; b < character.bones.size(); ++b) {
        const CharacterBone& bone = character.bones[b];
        make_mesh::Point local = bone.position;
        if (bone.parent >= 0) {
            const make_mesh::Point& up = character.bones[static_cast<std::size_t>(bone.parent)].position;
            local = make_mesh::Point{local.x - up.x, local.y - up.y, local.z - up.z};
        }
        out += "[" + Number(bone.position.x) + " " + Number(bone.position.y) + " " + Number(bone.position.z) +
               "] [0 0 0 1] [0 0 0] [" + Number(local.x) + " " + Number(local.y) + " " + Number(local.z) +
               "] [0 0 0 1] " + std::to_string(children[b].size()) + " 0 " + bone.name + "\n";
    }
    for (const std::vector<std::size_t>& list : children)
        for (std::size_t child : list) out += std::to_string(child) + "\n";
    *text = out + "}\n";
    return true;
}

}  // namespace make_character
